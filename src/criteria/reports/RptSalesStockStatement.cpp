#include "criteria/reports/RptSalesStockStatement.h"

#include "criteria/reports/SalesStockStatementReport.h"

RptSalesStockStatement::RptSalesStockStatement(ReportContext &context)
    : CriteriaWindow(SalesStockStatementReport::instance(), context)
{
}
