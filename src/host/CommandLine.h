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
    ~CommandLine();

    // True when the arguments (without the program name) name a command or ask for help,
    // rather than opening the host window.
    [[nodiscard]] static bool wantsCommand(const QStringList &arguments);
    // Whether the command paints (reports need fonts and a paint device, even headless).
    [[nodiscard]] static bool needsGui(const QStringList &arguments);

    // Runs the command; returns the exit status.
    int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

private:
    QString overview() const;

    std::vector<std::unique_ptr<Command>> m_commands;
};
