#include "reports/ReportCatalog.h"

#include "reports/CompanySectorWiseSaleReport.h"
#include "reports/CompanyWiseSaleReport.h"
#include "reports/CustomerTownSectorWiseSalesReport.h"
#include "reports/ProductSaleReturnLedgerReport.h"
#include "reports/ProductSalesLedgerReport.h"
#include "reports/ProductWiseSalesReport.h"
#include "reports/SaleReturnRegisterReport.h"
#include "reports/SaleReturnsSummaryReport.h"
#include "reports/SalesRegisterReport.h"
#include "reports/SalesStockStatementReport.h"
#include "reports/SalesSummaryReport.h"

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace ReportCatalog {

namespace {

template<typename Definition> const ReportDefinition &definitionOf()
{
    return Definition::instance();
}

} // namespace

const std::array<ReportEntry, count> &entries()
{
    static const std::array<ReportEntry, count> table{{
        {ReportKind::SalesRegister, u"SalesRegister"_s, u"RptSalesRegister"_s, u"Sales Register"_s,
         u"crpSalesRegisterIW"_s, u"sales-register"_s, ReportGroup::InvoiceListings, &definitionOf<SalesRegisterReport>},
        {ReportKind::SalesSummary, u"SalesSummary"_s, u"RptSalesSummary"_s, u"Sales Summary"_s,
         u"crpSalesSummary"_s, u"sales-summary"_s, ReportGroup::InvoiceListings, &definitionOf<SalesSummaryReport>},
        {ReportKind::SaleReturnRegister, u"SaleReturnRegister"_s, u"RptSaleReturnRegister"_s,
         u"Sale Returns Register Invoice Wise"_s, u"crpSaleReturnsRegisterIW"_s,
         u"sale-return-register"_s, ReportGroup::InvoiceListings,
         &definitionOf<SaleReturnRegisterReport>},
        {ReportKind::SaleReturnsSummary, u"SaleReturnsSummary"_s, u"RptSaleReturnsSummary"_s,
         u"Sale Returns Summary"_s, u"crpSaleReturnsSummary"_s, u"sale-returns-summary"_s,
         ReportGroup::InvoiceListings,
         &definitionOf<SaleReturnsSummaryReport>},
        {ReportKind::CompanyWiseSale, u"CompanyWiseSale"_s, u"RptCompanyWiseSale"_s,
         u"Company Wise Sale"_s, u"CrpCompanyWiseSale"_s, u"company-wise-sale"_s,
         ReportGroup::Analyses, &definitionOf<CompanyWiseSaleReport>},
        {ReportKind::CompanySectorWiseSale, u"CompanySectorWiseSale"_s,
         u"RptCompanySectorWiseSale"_s, u"Company Sector Wise Sale"_s,
         u"CrpCompanySectorWiseSale"_s, u"company-sector-wise-sale"_s, ReportGroup::Analyses, &definitionOf<CompanySectorWiseSaleReport>},
        {ReportKind::CustomerTownSectorWiseSales, u"CustomerTownSectorWiseSales"_s,
         u"RptCustomerTownSectorWiseSales"_s, u"Customer/Town/Sector wise Sales"_s,
         u"crpSalesCTSwise"_s, u"customer-town-sector-wise-sales"_s, ReportGroup::Analyses, &definitionOf<CustomerTownSectorWiseSalesReport>},
        {ReportKind::ProductWiseSales, u"ProductWiseSales"_s, u"RptProductWiseSales"_s,
         u"Product Wise Sale"_s, u"CrpProductWiseSale"_s, u"product-wise-sales"_s,
         ReportGroup::Analyses, &definitionOf<ProductWiseSalesReport>},
        {ReportKind::ProductSalesLedger, u"ProductSalesLedger"_s, u"RptProductSalesLedger"_s,
         u"Product Sales Ledger"_s, u"CrpProductSalesLedger"_s, u"product-sales-ledger"_s,
         ReportGroup::ProductLedgers,
         &definitionOf<ProductSalesLedgerReport>},
        {ReportKind::ProductSaleReturnLedger, u"ProductSaleReturnLedger"_s,
         u"RptProductSaleReturnLedger"_s, u"Product Sale Returns Ledger"_s,
         u"crpSaleReturnsLedger"_s, u"product-sale-return-ledger"_s, ReportGroup::ProductLedgers, &definitionOf<ProductSaleReturnLedgerReport>},
        {ReportKind::SalesStockStatement, u"SalesStockStatement"_s, u"RptSalesStockStatement"_s,
         u"Sales and Stock Statement"_s, u"crpSalesStockStatement"_s, u"sales-stock-statement"_s,
         ReportGroup::Stock,
         &definitionOf<SalesStockStatementReport>},
    }};
    return table;
}

const ReportEntry &entry(ReportKind kind)
{
    for (const ReportEntry &e : entries()) {
        if (e.kind == kind)
            return e;
    }
    throw std::logic_error("unknown report");
}

const ReportEntry *byCommandName(const QString &name)
{
    for (const ReportEntry &e : entries()) {
        if (e.commandName == name)
            return &e;
    }
    return nullptr;
}

const ReportDefinition *definition(const ReportEntry &entry)
{
    return entry.definition ? &entry.definition() : nullptr;
}

QString groupTitle(ReportGroup group)
{
    switch (group) {
    case ReportGroup::InvoiceListings:
        return u"Invoice listings"_s;
    case ReportGroup::Analyses:
        return u"Sales analyses"_s;
    case ReportGroup::ProductLedgers:
        return u"Product ledgers"_s;
    case ReportGroup::Stock:
        return u"Stock"_s;
    }
    return QString();
}

} // namespace ReportCatalog
