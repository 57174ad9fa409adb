#include "criteria/reports/RptSalesSummary.h"

#include "reports/SalesSummaryReport.h"

RptSalesSummary::RptSalesSummary(ReportContext &context)
    : CriteriaWindow(SalesSummaryReport::instance(), context)
{
}
