#include "criteria/reports/RptCompanySectorWiseSale.h"

#include "reports/CompanySectorWiseSaleReport.h"

RptCompanySectorWiseSale::RptCompanySectorWiseSale(ReportContext &context)
    : CriteriaWindow(CompanySectorWiseSaleReport::instance(), context)
{
}
