#include "criteria/reports/RptProductSaleReturnLedger.h"

#include "criteria/reports/ProductSaleReturnLedgerReport.h"

RptProductSaleReturnLedger::RptProductSaleReturnLedger(ReportContext &context)
    : CriteriaWindow(ProductSaleReturnLedgerReport::instance(), context)
{
}
