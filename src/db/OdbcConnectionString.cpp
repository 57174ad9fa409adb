#include "db/OdbcConnectionString.h"

#include <sql.h>
#include <sqlext.h>

using namespace Qt::StringLiterals;

namespace {

// The driver named by a data source in the ODBC configuration; empty when unknown.
QString dataSourceDriver(const QString &dsn)
{
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return {};
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    QString driver;
    SQLCHAR name[SQL_MAX_DSN_LENGTH + 1];
    SQLCHAR description[512];
    SQLSMALLINT nameLength = 0, descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDataSources(env, direction, name, sizeof name, &nameLength,
                                        description, sizeof description, &descriptionLength))) {
        direction = SQL_FETCH_NEXT;
        if (QString::fromUtf8(reinterpret_cast<const char *>(name))
                .compare(dsn, Qt::CaseInsensitive) == 0) {
            driver = QString::fromUtf8(reinterpret_cast<const char *>(description));
            break;
        }
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return driver;
}

} // namespace

OdbcConnectionString::OdbcConnectionString(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && (text[i] == u';' || text[i].isSpace()))
            ++i;
        if (i >= n)
            break;
        const qsizetype eq = text.indexOf(u'=', i);
        const qsizetype semicolon = text.indexOf(u';', i);
        if (eq < 0 || (semicolon >= 0 && semicolon < eq)) {
            // A part without "=": kept as it stands for the driver to judge.
            const qsizetype end = semicolon < 0 ? n : semicolon;
            m_attributes.emplace_back(text.mid(i, end - i).trimmed(), QString());
            i = end;
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed();
        qsizetype j = eq + 1;
        if (j < n && text[j] == u'{') {
            // {value} may hold ";" and "}}" stands for "}".
            qsizetype k = j + 1;
            while (k < n) {
                if (text[k] == u'}') {
                    if (k + 1 < n && text[k + 1] == u'}') {
                        k += 2;
                        continue;
                    }
                    break;
                }
                ++k;
            }
            const qsizetype end = qMin(k + 1, n);
            m_attributes.emplace_back(key, text.mid(j, end - j));
            i = end;
        } else {
            const qsizetype end = semicolon < 0 ? n : semicolon;
            m_attributes.emplace_back(key, text.mid(j, end - j).trimmed());
            i = end;
        }
    }
}

QString OdbcConnectionString::value(const QString &key) const
{
    for (const auto &[k, v] : m_attributes) {
        if (k.compare(key, Qt::CaseInsensitive) == 0) {
            if (v.startsWith(u'{') && v.endsWith(u'}') && v.size() >= 2)
                return v.mid(1, v.size() - 2).replace(u"}}"_s, u"}"_s);
            return v;
        }
    }
    return {};
}

void OdbcConnectionString::set(const QString &key, const QString &value)
{
    std::erase_if(m_attributes, [&](const auto &a) {
        return a.first.compare(key, Qt::CaseInsensitive) == 0;
    });
    m_attributes.emplace_back(key, value);
}

QString OdbcConnectionString::toString() const
{
    QStringList parts;
    for (const auto &[k, v] : m_attributes)
        parts.append(v.isNull() ? k : k + u'=' + v);
    return parts.join(u';') + u';';
}

QString OdbcConnectionString::driverName() const
{
    const QString driver = value(u"DRIVER"_s);
    if (!driver.isEmpty())
        return driver;
    QString dsn = value(u"DSN"_s);
    // A bare name is a data source name.
    if (dsn.isEmpty() && m_attributes.size() == 1 && m_attributes.front().second.isNull())
        dsn = m_attributes.front().first;
    return dsn.isEmpty() ? QString() : dataSourceDriver(dsn);
}

OdbcConnectionString::DriverKind OdbcConnectionString::kindOf(const QString &driverName)
{
    if (driverName.contains(u"sqlite"_s, Qt::CaseInsensitive))
        return DriverKind::Sqlite;
    if (driverName.contains(u"SQL Server"_s, Qt::CaseInsensitive) ||
        driverName.contains(u"FreeTDS"_s, Qt::CaseInsensitive) ||
        driverName.contains(u"tdsodbc"_s, Qt::CaseInsensitive) ||
        driverName.contains(u"msodbcsql"_s, Qt::CaseInsensitive))
        return DriverKind::SqlServer;
    return DriverKind::Unknown;
}

QString OdbcConnectionString::readOnly(const QString &text, DriverKind kind)
{
    OdbcConnectionString s(text);
    if (kind == DriverKind::Sqlite)
        s.set(u"NoCreat"_s, u"1"_s);
    else if (kind == DriverKind::SqlServer)
        s.set(u"ApplicationIntent"_s, u"ReadOnly"_s);
    return s.toString();
}
