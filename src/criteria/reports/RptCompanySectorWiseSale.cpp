#include "criteria/reports/RptCompanySectorWiseSale.h"

#include "criteria/reports/CompanySectorWiseSaleReport.h"

RptCompanySectorWiseSale::RptCompanySectorWiseSale(ReportContext &context)
    : CriteriaWindow(CompanySectorWiseSaleReport::instance(), context)
{
}
