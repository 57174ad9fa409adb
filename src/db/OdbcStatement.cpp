#include "db/OdbcStatement.h"

#include "db/Failure.h"
#include "db/OdbcConnection.h"
#include "db/ResultTable.h"

#include <sql.h>
#include <sqlext.h>
#include <string>

using namespace Qt::StringLiterals;

namespace {

QString fromWide(const SQLWCHAR *text, size_t units)
{
    static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC's wide characters are UTF-16");
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text), qsizetype(units));
}

} // namespace

OdbcStatement::OdbcStatement(void *connectionHandle, const QString &sql, const QString &source)
    : m_source(source)
{
    SQLHSTMT statement = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, SQLHDBC(connectionHandle), &statement)))
        throw Failure(u"Cannot prepare a statement on the ODBC connection: %1"_s.arg(
                          OdbcConnection::diagnostics(SQL_HANDLE_DBC, connectionHandle)),
                      m_source);
    m_statement = statement;
    // A driver that does not offer to turn escape processing off refuses the attribute; the
    // text it gets has no escape outside string literals anyway.
    (void)SQLSetStmtAttr(statement, SQL_ATTR_NOSCAN, reinterpret_cast<SQLPOINTER>(SQL_NOSCAN_ON),
                         0);
    (void)SQLSetStmtAttr(statement, SQL_ATTR_CURSOR_TYPE,
                         reinterpret_cast<SQLPOINTER>(SQL_CURSOR_FORWARD_ONLY), 0);
    const std::u16string text = sql.toStdU16String();
    const SQLRETURN executed = SQLExecDirectW(
        statement, reinterpret_cast<SQLWCHAR *>(const_cast<char16_t *>(text.c_str())),
        SQLINTEGER(text.size()));
    if (!SQL_SUCCEEDED(executed) && executed != SQL_NO_DATA)
        fail(u"run"_s);

    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(statement, &columns)))
        fail(u"read the columns of"_s);
    for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(columns); ++c) {
        SQLWCHAR name[512];
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        if (!SQL_SUCCEEDED(SQLDescribeColW(statement, c, name, SQLSMALLINT(std::size(name)),
                                           &nameLength, &type, &size, &digits, &nullable)))
            fail(u"read the columns of"_s);
        m_names.append(fromWide(name, size_t(std::min<int>(nameLength, std::size(name) - 1))));
        switch (type) {
        case SQL_BIT:
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT:
            m_reads.push_back(Read::Integer);
            break;
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_NUMERIC:
        case SQL_DECIMAL:
            m_reads.push_back(Read::Real);
            break;
        case SQL_TYPE_DATE:
            m_reads.push_back(Read::Date);
            break;
        case SQL_TYPE_TIMESTAMP:
            m_reads.push_back(Read::DateTime);
            break;
        default:
            m_reads.push_back(Read::Text);
        }
    }
}

OdbcStatement::~OdbcStatement()
{
    SQLFreeHandle(SQL_HANDLE_STMT, SQLHSTMT(m_statement));
}

void OdbcStatement::fail(const QString &step) const
{
    const QString why = OdbcConnection::diagnostics(SQL_HANDLE_STMT, m_statement);
    throw Failure(why.isEmpty() ? u"The driver could not %1 the statement"_s.arg(step) : why,
                  m_source);
}

bool OdbcStatement::fetchInto(ResultTable &table)
{
    if (m_reads.empty())
        return false;
    const SQLHSTMT statement = SQLHSTMT(m_statement);
    const SQLRETURN fetched = SQLFetch(statement);
    if (fetched == SQL_NO_DATA)
        return false;
    if (!SQL_SUCCEEDED(fetched))
        fail(u"read the rows of"_s);
    for (int c = 0; c < int(m_reads.size()); ++c) {
        // A value of fixed size, in the C type asked for, or null.
        const auto read = [&](auto value, SQLSMALLINT cType, const auto &append) {
            SQLLEN indicator = 0;
            if (!SQL_SUCCEEDED(SQLGetData(statement, SQLUSMALLINT(c + 1), cType, &value,
                                          sizeof value, &indicator)))
                fail(u"read a value of"_s);
            if (indicator == SQL_NULL_DATA)
                table.appendNull(c);
            else
                append(value);
        };
        switch (m_reads[size_t(c)]) {
        case Read::Integer:
            read(SQLBIGINT(0), SQL_C_SBIGINT,
                 [&](SQLBIGINT v) { table.appendInteger(c, qint64(v)); });
            break;
        case Read::Real:
            read(0.0, SQL_C_DOUBLE, [&](double v) { table.appendReal(c, v); });
            break;
        case Read::Date:
            read(SQL_DATE_STRUCT{}, SQL_C_TYPE_DATE, [&](const SQL_DATE_STRUCT &v) {
                table.appendDate(c, QDate(v.year, v.month, v.day));
            });
            break;
        case Read::DateTime:
            read(SQL_TIMESTAMP_STRUCT{}, SQL_C_TYPE_TIMESTAMP, [&](const SQL_TIMESTAMP_STRUCT &v) {
                table.appendDateTime(
                    c, QDateTime(QDate(v.year, v.month, v.day),
                                 QTime(v.hour, v.minute, v.second, int(v.fraction / 1000000))));
            });
            break;
        case Read::Text:
            readText(table, c);
            break;
        }
    }
    return true;
}

// A text arrives in pieces as long as the driver has more of it.
void OdbcStatement::readText(ResultTable &table, int column)
{
    const SQLHSTMT statement = SQLHSTMT(m_statement);
    std::u16string text;
    SQLWCHAR piece[2048];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN got = SQLGetData(statement, SQLUSMALLINT(column + 1), SQL_C_WCHAR, piece,
                                         sizeof piece, &indicator);
        if (got == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(got))
            fail(u"read a value of"_s);
        if (indicator == SQL_NULL_DATA) {
            table.appendNull(column);
            return;
        }
        const size_t capacity = std::size(piece) - 1;
        const size_t units =
            indicator == SQL_NO_TOTAL || size_t(indicator) / sizeof(SQLWCHAR) > capacity
                ? capacity
                : size_t(indicator) / sizeof(SQLWCHAR);
        text.append(reinterpret_cast<const char16_t *>(piece), units);
        if (got == SQL_SUCCESS)
            break;
    }
    const QByteArray utf8 = QString::fromStdU16String(text).toUtf8();
    table.appendText(column, std::string_view(utf8.constData(), size_t(utf8.size())));
}
