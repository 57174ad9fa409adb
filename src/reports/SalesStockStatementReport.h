#pragma once

#include "reports/ReportDefinition.h"

// One line per product, for one company or all: opening quantity and bonus at the start of
// the period, what was purchased, returned to suppliers, sold and returned by customers in
// it, and the average cost of the current stock.
class SalesStockStatementReport : public ReportDefinition
{
public:
    [[nodiscard]] static const SalesStockStatementReport &instance();

    [[nodiscard]] QString query(const ReportCriteria &criteria, SqlDialect dialect) const override;
    // Preview refuses a From date later than the To date; Print builds with the dates as
    // they are.
    [[nodiscard]] std::optional<Refusal> refusal(const ReportCriteria &criteria,
                                                 ReportAction action) const override;

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    SalesStockStatementReport();
};
