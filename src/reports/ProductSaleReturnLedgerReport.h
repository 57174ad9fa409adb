#pragma once

#include "reports/ProductLedgerReport.h"

// Every sale-return line of one product in a period, with the invoice it refers to.
class ProductSaleReturnLedgerReport : public ProductLedgerReport
{
public:
    [[nodiscard]] static const ProductSaleReturnLedgerReport &instance();

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    ProductSaleReturnLedgerReport();
};
