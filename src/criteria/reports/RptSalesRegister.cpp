#include "criteria/reports/RptSalesRegister.h"

#include "criteria/reports/SalesRegisterReport.h"

RptSalesRegister::RptSalesRegister(ReportContext &context)
    : CriteriaWindow(SalesRegisterReport::instance(), context)
{
}
