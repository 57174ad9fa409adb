#include "criteria/reports/RptSaleReturnRegister.h"

#include "criteria/reports/SaleReturnRegisterReport.h"

RptSaleReturnRegister::RptSaleReturnRegister(ReportContext &context)
    : CriteriaWindow(SaleReturnRegisterReport::instance(), context)
{
}
