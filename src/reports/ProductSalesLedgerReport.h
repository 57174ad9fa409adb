#pragma once

#include "reports/ProductLedgerReport.h"

// Every sale line of one product in a period, with its invoice, customer, sector and town.
class ProductSalesLedgerReport : public ProductLedgerReport
{
public:
    [[nodiscard]] static const ProductSalesLedgerReport &instance();

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    ProductSalesLedgerReport();
};
