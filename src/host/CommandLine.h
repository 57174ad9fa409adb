#pragma once

#include <QStringList>
#include <QTextStream>
#include <memory>
#include <vector>

class Command;

// The command line of nvrptsales: dispatches "nvrptsales COMMAND ..." to its command and
// answers --help and --version.
class CommandLine
{
public:
    CommandLine();
    // A command line of other commands (a test's).
    explicit CommandLine(std::vector<std::unique_ptr<Command>> commands);
    ~CommandLine();

    // True when the arguments (without the program name) name a command or ask for help,
    // rather than opening the host window.
    [[nodiscard]] static bool wantsCommand(const QStringList &arguments);
    // Whether the command paints (reports need fonts and a paint device, even headless).
    [[nodiscard]] static bool needsGui(const QStringList &arguments);

    // Runs the command; returns the exit status. Whatever the command throws is reported on
    // err and ends it with status 3: a script is never left with an abort.
    int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

private:
    QString overview() const;
    static int runCommand(Command &command, const QStringList &arguments, QTextStream &out,
                          QTextStream &err);

    std::vector<std::unique_ptr<Command>> m_commands;
};
