#include "reports/ReportCatalog.h"

#include "reports/CompanySectorWiseSaleReport.h"
#include "reports/CompanyWiseSaleReport.h"
#include "reports/CustomerTownSectorWiseSalesReport.h"
#include "reports/MonthlySalesReport.h"
#include "reports/ProductSaleReturnLedgerReport.h"
#include "reports/ProductSalesLedgerReport.h"
#include "reports/ProductWiseSalesReport.h"
#include "reports/SaleReturnRegisterReport.h"
#include "reports/SaleReturnsSummaryReport.h"
#include "reports/SalesRegisterReport.h"
#include "reports/SalesStockStatementReport.h"
#include "reports/SalesSummaryReport.h"

#include <QSet>
#include <algorithm>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace ReportCatalog {

namespace {

template<typename Definition> const ReportDefinition &definitionOf()
{
    return Definition::instance();
}

using G = ReportGroup;

// The product's reports. The menu takes its sections from each row's group, so a row may sit
// anywhere in the table; within a section the rows keep their order here.
std::span<const ReportEntry> table()
{
    static const ReportEntry rows[] = {
        {u"SalesStockStatement"_s, u"RptSalesStockStatement"_s, u"Sales and Stock Statement"_s,
         u"crpSalesStockStatement"_s, u"sales-stock-statement"_s, G::Stock,
         &definitionOf<SalesStockStatementReport>},
        {u"SalesRegister"_s, u"RptSalesRegister"_s, u"Sales Register"_s, u"crpSalesRegisterIW"_s,
         u"sales-register"_s, G::InvoiceListings, &definitionOf<SalesRegisterReport>},
        {u"SalesSummary"_s, u"RptSalesSummary"_s, u"Sales Summary"_s, u"crpSalesSummary"_s,
         u"sales-summary"_s, G::InvoiceListings, &definitionOf<SalesSummaryReport>},
        {u"SaleReturnRegister"_s, u"RptSaleReturnRegister"_s,
         u"Sale Returns Register Invoice Wise"_s, u"crpSaleReturnsRegisterIW"_s,
         u"sale-return-register"_s, G::InvoiceListings, &definitionOf<SaleReturnRegisterReport>},
        {u"SaleReturnsSummary"_s, u"RptSaleReturnsSummary"_s, u"Sale Returns Summary"_s,
         u"crpSaleReturnsSummary"_s, u"sale-returns-summary"_s, G::InvoiceListings,
         &definitionOf<SaleReturnsSummaryReport>},
        {u"CompanyWiseSale"_s, u"RptCompanyWiseSale"_s, u"Company Wise Sale"_s,
         u"CrpCompanyWiseSale"_s, u"company-wise-sale"_s, G::Analyses,
         &definitionOf<CompanyWiseSaleReport>},
        {u"CompanySectorWiseSale"_s, u"RptCompanySectorWiseSale"_s, u"Company Sector Wise Sale"_s,
         u"CrpCompanySectorWiseSale"_s, u"company-sector-wise-sale"_s, G::Analyses,
         &definitionOf<CompanySectorWiseSaleReport>},
        {u"CustomerTownSectorWiseSales"_s, u"RptCustomerTownSectorWiseSales"_s,
         u"Customer/Town/Sector wise Sales"_s, u"crpSalesCTSwise"_s,
         u"customer-town-sector-wise-sales"_s, G::Analyses,
         &definitionOf<CustomerTownSectorWiseSalesReport>},
        {u"ProductWiseSales"_s, u"RptProductWiseSales"_s, u"Product Wise Sale"_s,
         u"CrpProductWiseSale"_s, u"product-wise-sales"_s, G::Analyses,
         &definitionOf<ProductWiseSalesReport>},
        {u"MonthlySales"_s, u"RptMonthlySales"_s, u"Monthly Sales"_s, u"crpMonthlySales"_s,
         u"monthly-sales"_s, G::Analyses, &definitionOf<MonthlySalesReport>},
        {u"ProductSalesLedger"_s, u"RptProductSalesLedger"_s, u"Product Sales Ledger"_s,
         u"CrpProductSalesLedger"_s, u"product-sales-ledger"_s, G::ProductLedgers,
         &definitionOf<ProductSalesLedgerReport>},
        {u"ProductSaleReturnLedger"_s, u"RptProductSaleReturnLedger"_s,
         u"Product Sale Returns Ledger"_s, u"crpSaleReturnsLedger"_s,
         u"product-sale-return-ledger"_s, G::ProductLedgers,
         &definitionOf<ProductSaleReturnLedgerReport>},
    };
    return rows;
}

// The first row that matches; nullptr when none does.
template<typename Matches> const ReportEntry *findRow(Matches matches)
{
    const std::span<const ReportEntry> rows = table();
    const auto found = std::find_if(rows.begin(), rows.end(), matches);
    return found == rows.end() ? nullptr : &*found;
}

} // namespace

std::span<const ReportEntry> entries()
{
    return table();
}

std::vector<const ReportEntry *> inGroup(ReportGroup group)
{
    std::vector<const ReportEntry *> found;
    for (const ReportEntry &e : table()) {
        if (e.group == group)
            found.push_back(&e);
    }
    return found;
}

const ReportEntry *byCommandName(const QString &name)
{
    return findRow([&](const ReportEntry &e) { return e.commandName == name; });
}

const ReportEntry *byLaunchOperation(const QString &name)
{
    return findRow([&](const ReportEntry &e) { return e.launchOperation == name; });
}

const ReportEntry &entryOf(const ReportDefinition &definition)
{
    if (const ReportEntry *row =
            findRow([&](const ReportEntry &e) { return &e.definition() == &definition; }))
        return *row;
    throw std::logic_error("a report definition without its catalogue row");
}

QStringList duplicates(std::span<const ReportEntry> rows)
{
    QStringList found;
    const std::pair<const char *, QString ReportEntry::*> keys[] = {
        {"launch operation", &ReportEntry::launchOperation},
        {"window", &ReportEntry::window},
        {"caption", &ReportEntry::caption},
        {"layout", &ReportEntry::layout},
        {"command name", &ReportEntry::commandName}};
    for (const auto &[what, key] : keys) {
        QSet<QString> seen;
        for (const ReportEntry &e : rows) {
            if (seen.contains(e.*key))
                found.append(QString::fromLatin1(what) + u' ' + e.*key + u" in two rows"_s);
            seen.insert(e.*key);
        }
    }
    QSet<const ReportDefinition *> definitions;
    for (const ReportEntry &e : rows) {
        if (definitions.contains(&e.definition()))
            found.append(u"the definition of "_s + e.caption + u" in two rows"_s);
        definitions.insert(&e.definition());
    }
    return found;
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
