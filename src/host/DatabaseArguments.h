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
    // The database file the options name (the default one without --db or --odbc; for
    // --odbc, its Database= key), to keep outputs off it; empty when there is none.
    [[nodiscard]] QString databaseFile(const QCommandLineParser &parser) const;
    // Opens the named database, or the default one (created on first use). Throws Failure.
    [[nodiscard]] std::unique_ptr<Connection> open(const QCommandLineParser &parser,
                                                   QTextStream &log) const;

private:
    QCommandLineOption m_db;
    QCommandLineOption m_odbc;
};
