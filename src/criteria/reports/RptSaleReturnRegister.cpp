#include "criteria/reports/RptSaleReturnRegister.h"

#include "reports/SaleReturnRegisterReport.h"

RptSaleReturnRegister::RptSaleReturnRegister(ReportContext &context)
    : CriteriaWindow(SaleReturnRegisterReport::instance(), context)
{
}
