#include "criteria/PeriodPresets.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The year's start day in that year; a start on the 29th to 31st falls back to the month's
// last day where the month is shorter.
QDate startIn(int year, QDate periodStart)
{
    const QDate first(year, periodStart.month(), 1);
    return first.addDays(std::min(periodStart.day(), first.daysInMonth()) - 1);
}

} // namespace

QDate PeriodPresets::yearStart(QDate today, QDate periodStart)
{
    if (!periodStart.isValid())
        periodStart = QDate(today.year(), 1, 1);
    const QDate thisYear = startIn(today.year(), periodStart);
    return thisYear <= today ? thisYear : startIn(today.year() - 1, periodStart);
}

std::vector<PeriodPresets::Period> PeriodPresets::at(QDate today, QDate periodStart)
{
    const QDate year = yearStart(today, periodStart);
    const QDate lastYear = yearStart(year.addDays(-1), periodStart);
    const QDate month(today.year(), today.month(), 1);
    // Quarters counted from the year's start, not from each other: a year starting on the 31st
    // keeps its quarters on the last days of short months.
    int q = 0;
    while (q < 3 && year.addMonths(3 * (q + 1)) <= today)
        ++q;
    const QDate quarter = year.addMonths(3 * q);
    const QDate lastQuarter = q > 0 ? year.addMonths(3 * (q - 1)) : lastYear.addMonths(9);
    return {
        {u"This month"_s, month, today},
        {u"Last month"_s, month.addMonths(-1), month.addDays(-1)},
        {u"This quarter"_s, quarter, today},
        {u"Last quarter"_s, lastQuarter, quarter.addDays(-1)},
        {u"Financial year to date"_s, year, today},
        {u"Last financial year"_s, lastYear, year.addDays(-1)},
    };
}
