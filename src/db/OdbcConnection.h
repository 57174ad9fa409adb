#pragma once

#include <QString>

// One connection through unixODBC's driver manager, made with the connection string exactly
// as given: nothing in between rewrites it (Qt's ODBC driver would put "DSN=" before a string
// that names no driver, and read a name holding ".dsn" as a file data source).
class OdbcConnection
{
public:
    // Connects, asking the driver for read-only access first. Throws Failure.
    explicit OdbcConnection(const QString &connectionString);
    ~OdbcConnection();
    OdbcConnection(const OdbcConnection &) = delete;
    OdbcConnection &operator=(const OdbcConnection &) = delete;

    [[nodiscard]] void *handle() const { return m_connection; }
    // The DBMS name as the driver reports it ("SQLite", "Microsoft SQL Server", ...).
    [[nodiscard]] QString dbmsName() const;
    // Ends automatic commits, so that what follows can be rolled back. Throws Failure.
    void beginTransaction(const QString &source);
    // Rolls back whatever happened since beginTransaction, and commits automatically again.
    void rollback();

    // The driver's messages about the last call on a handle of that type (SQL_HANDLE_DBC,
    // SQL_HANDLE_STMT), in one line.
    [[nodiscard]] static QString diagnostics(short handleType, void *handle);

private:
    void *m_environment = nullptr;
    void *m_connection = nullptr;
    bool m_connected = false;
};
