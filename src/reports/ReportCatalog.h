#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <span>
#include <vector>

class ReportDefinition;

// Where the host offers a report: its section of the Reports menu.
enum class ReportGroup { InvoiceListings, Analyses, ProductLedgers, Stock };

// One report: its definition (criteria, query, preparation) and how the product offers it.
// A report is known by its row alone: the host's menu, the command line, the windows and their
// tests all read the rows.
struct ReportEntry
{
    QString launchOperation; // SalesRegister: the operation of Reports that opens its window
    QString window;          // RptSalesRegister: its criteria window's objectName
    QString caption;         // Sales Register
    QString layout;          // crpSalesRegisterIW
    QString commandName;     // sales-register
    ReportGroup group;
    const ReportDefinition &(*definition)();
};

namespace ReportCatalog {
// The menu's sections, in their order.
inline constexpr std::array groups{ReportGroup::InvoiceListings, ReportGroup::Analyses,
                                   ReportGroup::ProductLedgers, ReportGroup::Stock};

// Every report, one row each.
[[nodiscard]] std::span<const ReportEntry> entries();
// The reports of a section, in row order.
[[nodiscard]] std::vector<const ReportEntry *> inGroup(ReportGroup group);
[[nodiscard]] QString groupTitle(ReportGroup group);
// The report of that command-line name; nullptr when there is none.
[[nodiscard]] const ReportEntry *byCommandName(const QString &name);
// The report a launch operation of Reports opens; nullptr when there is none.
[[nodiscard]] const ReportEntry *byLaunchOperation(const QString &name);
// The row that holds the definition. Throws std::logic_error for a definition no row holds.
[[nodiscard]] const ReportEntry &entryOf(const ReportDefinition &definition);
// What makes the rows other than one per report (a definition, launch operation, window,
// caption, layout or command name held by two rows), one line each; empty when nothing does.
[[nodiscard]] QStringList duplicates(std::span<const ReportEntry> rows = entries());
} // namespace ReportCatalog
