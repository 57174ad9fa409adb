#include "criteria/reports/RptProductSaleReturnLedger.h"

#include "reports/ProductSaleReturnLedgerReport.h"

RptProductSaleReturnLedger::RptProductSaleReturnLedger(ReportContext &context)
    : CriteriaWindow(ProductSaleReturnLedgerReport::instance(), context)
{
}
