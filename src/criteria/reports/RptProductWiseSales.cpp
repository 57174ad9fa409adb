#include "criteria/reports/RptProductWiseSales.h"

#include "criteria/reports/ProductWiseSalesReport.h"

RptProductWiseSales::RptProductWiseSales(ReportContext &context)
    : CriteriaWindow(ProductWiseSalesReport::instance(), context)
{
}
