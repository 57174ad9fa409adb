#include "host/CommandLine.h"

#include "db/Failure.h"
#include "host/CliStatus.h"
#include "host/DemoDbCommand.h"
#include "host/QueryCommand.h"
#include "host/ReportCommand.h"

#include <QCoreApplication>
#include <exception>
#include <new>

using namespace Qt::StringLiterals;

CommandLine::CommandLine()
{
    m_commands.push_back(std::make_unique<DemoDbCommand>());
    m_commands.push_back(std::make_unique<QueryCommand>());
    m_commands.push_back(std::make_unique<ReportCommand>());
}

CommandLine::CommandLine(std::vector<std::unique_ptr<Command>> commands)
    : m_commands(std::move(commands))
{
}

CommandLine::~CommandLine() = default;

bool CommandLine::wantsCommand(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return false;
    const QString &first = arguments.front();
    return !first.startsWith(u'-') || first == u"--help" || first == u"-h" || first == u"--version";
}

bool CommandLine::needsGui(const QStringList &arguments)
{
    return !arguments.isEmpty() && arguments.front() == u"report";
}

QString CommandLine::overview() const
{
    QString text = u"Usage: nvrptsales [COMMAND [OPTIONS]]\n\n"
                   u"Norvale Sales Reports: the sales reports of a trading and distribution "
                   u"business.\nWithout a command, opens the reports window on the default "
                   u"database.\n\nCommands:\n"_s;
    for (const auto &command : m_commands)
        text += u"  "_s + command->name().leftJustified(12) + command->summary() + u"\n"_s;
    text += u"\nRun 'nvrptsales COMMAND --help' for the options of a command.\n"_s;
    return text;
}

int CommandLine::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.isEmpty() || arguments.front() == u"--help" || arguments.front() == u"-h" ||
        arguments.front() == u"help") {
        out << overview();
        return CliStatus::Ok;
    }
    if (arguments.front() == u"--version") {
        out << "nvrptsales " << QCoreApplication::applicationVersion() << Qt::endl;
        return CliStatus::Ok;
    }
    for (const auto &command : m_commands) {
        if (command->name() == arguments.front())
            return runCommand(*command, ReportCommand::normalisePrintOption(arguments.mid(1)),
                              out, err);
    }
    err << "nvrptsales: unknown command '" << arguments.front() << "'" << Qt::endl
        << "Run 'nvrptsales --help' for the list of commands." << Qt::endl;
    return CliStatus::BadArguments;
}

int CommandLine::runCommand(Command &command, const QStringList &arguments, QTextStream &out,
                            QTextStream &err)
{
    const QString prefix = u"nvrptsales "_s + command.name() + u": "_s;
    try {
        return command.run(arguments, out, err);
    } catch (const Failure &f) {
        err << prefix << f.description() << " (" << f.source() << ")" << Qt::endl;
    } catch (const std::bad_alloc &) {
        err << prefix << "out of memory" << Qt::endl;
    } catch (const std::exception &e) {
        err << prefix << QString::fromLocal8Bit(e.what()) << Qt::endl;
    } catch (...) {
        err << prefix << "an unexpected failure ended the command" << Qt::endl;
    }
    return CliStatus::Failure;
}
