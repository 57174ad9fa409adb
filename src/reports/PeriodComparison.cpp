#include "reports/PeriodComparison.h"

#include "db/Failure.h"
#include "db/ResultTable.h"
#include "reports/SqlDateRange.h"

#include <QHash>
#include <QLocale>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

bool wholeMonths(QDate from, QDate to)
{
    return from.day() == 1 && to.day() == to.daysInMonth();
}

QDate yearBack(QDate date)
{
    // The last day of a month stays the last day of its month (February of a leap year).
    const QDate back = date.addYears(-1);
    if (date.day() == date.daysInMonth() && back.isValid())
        return QDate(back.year(), back.month(), back.daysInMonth());
    return back;
}

QString dmy(QDate date)
{
    return QLocale::c().toString(date, u"dd-MMM-yyyy"_s);
}

int columnOf(const ResultTable &table, const QString &name)
{
    const int column = table.columnIndex(name);
    if (column < 0)
        throw Failure(
            u"The comparison needs the column %1, which the report's rows lack"_s.arg(name),
            Failure::componentSource());
    return column;
}

std::vector<int> columnsOf(const ResultTable &table, const QStringList &names)
{
    std::vector<int> columns;
    for (const QString &name : names)
        columns.push_back(columnOf(table, name));
    return columns;
}

// The row's key as one text: ids compared as the database groups them, without regard to case.
QString rowKey(const ResultTable &table, const std::vector<int> &columns, int row)
{
    QString key;
    for (int c : columns) {
        key += table.isNull(c, row) ? u"\x1e"_s : table.text(c, row).toCaseFolded();
        key += u'\x1f';
    }
    return key;
}

bool isNumber(ResultTable::Type type)
{
    return type == ResultTable::Type::Integer || type == ResultTable::Type::Real;
}

// Orders a row of one table against a row of another by the report's order columns.
int compareRows(const ResultTable &a, int rowA, const ResultTable &b, int rowB,
                const std::vector<int> &columns)
{
    for (int c : columns) {
        const bool nullA = a.isNull(c, rowA), nullB = b.isNull(c, rowB);
        if (nullA || nullB) {
            if (nullA != nullB)
                return nullA ? -1 : 1;
            continue;
        }
        int order = 0;
        if (isNumber(a.columnType(c)) && isNumber(b.columnType(c))) {
            const double x = a.number(c, rowA), y = b.number(c, rowB);
            order = x < y ? -1 : x > y ? 1 : 0;
        } else {
            order = QString::compare(a.text(c, rowA), b.text(c, rowB), Qt::CaseInsensitive);
        }
        if (order != 0)
            return order;
    }
    return 0;
}

void copyCell(ResultTable &out, int column, const ResultTable &from, int row)
{
    if (from.isNull(column, row))
        out.appendNull(column);
    else
        out.appendVariant(column, from.value(column, row));
}

struct FigureColumns
{
    int plus = -1;
    int minus = -1;
    double of(const ResultTable &table, int row) const
    {
        return table.number(plus, row) - (minus >= 0 ? table.number(minus, row) : 0.0);
    }
};

} // namespace

CriteriaField PeriodComparison::field()
{
    CriteriaField f;
    f.kind = FieldKind::Choice;
    f.key = key;
    f.caption = u"Compared with"_s;
    f.label = u"Compare with"_s;
    f.control = u"CboCompare"_s;
    f.afterCommands = true;
    f.choices = {u"none"_s, u"previous-period"_s, u"previous-year"_s};
    f.choiceLabels = {u"Nothing"_s, u"The previous period of the same length"_s,
                      u"The same period a year earlier"_s};
    return f;
}

PeriodComparison::Mode PeriodComparison::mode(const ReportCriteria &criteria)
{
    const QString chosen = criteria.text(key).trimmed();
    if (chosen == u"previous-period")
        return Mode::PreviousPeriod;
    if (chosen == u"previous-year")
        return Mode::PreviousYear;
    return Mode::None;
}

PeriodComparison::Period PeriodComparison::earlier(Mode mode, QDate from, QDate to)
{
    Period p;
    switch (mode) {
    case Mode::None:
        return p;
    case Mode::PreviousPeriod:
        if (wholeMonths(from, to)) {
            const int months = (to.year() - from.year()) * 12 + to.month() - from.month() + 1;
            p = {from.addMonths(-months), from.addDays(-1)};
        } else {
            p = {from.addDays(-(from.daysTo(to) + 1)), from.addDays(-1)};
        }
        break;
    case Mode::PreviousYear:
        p = {yearBack(from), yearBack(to)};
        break;
    }
    if (!SqlDateRange::contains(p.from) || !SqlDateRange::contains(p.to))
        return {};
    return p;
}

ReportCriteria PeriodComparison::earlierCriteria(const ReportCriteria &criteria)
{
    ReportCriteria c = criteria;
    const Period p = earlier(mode(criteria), criteria.from, criteria.to);
    c.from = p.from;
    c.to = p.to;
    c.texts.remove(key);
    return c;
}

std::optional<QString> PeriodComparison::problem(const ReportCriteria &criteria)
{
    const Mode m = mode(criteria);
    if (m == Mode::None || criteria.from > criteria.to)
        return std::nullopt;
    if (earlier(m, criteria.from, criteria.to).from.isValid())
        return std::nullopt;
    return u"The period to compare with would begin before %1, the first date a report takes"_s.arg(
        dmy(SqlDateRange::first()));
}

QString PeriodComparison::earlierColumn(const Figure &figure)
{
    return u"Earlier"_s + figure.name;
}

QString PeriodComparison::changeColumn(const Figure &figure)
{
    return figure.name + u"Change"_s;
}

QString PeriodComparison::percentColumn(const Figure &figure)
{
    return figure.name + u"ChangePct"_s;
}

std::shared_ptr<const ResultTable> PeriodComparison::merge(const ResultTable &current,
                                                           const ResultTable &earlier,
                                                           const Design &design)
{
    const std::vector<int> keys = columnsOf(current, design.key);
    const std::vector<int> order = columnsOf(current, design.order);
    const std::vector<int> amounts = columnsOf(current, design.amounts);
    std::vector<FigureColumns> figures;
    for (const Figure &f : design.figures)
        figures.push_back(
            {columnOf(current, f.plus), f.minus.isEmpty() ? -1 : columnOf(current, f.minus)});
    if (earlier.columnNames() != current.columnNames())
        throw Failure(u"The earlier period's rows have other columns than this period's"_s,
                      Failure::componentSource());

    QHash<QString, int> earlierRow;
    for (int r = 0; r < earlier.rowCount(); ++r)
        earlierRow.insert(rowKey(earlier, keys, r), r);
    // Pairs of (this period's row, the earlier period's row), -1 for a side without it.
    std::vector<std::pair<int, int>> rows;
    std::vector<bool> matched(size_t(earlier.rowCount()), false);
    for (int r = 0; r < current.rowCount(); ++r) {
        const int e = earlierRow.value(rowKey(current, keys, r), -1);
        if (e >= 0)
            matched[size_t(e)] = true;
        rows.emplace_back(r, e);
    }
    // Rows found only earlier come in the report's order, as the earlier run gave them: each
    // goes before the first of this period's rows that follows it (after them all when the
    // report has no order).
    std::vector<std::pair<int, int>> merged;
    merged.reserve(rows.size() + size_t(earlier.rowCount()));
    size_t next = 0;
    for (int e = 0; e < earlier.rowCount(); ++e) {
        if (matched[size_t(e)])
            continue;
        while (next < rows.size() &&
               (order.empty() || compareRows(current, rows[next].first, earlier, e, order) <= 0))
            merged.push_back(rows[next++]);
        merged.emplace_back(-1, e);
    }
    merged.insert(merged.end(), rows.begin() + qsizetype(next), rows.end());

    QStringList names = current.columnNames();
    for (const Figure &f : design.figures)
        names << earlierColumn(f) << changeColumn(f) << percentColumn(f);
    auto out = std::make_shared<ResultTable>(names);
    const int own = current.columnCount();
    for (const auto &[c, e] : merged) {
        for (int k = 0; k < own; ++k) {
            if (c >= 0)
                copyCell(*out, k, current, c);
            else if (std::find(amounts.begin(), amounts.end(), k) != amounts.end())
                out->appendInteger(k, 0);
            else
                copyCell(*out, k, earlier, e);
        }
        int column = own;
        for (const FigureColumns &f : figures) {
            const double now = c >= 0 ? f.of(current, c) : 0.0;
            const double before = e >= 0 ? f.of(earlier, e) : 0.0;
            out->appendReal(column++, before);
            // Amounts to the cent and quantities: their difference is exact to the millionth,
            // without the remainder binary subtraction leaves (-829333.569999963).
            out->appendReal(column++, std::round((now - before) * 1e6) / 1e6);
            // An earlier figure that prints as 0.00 has no percent.
            if (std::llround(before * 100) == 0)
                out->appendNull(column++);
            else
                out->appendReal(column++, (now - before) / std::abs(before) * 100);
        }
    }
    out->finish();
    return out;
}
