#pragma once

#include "reports/ReportDefinition.h"

// The sale returns summary: one line per customer sale return of a period with its totals,
// for one customer, sector and town when given.
class SaleReturnsSummaryReport : public ReportDefinition
{
public:
    [[nodiscard]] static const SaleReturnsSummaryReport &instance();

    [[nodiscard]] QString query(const ReportCriteria &criteria, SqlDialect dialect) const override;

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    SaleReturnsSummaryReport();
};
