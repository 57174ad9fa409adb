#include "criteria/reports/RptSalesStockStatement.h"

#include "reports/SalesStockStatementReport.h"

RptSalesStockStatement::RptSalesStockStatement(ReportContext &context)
    : CriteriaWindow(SalesStockStatementReport::instance(), context)
{
}
