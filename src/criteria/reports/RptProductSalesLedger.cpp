#include "criteria/reports/RptProductSalesLedger.h"

#include "reports/ProductSalesLedgerReport.h"

RptProductSalesLedger::RptProductSalesLedger(ReportContext &context)
    : CriteriaWindow(ProductSalesLedgerReport::instance(), context)
{
}
