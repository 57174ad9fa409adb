#include "host/DatabaseArguments.h"

#include "db/Connection.h"
#include "host/DefaultDatabase.h"

using namespace Qt::StringLiterals;

DatabaseArguments::DatabaseArguments()
    : m_db(u"db"_s, u"The SQLite database file to read (opened read-only)."_s, u"FILE"_s),
      m_odbc(u"odbc"_s,
             u"An ODBC connection string, for example \"DSN=Sales;UID=reports;PWD=...\" or "
             u"\"DRIVER={ODBC Driver 18 for SQL Server};SERVER=host;DATABASE=Sales;...\"."_s,
             u"CONNECTION"_s)
{
}

void DatabaseArguments::addTo(QCommandLineParser &parser) const
{
    parser.addOption(m_db);
    parser.addOption(m_odbc);
}

QString DatabaseArguments::problem(const QCommandLineParser &parser) const
{
    if (parser.isSet(m_db) && parser.isSet(m_odbc))
        return u"give either --db or --odbc, not both"_s;
    if (parser.isSet(m_db) && parser.value(m_db).isEmpty())
        return u"--db needs a file name"_s;
    if (parser.isSet(m_odbc) && parser.value(m_odbc).isEmpty())
        return u"--odbc needs a connection string"_s;
    return QString();
}

std::unique_ptr<Connection> DatabaseArguments::open(const QCommandLineParser &parser,
                                                    QTextStream &log) const
{
    if (parser.isSet(m_odbc)) {
        std::unique_ptr<Connection> connection = Connection::openOdbc(parser.value(m_odbc));
        if (!connection->warning().isEmpty())
            log << u"Warning: "_s << connection->warning() << Qt::endl;
        return connection;
    }
    if (parser.isSet(m_db))
        return Connection::openSqlite(parser.value(m_db));
    return Connection::openSqlite(DefaultDatabase::ensure(log));
}
