#include "criteria/reports/RptCompanyWiseSale.h"

#include "criteria/reports/CompanyWiseSaleReport.h"

RptCompanyWiseSale::RptCompanyWiseSale(ReportContext &context)
    : CriteriaWindow(CompanyWiseSaleReport::instance(), context)
{
}
