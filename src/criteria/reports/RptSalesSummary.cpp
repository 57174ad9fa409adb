#include "criteria/reports/RptSalesSummary.h"

#include "criteria/reports/SalesSummaryReport.h"

RptSalesSummary::RptSalesSummary(ReportContext &context)
    : CriteriaWindow(SalesSummaryReport::instance(), context)
{
}
