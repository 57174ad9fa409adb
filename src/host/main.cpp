#include "catalogue/Reports.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "host/CliStatus.h"
#include "host/CommandLine.h"
#include "host/DatabaseArguments.h"
#include "host/FocusTrace.h"
#include "host/MainWindow.h"
#include "presentation/widgets/ShowError.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <memory>
#include <unistd.h>

namespace {

void describe(QCoreApplication &)
{
    QCoreApplication::setApplicationName(QStringLiteral("nvrptsales"));
    QCoreApplication::setOrganizationName(QStringLiteral("Norvale"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NVR_VERSION));
}

// nvrptsales [--db FILE | --odbc CONNECTION]: the host window on that database.
int runHostWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    describe(app);
    QCommandLineParser parser;
    DatabaseArguments database;
    database.addTo(parser);
    const QCommandLineOption debugLookups(
        QStringLiteral("debug-lookups"),
        QStringLiteral("Add a Lookups menu to try the pick-lists."));
    parser.addOption(debugLookups);
    const QCommandLineOption traceFocus(
        QStringLiteral("trace-focus"),
        QStringLiteral("Write each change of keyboard focus to FILE (for checks on a display)."),
        QStringLiteral("FILE"));
    parser.addOption(traceFocus);
    QTextStream err(stderr);
    if (!parser.parse(QCoreApplication::arguments()) || !database.problem(parser).isEmpty()) {
        err << "nvrptsales: "
            << (parser.errorText().isEmpty() ? database.problem(parser) : parser.errorText())
            << Qt::endl
            << "Run 'nvrptsales --help' for the commands." << Qt::endl;
        return CliStatus::BadArguments;
    }
    FocusTrace focusTrace;
    if (parser.isSet(traceFocus) && !focusTrace.start(parser.value(traceFocus))) {
        err << "nvrptsales: cannot write " << parser.value(traceFocus) << Qt::endl;
        return CliStatus::BadArguments;
    }
    Reports reports;
    MainWindow window(reports);
    if (parser.isSet(debugLookups))
        window.addLookupsMenu();
    try {
        window.useConnection(database.open(parser, err));
    } catch (const Failure &f) {
        ShowError(f, &window);
    }
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (!CommandLine::wantsCommand(arguments))
        return runHostWindow(argc, argv);

    // Reports paint even without a screen: headless runs use the offscreen platform.
    const bool gui = CommandLine::needsGui(arguments);
    if (gui && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Headless runs have no session: give Qt a private runtime folder rather than a warning.
    if (gui && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime =
            QDir::tempPath().toLocal8Bit() + "/nvrptsales-runtime-" + QByteArray::number(getuid());
        QDir().mkpath(QString::fromLocal8Bit(runtime));
        QFile::setPermissions(QString::fromLocal8Bit(runtime), QFileDevice::ReadOwner |
                                                                   QFileDevice::WriteOwner |
                                                                   QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime);
    }
    std::unique_ptr<QCoreApplication> app;
    if (gui)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    describe(*app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    CommandLine commandLine;
    const int status = commandLine.run(arguments, out, err);
    out.flush();
    err.flush();
    return status;
}
