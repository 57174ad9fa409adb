#include "criteria/reports/RptProductWiseSales.h"

#include "reports/ProductWiseSalesReport.h"

RptProductWiseSales::RptProductWiseSales(ReportContext &context)
    : CriteriaWindow(ProductWiseSalesReport::instance(), context)
{
}
