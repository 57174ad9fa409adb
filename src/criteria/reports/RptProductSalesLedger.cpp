#include "criteria/reports/RptProductSalesLedger.h"

#include "criteria/reports/ProductSalesLedgerReport.h"

RptProductSalesLedger::RptProductSalesLedger(ReportContext &context)
    : CriteriaWindow(ProductSalesLedgerReport::instance(), context)
{
}
