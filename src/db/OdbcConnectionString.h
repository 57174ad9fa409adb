#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// An ODBC connection string (DRIVER={...};Database=...; or DSN=...;UID=...;) as its
// key=value attributes, read as unixODBC's driver manager reads it: spaces before a key are
// skipped, nothing else is trimmed, keys ignore case, a {braced} value may hold ";", and of a
// key given twice the last one counts. The driver reads the string again by rules of its own
// (the SQLite driver takes the first of a key given twice), so the string handed on names each
// key once: both then read what the component read.
class OdbcConnectionString
{
public:
    explicit OdbcConnectionString(const QString &text);

    // The value of a key, without braces; empty when the key is absent. Keys ignore case.
    [[nodiscard]] QString value(const QString &key) const;
    [[nodiscard]] bool contains(const QString &key) const;
    // Sets a key, replacing it wherever it was.
    void set(const QString &key, const QString &value);
    // Every key once.
    [[nodiscard]] QString toString() const;

private:
    std::vector<std::pair<QString, QString>> m_attributes; // key, raw value; keys unique
};
