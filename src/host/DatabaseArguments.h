#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QTextStream>
#include <memory>

class Connection;

// The --db FILE and --odbc CONNECTION options that every command reading a database takes.
class DatabaseArguments
{
public:
    DatabaseArguments();
    void addTo(QCommandLineParser &parser) const;
    // Empty when the options are consistent, otherwise what is wrong with them.
    [[nodiscard]] QString problem(const QCommandLineParser &parser) const;
    // Opens the named database, or the default one (created on first use). Throws Failure.
    [[nodiscard]] std::shared_ptr<Connection> open(const QCommandLineParser &parser,
                                                   QTextStream &log) const;

private:
    QCommandLineOption m_db;
    QCommandLineOption m_odbc;
};
