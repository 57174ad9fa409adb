#pragma once

#include "db/SqlDialect.h"
#include "db/SqlTranslator.h"

#include <QString>
#include <memory>

class ResultTable;
struct sqlite3;

// One open database connection, read-only, that knows its SQL dialect. The embedded database
// is a SQLite file; a server database is reached through an ODBC connection string. Every
// statement passes the dialect's translation before it runs; nothing is ever written.
class Connection
{
public:
    // Opens an existing SQLite file read-only. Throws Failure naming the file when it is
    // missing or not a database; never creates one.
    [[nodiscard]] static std::unique_ptr<Connection> openSqlite(const QString &path);
    // Opens an ODBC connection string (DSN=...;UID=...; or DRIVER=...;). The dialect comes
    // from the DBMS name the driver reports. Throws Failure with the driver's message.
    [[nodiscard]] static std::unique_ptr<Connection> openOdbc(const QString &connectionString);

    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    [[nodiscard]] SqlDialect dialect() const { return m_dialect; }
    // What the connection is to, for window titles and messages (file path or DBMS name).
    [[nodiscard]] const QString &description() const { return m_description; }
    // The DBMS name as the driver reports it ("SQLite", "Microsoft SQL Server", ...).
    [[nodiscard]] const QString &dbmsName() const { return m_dbmsName; }

    // The statement as it will run on this connection.
    [[nodiscard]] TranslatedSql translate(const QString &sql) const;
    // Runs one reading statement and returns all its rows. Throws Failure.
    [[nodiscard]] std::shared_ptr<const ResultTable> execute(const QString &sql) const;

private:
    Connection() = default;
    void openSqliteHandle();
    void readDbmsName();
    void reopenIfTheFileChanged() const;
    std::shared_ptr<const ResultTable> executeSqlite(const TranslatedSql &sql) const;
    std::shared_ptr<const ResultTable> executeQt(const TranslatedSql &sql) const;

    QString m_name; // QSqlDatabase connection name
    SqlDialect m_dialect = SqlDialect::Sqlite;
    SqlTranslator::LeftFunction m_left = SqlTranslator::LeftFunction::Registered;
    QString m_description;
    QString m_dbmsName;
    sqlite3 *m_sqlite = nullptr; // the embedded connection's handle, owned by Qt's driver
    QString m_path;              // the embedded database file
    // A WAL database without a -wal file is read as immutable, which leaves no side files;
    // the file's identity when it was opened tells when it must be opened afresh.
    bool m_immutable = false;
    QByteArray m_fileIdentity;
};
