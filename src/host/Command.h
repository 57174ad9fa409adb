#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

// One command of the command line (demo-db, query, report): its options, its help, and the
// work it does. run() handles --help and bad arguments the same way for every command.
class Command
{
public:
    virtual ~Command() = default;

    [[nodiscard]] virtual QString name() const = 0;
    // One line for the overview of all commands.
    [[nodiscard]] virtual QString summary() const = 0;
    // The usage line after "nvrptsales NAME".
    [[nodiscard]] virtual QString synopsis() const = 0;
    [[nodiscard]] virtual QString description() const = 0;

    // Parses the arguments that follow the command's name; returns the exit status.
    int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

protected:
    virtual void configure(QCommandLineParser &parser) = 0;
    virtual int execute(const QCommandLineParser &parser, QTextStream &out, QTextStream &err) = 0;

    int badArguments(QTextStream &err, const QString &message) const;
    [[nodiscard]] QString helpText(const QCommandLineParser &parser) const;
};
