#pragma once

#include "reports/ReportDefinition.h"

// Monthly Sales: net sales (the sales register's lines less the sale return register's) per
// calendar month of the period, one row per company, customer, sector or product, for one
// customer, town, sector and company when given. Each row holds the months in M01..M24 (the
// layout binds fixed names; months past the period are null) and their Total.
class MonthlySalesReport : public ReportDefinition
{
public:
    [[nodiscard]] static const MonthlySalesReport &instance();

    static constexpr int maxMonths = 24;
    inline static const QString byKey = QStringLiteral("by");

    [[nodiscard]] QString query(const ReportCriteria &criteria, SqlDialect dialect) const override;
    [[nodiscard]] std::optional<Refusal> refusal(const ReportCriteria &criteria,
                                                 ReportAction action) const override;
    // Each figure opens the sales register of its row over its month (the total: the period).
    [[nodiscard]] std::optional<DrillTarget> drillTarget(const ReportCriteria &criteria,
                                                         const ResultTable &rows, int row,
                                                         const QString &column) const override;
    [[nodiscard]] bool linksCells() const override { return true; }

    // The calendar months the period touches, the first and last partly when it starts or
    // ends inside one.
    [[nodiscard]] static int monthCount(const ReportCriteria &criteria);
    // The result column of month k (0-based) of the period: M01 ...
    [[nodiscard]] static QString monthColumn(int k);
    // "2026-01": how month k of the period is headed.
    [[nodiscard]] static QString monthName(const ReportCriteria &criteria, int k);
    // The by choice in force: company, customer, sector or product (blank: company).
    [[nodiscard]] static QString by(const ReportCriteria &criteria);

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    MonthlySalesReport();
};
