#include "reports/DrillDown.h"

#include "reports/HeadlessReport.h"
#include "reports/StandardFields.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"

using namespace Qt::StringLiterals;

namespace {

// The row's value in the named column, as text; empty when there is no such column or value.
QString cell(const ResultTable &rows, int row, QStringView column)
{
    const int c = rows.columnIndex(column);
    return c < 0 || row < 0 || row >= rows.rowCount() ? QString() : rows.text(c, row).trimmed();
}

// "01 Fertilisers": an id with its name, when the row has one.
QString named(const ResultTable &rows, int row, const QString &id, QStringView nameColumn)
{
    const QString name = cell(rows, row, nameColumn);
    return name.isEmpty() ? id : id + u' ' + name;
}

ReportCriteria samePeriod(const ReportCriteria &criteria)
{
    return {criteria.from, criteria.to, {}, {}};
}

std::optional<DrillTarget> link(ReportKind summary, const ReportCriteria &criteria,
                                const ResultTable &rows, int row)
{
    ReportCriteria detail = samePeriod(criteria);
    switch (summary) {
    case ReportKind::SalesSummary: {
        const QString invoice = cell(rows, row, u"saleid");
        if (invoice.isEmpty())
            return std::nullopt;
        detail.texts = {{StandardFields::invoiceFromKey, invoice},
                        {StandardFields::invoiceToKey, invoice}};
        return DrillTarget{ReportKind::SalesRegister, detail,
                           u"Sales register of invoice %1 (its gross value, discount and tax "
                           u"are these; the net value here adds the stored line totals, the "
                           u"register computes each line's)"_s.arg(invoice)};
    }
    case ReportKind::SaleReturnsSummary: {
        const QString number = cell(rows, row, u"salereturnid");
        if (number.isEmpty())
            return std::nullopt;
        detail.texts = {{StandardFields::invoiceFromKey, number},
                        {StandardFields::invoiceToKey, number}};
        return DrillTarget{ReportKind::SaleReturnRegister, detail,
                           u"Sale return register of return %1"_s.arg(number)};
    }
    case ReportKind::CompanyWiseSale: {
        const QString company = cell(rows, row, u"CompanyID");
        if (company.isEmpty() || company == u"0"_s)
            return std::nullopt;
        detail.texts = {{StandardFields::companyKey, company}};
        return DrillTarget{
            ReportKind::ProductWiseSales, detail,
            u"Product wise sales of company %1 (values differ: here every sale and return of "
            u"the period at its stored totals; there sales in the customer's own sector, with "
            u"the returns made against them)"_s.arg(named(rows, row, company, u"CompanyName"))};
    }
    case ReportKind::CompanySectorWiseSale:
    case ReportKind::ProductWiseSales:
    case ReportKind::SalesStockStatement: {
        const QString product = cell(rows, row, u"ProductId");
        if (product.isEmpty())
            return std::nullopt;
        detail.texts = {{StandardFields::productKey, product}};
        const QString why =
            summary == ReportKind::SalesStockStatement
                ? u"the statement also counts opening stock, purchases and returns"_s
                : summary == ReportKind::CompanySectorWiseSale
                      ? u"here for one sector, with returns taken off; there every sale"_s
                      : u"here stored totals with returns taken off; there each sale line "
                        u"computed from its price"_s;
        return DrillTarget{ReportKind::ProductSalesLedger, detail,
                           u"Product sales ledger of %1 (values differ: %2)"_s.arg(
                               named(rows, row, product, u"ProductName"), why)};
    }
    case ReportKind::CustomerTownSectorWiseSales: {
        const QString customer = cell(rows, row, u"customerid");
        if (customer.isEmpty())
            return std::nullopt;
        detail.texts = {{StandardFields::customerKey, customer},
                        {StandardFields::sectorKey, cell(rows, row, u"sectorid")},
                        {StandardFields::townKey, cell(rows, row, u"townid")}};
        return DrillTarget{
            ReportKind::SalesRegister, detail,
            u"Sales register of %1 in this sector (values differ where the invoices have "
            u"returns: here each sale line is joined to every line of its returns)"_s.arg(
                named(rows, row, customer, u"customername"))};
    }
    default:
        return std::nullopt;
    }
}

} // namespace

namespace DrillDown {

std::optional<DrillTarget> target(ReportKind summary, const ReportCriteria &criteria,
                                  const ResultTable &rows, int row)
{
    std::optional<DrillTarget> found = link(summary, criteria, rows, row);
    // Only to reports that can be built.
    if (found && !ReportCatalog::definition(ReportCatalog::entry(found->detail)))
        return std::nullopt;
    return found;
}

void attach(Report &report, ReportKind summary, const ReportCriteria &criteria,
            std::shared_ptr<const ResultTable> rows, const Connection &connection)
{
    if (!rows)
        return;
    const Connection *database = &connection; // the host's, which outlives its reports
    report.setRowLinks([=](int tableRow) -> std::optional<RowLink> {
        std::optional<DrillTarget> t = target(summary, criteria, *rows, tableRow);
        if (!t)
            return std::nullopt;
        return RowLink{t->description, [t = *t, database](QString &message) {
                           const ReportDefinition &detail =
                               *ReportCatalog::definition(ReportCatalog::entry(t.detail));
                           HeadlessReport built(detail, t.criteria, *database);
                           if (built.build() == HeadlessReport::Outcome::Built)
                               return built.takeReport();
                           message = built.message().text;
                           return std::unique_ptr<Report>();
                       }};
    });
}

} // namespace DrillDown
