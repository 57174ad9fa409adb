#include "criteria/reports/RptSalesRegister.h"

#include "reports/SalesRegisterReport.h"

RptSalesRegister::RptSalesRegister(ReportContext &context)
    : CriteriaWindow(SalesRegisterReport::instance(), context)
{
}
