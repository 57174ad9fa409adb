#include "criteria/reports/RptCompanyWiseSale.h"

#include "reports/CompanyWiseSaleReport.h"

RptCompanyWiseSale::RptCompanyWiseSale(ReportContext &context)
    : CriteriaWindow(CompanyWiseSaleReport::instance(), context)
{
}
