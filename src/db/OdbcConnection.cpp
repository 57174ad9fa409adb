#include "db/OdbcConnection.h"

#include "db/Failure.h"

#include <QStringList>
#include <sql.h>
#include <sqlext.h>
#include <string>

using namespace Qt::StringLiterals;

OdbcConnection::OdbcConnection(const QString &connectionString)
{
    SQLHENV environment = SQL_NULL_HENV;
    SQLHDBC connection = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)))
        throw Failure(u"The ODBC driver manager is not available"_s, u"ODBC"_s);
    m_environment = environment;
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                  0);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment, &connection)))
        throw Failure(u"The ODBC driver manager is not available"_s, u"ODBC"_s);
    m_connection = connection;
    // A hint: drivers that honour it refuse writes themselves.
    SQLSetConnectAttr(connection, SQL_ATTR_ACCESS_MODE,
                      reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
    SQLSetConnectAttr(connection, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(15), 0);
    std::u16string text = connectionString.toStdU16String();
    SQLWCHAR completed[1024];
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(
            SQLDriverConnectW(connection, nullptr, reinterpret_cast<SQLWCHAR *>(text.data()),
                              SQLSMALLINT(text.size()), completed,
                              SQLSMALLINT(std::size(completed)), &length, SQL_DRIVER_NOPROMPT)))
        throw Failure(u"Cannot connect to the database through ODBC: %1"_s.arg(
                          diagnostics(SQL_HANDLE_DBC, connection)),
                      u"ODBC"_s);
    m_connected = true;
}

OdbcConnection::~OdbcConnection()
{
    if (m_connected)
        SQLDisconnect(SQLHDBC(m_connection));
    if (m_connection)
        SQLFreeHandle(SQL_HANDLE_DBC, SQLHDBC(m_connection));
    if (m_environment)
        SQLFreeHandle(SQL_HANDLE_ENV, SQLHENV(m_environment));
}

QString OdbcConnection::diagnostics(short handleType, void *handle)
{
    QStringList messages;
    SQLWCHAR state[6];
    SQLWCHAR message[1024];
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    for (SQLSMALLINT record = 1;
         SQL_SUCCEEDED(SQLGetDiagRecW(handleType, handle, record, state, &native, message,
                                      SQLSMALLINT(std::size(message)), &length));
         ++record)
        messages.append(QString::fromUtf16(reinterpret_cast<const char16_t *>(message),
                                           qMin<qsizetype>(length, std::size(message) - 1))
                            .trimmed());
    return messages.join(u' ');
}

QString OdbcConnection::dbmsName() const
{
    SQLCHAR name[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(
            SQLGetInfo(SQLHDBC(m_connection), SQL_DBMS_NAME, name, sizeof name, &length)))
        return {};
    return QString::fromUtf8(reinterpret_cast<const char *>(name)).trimmed();
}

void OdbcConnection::beginTransaction(const QString &source)
{
    if (!SQL_SUCCEEDED(SQLSetConnectAttr(SQLHDBC(m_connection), SQL_ATTR_AUTOCOMMIT,
                                         reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)))
        throw Failure(u"The database connection cannot run the statement inside a transaction: "
                      u"%1"_s.arg(diagnostics(SQL_HANDLE_DBC, SQLHDBC(m_connection))),
                      source);
}

void OdbcConnection::rollback()
{
    SQLEndTran(SQL_HANDLE_DBC, SQLHDBC(m_connection), SQL_ROLLBACK);
    SQLSetConnectAttr(SQLHDBC(m_connection), SQL_ATTR_AUTOCOMMIT,
                      reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
}
