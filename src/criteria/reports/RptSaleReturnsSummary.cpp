#include "criteria/reports/RptSaleReturnsSummary.h"

#include "criteria/reports/SaleReturnsSummaryReport.h"

RptSaleReturnsSummary::RptSaleReturnsSummary(ReportContext &context)
    : CriteriaWindow(SaleReturnsSummaryReport::instance(), context)
{
}
