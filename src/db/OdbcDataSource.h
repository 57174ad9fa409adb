#pragma once

#include "db/OdbcConnectionString.h"

#include <QString>

// Where an ODBC connection string leads, found as the driver manager finds it before anything
// is opened: the data source's entry in the ODBC configuration, the driver entry it names, and
// the library that entry loads. The driver is told by that library, not by a name that any
// entry or data source may choose, so that the SQLite driver is known however it is reached.
class OdbcDataSource
{
public:
    enum class DriverKind { Sqlite, SqlServer, Unknown };

    // Throws Failure for a string that names both a data source and a driver, or an empty one.
    [[nodiscard]] static OdbcDataSource resolve(const OdbcConnectionString &connection);

    [[nodiscard]] DriverKind kind() const { return m_kind; }
    // The driver library's file, when the configuration names one.
    [[nodiscard]] const QString &driverLibrary() const { return m_library; }
    // The database the SQLite driver would open, as the connection string or the data source
    // names it (relative to the working folder, as the driver takes it); empty when none.
    [[nodiscard]] const QString &databaseFile() const { return m_database; }

    // The string to hand over for a driver of that kind, with the attributes that keep its
    // connection read-only whatever the user gave: the SQLite driver opens file (absolute) as a
    // read-only URI, never creates it, and steps through a result instead of reading it whole;
    // SQL Server's is told the intent to read only.
    [[nodiscard]] static QString readOnly(OdbcConnectionString connection, DriverKind kind,
                                          const QString &file = QString());

    // How a library is told: SQLite's ODBC driver links SQLite, or carries its name.
    [[nodiscard]] static DriverKind kindOfLibrary(const QString &library);
    // How a driver's name is told, where no library can be found.
    [[nodiscard]] static DriverKind kindOfName(const QString &driverName);

private:
    DriverKind m_kind = DriverKind::Unknown;
    QString m_library;
    QString m_database;
};
