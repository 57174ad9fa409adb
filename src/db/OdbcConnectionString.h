#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// An ODBC connection string (DRIVER={...};Database=...; or DSN=...;UID=...;) as its
// key=value attributes, so that the component can set the attributes that keep a connection
// read-only whatever the user gave: the SQLite driver's NoCreat=1 (never create a missing
// file) and SQL Server's ApplicationIntent=ReadOnly.
class OdbcConnectionString
{
public:
    enum class DriverKind { Sqlite, SqlServer, Unknown };

    explicit OdbcConnectionString(const QString &text);

    // The value of a key, without braces; empty when the key is absent. Keys ignore case.
    [[nodiscard]] QString value(const QString &key) const;
    // Sets a key, replacing every occurrence: drivers read the first one.
    void set(const QString &key, const QString &value);
    [[nodiscard]] QString toString() const;

    // The driver the string leads to: its DRIVER attribute, or the driver its data source
    // names in the ODBC configuration.
    [[nodiscard]] QString driverName() const;
    [[nodiscard]] static DriverKind kindOf(const QString &driverName);

    // The string with the read-only attributes of its driver kind set.
    [[nodiscard]] static QString readOnly(const QString &text, DriverKind kind);

private:
    std::vector<std::pair<QString, QString>> m_attributes; // key, raw value
};
