#include "db/Recordset.h"

#include "db/Connection.h"
#include "db/Failure.h"
#include "db/ResultTable.h"

#include <numeric>

using namespace Qt::StringLiterals;

void Recordset::open(const QString &sql, const Connection &connection)
{
    close();
    open(connection.execute(sql));
}

void Recordset::open(std::shared_ptr<const ResultTable> rows)
{
    m_rows = std::move(rows);
    m_filtered.reset();
    m_filterText.clear();
    m_position = recordCount() > 0 ? 0 : -1;
}

void Recordset::close()
{
    m_rows.reset();
    m_filtered.reset();
    m_filterText.clear();
    m_position = -1;
}

const ResultTable &Recordset::openRows() const
{
    if (!m_rows)
        throw Failure(u"The operation is not allowed when the result set is closed"_s,
                      Failure::recordsetSource());
    return *m_rows;
}

bool Recordset::bof() const
{
    openRows();
    return m_position < 0 || recordCount() == 0;
}

bool Recordset::eof() const
{
    openRows();
    return m_position >= recordCount() || recordCount() == 0;
}

int Recordset::recordCount() const
{
    if (!m_rows)
        return 0;
    return m_filtered ? int(m_filtered->size()) : m_rows->rowCount();
}

void Recordset::moveFirst()
{
    openRows();
    m_position = recordCount() > 0 ? 0 : -1;
}

void Recordset::moveLast()
{
    openRows();
    m_position = recordCount() - 1;
}

void Recordset::moveNext()
{
    if (eof())
        throw Failure(u"Cannot move past the end of the result set"_s, Failure::recordsetSource());
    ++m_position;
}

void Recordset::move(int position)
{
    openRows();
    if (position < 0 || position >= recordCount())
        throw Failure(u"There is no record at position %1"_s.arg(position + 1),
                      Failure::recordsetSource());
    m_position = position;
}

int Recordset::position() const
{
    return (m_rows && m_position >= 0 && m_position < recordCount()) ? m_position : -1;
}

int Recordset::tableRow(int position) const
{
    return m_filtered ? (*m_filtered)[size_t(position)] : position;
}

int Recordset::currentRow() const
{
    const int p = position();
    return p < 0 ? -1 : tableRow(p);
}

std::vector<int> Recordset::visibleRows() const
{
    if (m_filtered)
        return *m_filtered;
    std::vector<int> rows(size_t(m_rows ? m_rows->rowCount() : 0));
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

void Recordset::setFilter(const QString &criterion)
{
    const ResultTable &table = openRows();
    if (criterion.trimmed().isEmpty()) {
        m_filtered.reset();
    } else {
        const Criterion c = Criterion::parse(criterion, table);
        std::vector<int> rows;
        for (int r = 0; r < table.rowCount(); ++r) {
            if (c.matches(table, r))
                rows.push_back(r);
        }
        m_filtered = std::move(rows);
    }
    m_filterText = criterion;
    m_position = recordCount() > 0 ? 0 : -1;
}

bool Recordset::find(const QString &criterion)
{
    const ResultTable &table = openRows();
    const Criterion c = Criterion::parse(criterion, table);
    const int count = recordCount();
    for (int p = 0; p < count; ++p) {
        if (c.matches(table, tableRow(p))) {
            m_position = p;
            return true;
        }
    }
    m_position = count; // EOF
    return false;
}

QVariant Recordset::field(const QString &name) const
{
    const ResultTable &table = openRows();
    const int column = table.columnIndex(name);
    if (column < 0)
        throw Failure(u"The result set has no field named %1"_s.arg(name),
                      Failure::recordsetSource());
    const int row = currentRow();
    if (row < 0)
        throw Failure(u"There is no current record: the result set is at its beginning or end "
                      u"(reading %1)"_s.arg(name),
                      Failure::recordsetSource());
    return table.value(column, row);
}
