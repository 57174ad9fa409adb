#include "criteria/reports/RptCustomerTownSectorWiseSales.h"

#include "criteria/reports/CustomerTownSectorWiseSalesReport.h"

RptCustomerTownSectorWiseSales::RptCustomerTownSectorWiseSales(ReportContext &context)
    : CriteriaWindow(CustomerTownSectorWiseSalesReport::instance(), context)
{
}
