#pragma once

#include "reports/CriteriaField.h"
#include "reports/ReportCriteria.h"

#include <QDate>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class ResultTable;

// An analysis set beside an earlier period: the same report, the same criteria, run over the
// earlier period, its rows matched to this period's by the report's row key. Each main figure
// gets three columns after the report's own: the earlier figure, the change and the change in
// percent of the earlier figure (null where that is 0).
class PeriodComparison
{
public:
    enum class Mode { None, PreviousPeriod, PreviousYear };

    // A main figure of a report: a column, or one column less another (sales less returns).
    struct Figure
    {
        QString name; // NetSales: gives EarlierNetSales, NetSalesChange, NetSalesChangePct
        QString plus;
        QString minus; // empty: the figure is `plus` alone
    };

    // How a report's rows are compared.
    struct Design
    {
        QStringList key;     // the columns that tell one row from another
        QStringList order;   // the report's own order (ascending, text without regard to
                             // case); empty: the query gives none
        QStringList amounts; // the period's figures, 0 in a row the period did not have
        std::vector<Figure> figures;
    };

    struct Period
    {
        QDate from;
        QDate to;
    };

    static inline const QString key = QStringLiteral("compare");

    // "Compare with": none, the previous period, the same period a year earlier.
    [[nodiscard]] static CriteriaField field();
    [[nodiscard]] static Mode mode(const ReportCriteria &criteria);

    // The period compared with. Previous period: as many whole calendar months before a
    // period of whole months, else as many days just before. A year earlier: each date a year
    // back, a month's last day to that month's last day. Invalid dates when it would leave
    // the dates a report may take.
    [[nodiscard]] static Period earlier(Mode mode, QDate from, QDate to);
    // The criteria of the earlier period: the same boxes, no comparison of their own.
    [[nodiscard]] static ReportCriteria earlierCriteria(const ReportCriteria &criteria);
    // Why the comparison chosen cannot be made; nothing when it can (or none is chosen).
    [[nodiscard]] static std::optional<QString> problem(const ReportCriteria &criteria);

    [[nodiscard]] static QString earlierColumn(const Figure &figure);
    [[nodiscard]] static QString changeColumn(const Figure &figure);
    [[nodiscard]] static QString percentColumn(const Figure &figure);

    // This period's rows beside the earlier period's: every row of either, the other side's
    // amounts 0, in the report's order (rows found only earlier placed by it, or last when
    // the report has none), with the three columns of each figure appended.
    [[nodiscard]] static std::shared_ptr<const ResultTable>
    merge(const ResultTable &current, const ResultTable &earlier, const Design &design);
};
