#include "presentation/DataBinding.h"

#include "db/Failure.h"
#include "db/ResultTable.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

using namespace Qt::StringLiterals;

DataBinding::DataBinding(std::shared_ptr<const ResultTable> table, std::vector<int> rows,
                         bool allRows, const ReportLayout &layout)
    : m_table(std::move(table)), m_rows(std::move(rows)), m_allRows(allRows),
      m_rowCount(allRows ? m_table->rowCount() : int(m_rows.size()))
{
    // Computed columns may use result columns and the computed columns before them.
    for (const ComputedColumn &c : layout.computed) {
        Expression e = Expression::parse(c.expression);
        std::vector<int> inputs;
        for (const QString &name : e.names())
            inputs.push_back(resolve(name, u"the computed column "_s + c.name));
        m_emptyWhenZero.push_back(c.emptyWhenZero.isEmpty()
                                      ? noReference
                                      : resolve(c.emptyWhenZero, u"the computed column "_s + c.name));
        m_computedDesigns.push_back(c);
        m_computedNames.push_back(c.name);
        m_computed.push_back(std::move(e));
        m_computedInputs.push_back(std::move(inputs));
    }
    for (const Band &band : layout.bands) {
        for (const LayoutObject &o : band.objects) {
            if (o.type == ObjectType::Field || o.type == ObjectType::Summary)
                (void)resolve(o.column,
                              u"the report field "_s + (o.name.isEmpty() ? o.column : o.name));
            if (o.type == ObjectType::Chart) {
                const QString chart = u"the chart "_s + o.name;
                (void)resolve(o.chart->category, chart);
                for (const ChartDesign::Series &s : o.chart->series) {
                    if (!s.optional)
                        (void)resolve(s.column, chart);
                }
            }
        }
    }

    if (!layout.sortBy.empty())
        sortRows(layout);

    std::vector<int> groupColumns;
    for (const GroupDesign &g : layout.groups)
        groupColumns.push_back(resolve(g.column, u"a group of the report"_s));
    const uint8_t none = uint8_t(groupColumns.size());
    m_breaks.assign(size_t(m_rowCount), none);
    if (m_rowCount > 0)
        m_breaks[0] = 0;
    for (int r = 1; r < m_rowCount; ++r) {
        for (size_t level = 0; level < groupColumns.size(); ++level) {
            const int ref = groupColumns[level];
            const bool same = ref >= 0 ? m_table->sameValue(ref, tableRow(r - 1), tableRow(r))
                                       : number(ref, r - 1) == number(ref, r);
            if (!same) {
                m_breaks[size_t(r)] = uint8_t(level);
                break;
            }
        }
    }
}

// Ranks of each row for one key, so that sorting compares integers: numbers by value, texts
// without regard to case, nulls first.
std::vector<double> DataBinding::sortKey(int reference) const
{
    std::vector<double> key(static_cast<size_t>(m_rowCount));
    const bool text =
        reference >= 0 && (m_table->columnType(reference) == ResultTable::Type::Text ||
                           m_table->columnType(reference) == ResultTable::Type::Variant);
    if (!text) {
        for (int r = 0; r < m_rowCount; ++r)
            key[size_t(r)] = isNull(reference, r) ? -std::numeric_limits<double>::infinity()
                                                  : number(reference, r);
        return key;
    }
    QHash<QString, int> distinct;
    std::vector<QString> folded(static_cast<size_t>(m_rowCount));
    for (int r = 0; r < m_rowCount; ++r) {
        folded[size_t(r)] = m_table->text(reference, tableRow(r)).toCaseFolded();
        distinct.insert(folded[size_t(r)], 0);
    }
    QStringList names = distinct.keys();
    std::sort(names.begin(), names.end());
    for (qsizetype i = 0; i < names.size(); ++i)
        distinct[names[i]] = int(i);
    for (int r = 0; r < m_rowCount; ++r)
        key[size_t(r)] = isNull(reference, r) ? -1.0 : distinct.value(folded[size_t(r)]);
    return key;
}

void DataBinding::sortRows(const ReportLayout &layout)
{
    std::vector<std::vector<double>> keys;
    std::vector<bool> descending;
    for (const SortKey &k : layout.sortBy) {
        keys.push_back(sortKey(resolve(k.column, u"the sort order of the report"_s)));
        descending.push_back(k.descending);
    }
    std::vector<int> order(static_cast<size_t>(m_rowCount));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (size_t k = 0; k < keys.size(); ++k) {
            const double x = keys[k][size_t(a)], y = keys[k][size_t(b)];
            if (x != y)
                return descending[k] ? x > y : x < y;
        }
        return false;
    });
    std::vector<int> rows(static_cast<size_t>(m_rowCount));
    for (size_t i = 0; i < order.size(); ++i)
        rows[i] = tableRow(order[i]);
    m_rows = std::move(rows);
    m_allRows = false;
}

int DataBinding::resolve(const QString &name, const QString &usedBy) const
{
    for (size_t k = 0; k < m_computedNames.size(); ++k) {
        if (m_computedNames[k].compare(name, Qt::CaseInsensitive) == 0)
            return -1 - int(k);
    }
    const int column = m_table->columnIndex(name);
    if (column < 0)
        throw Failure(u"The report cannot be bound to its data: the result set has no column "
                      u"%1 (used by %2)"_s.arg(name, usedBy),
                      Failure::engineSource());
    return column;
}

int DataBinding::reference(const QString &name) const
{
    return resolve(name, u"the report"_s);
}

bool DataBinding::hasColumn(const QString &name) const
{
    return std::any_of(m_computedNames.begin(), m_computedNames.end(),
                       [&](const QString &n) { return n.compare(name, Qt::CaseInsensitive) == 0; }) ||
           m_table->columnIndex(name) >= 0;
}

bool DataBinding::isNull(int reference, int row) const
{
    if (reference >= 0)
        return m_table->isNull(reference, tableRow(row));
    const int zero = m_emptyWhenZero[size_t(-1 - reference)];
    return zero != noReference && printsAsZero(number(zero, row));
}

bool DataBinding::printsAsZero(double value)
{
    return std::llround(value * 100) == 0;
}

const ComputedColumn &DataBinding::computed(int reference) const
{
    return m_computedDesigns[size_t(-1 - reference)];
}

const QStringList &DataBinding::inputsOf(int reference) const
{
    return m_computed[size_t(-1 - reference)].names();
}

double DataBinding::number(int reference, int row) const
{
    if (reference >= 0)
        return m_table->number(reference, tableRow(row));
    const size_t k = size_t(-1 - reference);
    const std::vector<int> &inputs = m_computedInputs[k];
    return m_computed[k].evaluate([&](int name) { return number(inputs[size_t(name)], row); });
}

QVariant DataBinding::value(int reference, int row) const
{
    if (reference >= 0)
        return m_table->value(reference, tableRow(row));
    return QVariant(number(reference, row));
}
