#include "criteria/reports/RptSaleReturnsSummary.h"

#include "reports/SaleReturnsSummaryReport.h"

RptSaleReturnsSummary::RptSaleReturnsSummary(ReportContext &context)
    : CriteriaWindow(SaleReturnsSummaryReport::instance(), context)
{
}
