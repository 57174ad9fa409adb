#pragma once

#include <QString>
#include <array>

class ReportDefinition;

// The eleven reports: each one's launch operation, criteria window, caption, layout, name on
// the command line, and the group it belongs to in a menu.
enum class ReportKind {
    SalesStockStatement,
    SalesRegister,
    SalesSummary,
    ProductSalesLedger,
    ProductWiseSales,
    CompanySectorWiseSale,
    CompanyWiseSale,
    CustomerTownSectorWiseSales,
    ProductSaleReturnLedger,
    SaleReturnsSummary,
    SaleReturnRegister
};

enum class ReportGroup { InvoiceListings, Analyses, ProductLedgers, Stock };

struct ReportEntry
{
    ReportKind kind;
    QString launchOperation; // SalesRegister
    QString window;          // RptSalesRegister
    QString caption;         // Sales Register
    QString layout;          // crpSalesRegisterIW
    QString commandName;     // sales-register
    ReportGroup group;
    // The report's definition: its criteria, query and preparation.
    const ReportDefinition &(*definition)() = nullptr;
};

namespace ReportCatalog {
constexpr int count = 11;
// In menu order: listings, analyses, ledgers, stock.
[[nodiscard]] const std::array<ReportEntry, count> &entries();
[[nodiscard]] const ReportEntry &entry(ReportKind kind);
// The report of that command-line name; nullptr when there is none.
[[nodiscard]] const ReportEntry *byCommandName(const QString &name);
[[nodiscard]] QString groupTitle(ReportGroup group);
// The report's definition; nullptr for a report that cannot be built yet.
[[nodiscard]] const ReportDefinition *definition(const ReportEntry &entry);
} // namespace ReportCatalog
