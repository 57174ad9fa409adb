#include "criteria/reports/RptCustomerTownSectorWiseSales.h"

#include "reports/CustomerTownSectorWiseSalesReport.h"

RptCustomerTownSectorWiseSales::RptCustomerTownSectorWiseSales(ReportContext &context)
    : CriteriaWindow(CustomerTownSectorWiseSalesReport::instance(), context)
{
}
