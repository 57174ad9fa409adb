#pragma once

#include "db/SqlDialect.h"
#include "db/SqlTranslator.h"

#include <QString>
#include <functional>
#include <memory>
#include <mutex>

class DatabaseFileGuard;
class OdbcConnection;
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

    // How a connection was opened, so that another thread can open its own to the same
    // database (a connection is used by the thread that opened it only).
    struct Origin
    {
        bool odbc = false;
        QString target; // the SQLite file, or the ODBC connection string
    };
    [[nodiscard]] const Origin &origin() const { return m_origin; }
    // Opens another connection like the one that origin describes. Throws Failure.
    [[nodiscard]] static std::unique_ptr<Connection> open(const Origin &origin);

    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    [[nodiscard]] SqlDialect dialect() const { return m_dialect; }
    // What the connection is to, for window titles and messages (file path or DBMS name).
    [[nodiscard]] const QString &description() const { return m_description; }
    // The DBMS name as the driver reports it ("SQLite", "Microsoft SQL Server", ...).
    [[nodiscard]] const QString &dbmsName() const { return m_dbmsName; }
    // What the user should know about the connection although it opened (a server login that
    // may write); empty when nothing.
    [[nodiscard]] const QString &warning() const { return m_warning; }

    // The statement as it will run on this connection.
    [[nodiscard]] TranslatedSql translate(const QString &sql) const;
    // Runs one reading statement and returns all its rows. Throws Failure.
    [[nodiscard]] std::shared_ptr<const ResultTable> execute(const QString &sql) const;

    // Called once, on the reading thread, with a copy of the first rows as soon as they are
    // read, while the rest are still being read.
    struct FirstRows
    {
        int count = 0;
        std::function<void(std::shared_ptr<const ResultTable>)> ready;
    };
    [[nodiscard]] std::shared_ptr<const ResultTable> execute(const QString &sql,
                                                             const FirstRows &firstRows) const;
    // Stops the statement this connection is running, from any thread: it fails with
    // "interrupted". Only the embedded database can be interrupted; elsewhere it does nothing.
    void interrupt() const;

    // Takes a statement's rows a batch at a time, each batch a table of its own with the
    // statement's columns; there is at least one batch, even for no rows.
    using RowBatches = std::function<void(const ResultTable &batch)>;
    // Runs one reading statement and hands its rows on as they are read, holding no more
    // than one batch of batchRows rows: memory stays flat for a result of any size. Throws
    // Failure, or what receive throws (which stops the statement).
    void stream(const QString &sql, const RowBatches &receive, int batchRows = 4096) const;

private:
    Connection() = default;
    void openSqliteHandle();
    void openSqliteHandleAs(bool immutable);
    void readDbmsName();
    void checkServerLogin();
    void reopenIfTheFileChanged() const;
    void checkUnchangedWhileRead() const;
    std::shared_ptr<const ResultTable> executeSqlite(const TranslatedSql &sql,
                                                     const FirstRows &firstRows,
                                                     const RowBatches *receive = nullptr,
                                                     int batchRows = 0) const;
    std::shared_ptr<const ResultTable> executeOdbc(const TranslatedSql &sql,
                                                   const FirstRows &firstRows,
                                                   const RowBatches *receive = nullptr,
                                                   int batchRows = 0) const;

    QString m_name; // the embedded connection's QSqlDatabase name
    std::unique_ptr<OdbcConnection> m_odbc;
    SqlDialect m_dialect = SqlDialect::Sqlite;
    SqlTranslator::LeftFunction m_left = SqlTranslator::LeftFunction::Registered;
    QString m_description;
    QString m_dbmsName;
    QString m_warning;
    Origin m_origin;
    // Statements on a server run inside a transaction that is always rolled back; a SQLite
    // file reached through ODBC is opened read-only instead (the driver would buffer every
    // row of a statement inside a transaction).
    bool m_rollBack = true;
    std::unique_ptr<DatabaseFileGuard> m_fileGuard; // no output may be written over the file
    sqlite3 *m_sqlite = nullptr; // the embedded connection's handle, owned by Qt's driver
    QString m_path;              // the embedded database file
    // A WAL database whose folder cannot be written is read as immutable, after making sure
    // that no other program has it open; the file's identity when it was opened tells when
    // it must be opened afresh, or that a read saw it change.
    bool m_immutable = false;
    QByteArray m_fileIdentity;
    mutable std::mutex m_handleMutex; // guards m_sqlite while it is opened afresh
};
