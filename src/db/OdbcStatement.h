#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class ResultTable;

// One statement run on an ODBC connection handle, its rows fetched one at a time with a
// forward-only cursor, so that a driver that can stream never holds the whole result. The
// driver's escape processing is turned off before the text is handed over. Throws Failure,
// with the driver's message and the given source, when a step fails.
class OdbcStatement
{
public:
    OdbcStatement(void *connectionHandle, const QString &sql, const QString &source);
    ~OdbcStatement();
    OdbcStatement(const OdbcStatement &) = delete;
    OdbcStatement &operator=(const OdbcStatement &) = delete;

    // Empty for a statement that returns no rows.
    [[nodiscard]] const QStringList &columnNames() const { return m_names; }
    // Appends the next row to table (one value per column); false when there is none.
    [[nodiscard]] bool fetchInto(ResultTable &table);

private:
    enum class Read { Integer, Real, Date, DateTime, Text };
    [[noreturn]] void fail(const QString &step) const;
    void readText(ResultTable &table, int column);

    void *m_statement = nullptr;
    QString m_source;
    QStringList m_names;
    std::vector<Read> m_reads;
};
