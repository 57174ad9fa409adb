#pragma once

#include "reports/ReportDefinition.h"

// The sales summary: one line per invoice of a period with its totals and the amount
// received, for one customer, sector and town when given.
class SalesSummaryReport : public ReportDefinition
{
public:
    [[nodiscard]] static const SalesSummaryReport &instance();

    [[nodiscard]] QString query(const ReportCriteria &criteria, SqlDialect dialect) const override;

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    SalesSummaryReport();
};
