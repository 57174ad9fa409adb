#include "catalogue/Reports.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "host/CliStatus.h"
#include "host/CommandLine.h"
#include "host/DatabaseArguments.h"
#include "host/FocusTrace.h"
#include "host/GuardedApplication.h"
#include "host/MainWindow.h"
#include "presentation/SignalCleanup.h"
#include "preview/ShowError.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

void describe(QCoreApplication &)
{
    QCoreApplication::setApplicationName(QStringLiteral("nvrptsales"));
    QCoreApplication::setOrganizationName(QStringLiteral("Norvale"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NVR_VERSION));
}

// Without a session there is no runtime folder, and Qt would make one of a predictable name
// in the shared temporary folder, where another user may have planted a link. Give it a
// private one instead: a new folder of a random name, only ours (mkdtemp), removed at exit,
// and by a signal that ends the program (it stays empty: Qt keeps nothing in it here).
struct RuntimeFolder
{
    SignalCleanup cleanup; // released after the folder is gone
    std::unique_ptr<QTemporaryDir> folder;
};

RuntimeFolder privateRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return {};
    auto folder =
        std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/nvrptsales-XXXXXX"));
    if (!folder->isValid())
        return {};
    const QByteArray path = QFile::encodeName(folder->path());
    qputenv("XDG_RUNTIME_DIR", path);
    SignalCleanup cleanup(path, SignalCleanup::Kind::Folder);
    return {std::move(cleanup), std::move(folder)};
}

// nvrptsales [--db FILE | --odbc CONNECTION]: the host window on that database.
int runHostWindow(int argc, char *argv[])
{
    const RuntimeFolder runtime = privateRuntimeFolder();
    GuardedApplication app(argc, argv);
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
    // The database is opened first, so that the trace can never be written over it.
    std::shared_ptr<Connection> connection;
    std::optional<Failure> failure;
    try {
        connection = database.open(parser, err);
    } catch (const Failure &f) {
        failure = f;
    }
    FocusTrace focusTrace;
    if (parser.isSet(traceFocus)) {
        try {
            focusTrace.start(parser.value(traceFocus));
        } catch (const Failure &f) {
            err << "nvrptsales: " << f.description() << Qt::endl;
            return CliStatus::BadArguments;
        }
    }
    Reports reports;
    MainWindow window(reports);
    if (parser.isSet(debugLookups))
        window.addLookupsMenu();
    if (connection)
        window.useConnection(std::move(connection));
    else if (failure)
        ShowError(*failure, &window);
    window.show();
    return app.exec();
}

// nvrptsales COMMAND ...: a command, its status as the exit status.
int runCommandLine(int argc, char *argv[], const QStringList &arguments)
{
    // Reports paint even without a screen: headless runs use the offscreen platform.
    const bool gui = CommandLine::needsGui(arguments);
    if (gui && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const RuntimeFolder runtime = gui ? privateRuntimeFolder() : RuntimeFolder{};
    std::unique_ptr<QCoreApplication> app;
    if (gui)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    describe(*app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    CommandLine commandLine;
    int status = commandLine.run(arguments, out, err);
    // Output that did not reach its place (a full disk, a closed pipe) is a failure, however
    // small: a script must not take a truncated result for a whole one.
    out.flush();
    auto *stdoutFile = qobject_cast<QFileDevice *>(out.device());
    const bool written = out.status() == QTextStream::Ok && (!stdoutFile || stdoutFile->flush()) &&
                         std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!written && status == CliStatus::Ok) { // a failed command has said why already
        const QString reason = stdoutFile && stdoutFile->error() != QFileDevice::NoError
                                   ? stdoutFile->errorString()
                                   : QString::fromLocal8Bit(std::strerror(errno));
        err << "nvrptsales: cannot write to standard output: " << reason << Qt::endl;
        status = CliStatus::Failure;
    }
    err.flush();
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    // What escapes the command line's and the windows' own reporting (a window's
    // construction, say) still ends with a reason and a failure status, never an abort.
    try {
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments.append(QString::fromLocal8Bit(argv[i]));
        if (!CommandLine::wantsCommand(arguments))
            return runHostWindow(argc, argv);
        return runCommandLine(argc, argv, arguments);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "nvrptsales: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "nvrptsales: an unexpected failure ended the program\n");
    }
    return CliStatus::Failure;
}
