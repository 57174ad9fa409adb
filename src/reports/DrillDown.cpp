#include "reports/DrillDown.h"

#include "reports/CompanySectorWiseSaleReport.h"
#include "reports/CompanyWiseSaleReport.h"
#include "reports/CustomerTownSectorWiseSalesReport.h"
#include "reports/HeadlessReport.h"
#include "reports/ProductSalesLedgerReport.h"
#include "reports/ProductWiseSalesReport.h"
#include "reports/SaleReturnRegisterReport.h"
#include "reports/SaleReturnsSummaryReport.h"
#include "reports/SalesRegisterReport.h"
#include "reports/SalesStockStatementReport.h"
#include "reports/SalesSummaryReport.h"
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

template<typename Definition> bool is(const ReportDefinition &report)
{
    return &report == &Definition::instance();
}

template<typename Definition> const ReportDefinition *detailReport()
{
    return &Definition::instance();
}

std::optional<DrillTarget> link(const ReportDefinition &summary, const ReportCriteria &criteria,
                                const ResultTable &rows, int row)
{
    ReportCriteria detail = samePeriod(criteria);
    if (is<SalesSummaryReport>(summary)) {
        const QString invoice = cell(rows, row, u"saleid");
        if (invoice.isEmpty())
            return std::nullopt;
        detail.texts = {{StandardFields::invoiceFromKey, invoice},
                        {StandardFields::invoiceToKey, invoice}};
        return DrillTarget{detailReport<SalesRegisterReport>(), detail,
                           u"Sales register of invoice %1 (its gross value, discount and tax "
                           u"are these; the net value here adds the stored line totals, the "
                           u"register computes each line's)"_s.arg(invoice)};
    }
    if (is<SaleReturnsSummaryReport>(summary)) {
        const QString number = cell(rows, row, u"salereturnid");
        if (number.isEmpty())
            return std::nullopt;
        detail.texts = {{StandardFields::invoiceFromKey, number},
                        {StandardFields::invoiceToKey, number}};
        return DrillTarget{detailReport<SaleReturnRegisterReport>(), detail,
                           u"Sale return register of return %1"_s.arg(number)};
    }
    if (is<CompanyWiseSaleReport>(summary)) {
        const QString company = cell(rows, row, u"CompanyID");
        if (company.isEmpty() || company == u"0"_s)
            return std::nullopt;
        detail.texts = {{StandardFields::companyKey, company}};
        return DrillTarget{
            detailReport<ProductWiseSalesReport>(), detail,
            u"Product wise sales of company %1 (values differ: here every sale and return of "
            u"the period at its stored totals; there sales in the customer's own sector, with "
            u"the returns made against them)"_s.arg(named(rows, row, company, u"CompanyName"))};
    }
    if (is<CompanySectorWiseSaleReport>(summary) || is<ProductWiseSalesReport>(summary) ||
        is<SalesStockStatementReport>(summary)) {
        const QString product = cell(rows, row, u"ProductId");
        if (product.isEmpty())
            return std::nullopt;
        detail.texts = {{StandardFields::productKey, product}};
        const QString why =
            is<SalesStockStatementReport>(summary)
                ? u"the statement also counts opening stock, purchases and returns"_s
                : is<CompanySectorWiseSaleReport>(summary)
                      ? u"here for one sector, with returns taken off; there every sale"_s
                      : u"here stored totals with returns taken off; there each sale line "
                        u"computed from its price"_s;
        return DrillTarget{detailReport<ProductSalesLedgerReport>(), detail,
                           u"Product sales ledger of %1 (values differ: %2)"_s.arg(
                               named(rows, row, product, u"ProductName"), why)};
    }
    if (is<CustomerTownSectorWiseSalesReport>(summary)) {
        const QString customer = cell(rows, row, u"customerid");
        if (customer.isEmpty())
            return std::nullopt;
        detail.texts = {{StandardFields::customerKey, customer},
                        {StandardFields::sectorKey, cell(rows, row, u"sectorid")},
                        {StandardFields::townKey, cell(rows, row, u"townid")}};
        return DrillTarget{
            detailReport<SalesRegisterReport>(), detail,
            u"Sales register of %1 in this sector (values differ where the invoices have "
            u"returns: here each sale line is joined to every line of its returns)"_s.arg(
                named(rows, row, customer, u"customername"))};
    }
    return std::nullopt;
}

} // namespace

namespace DrillDown {

std::optional<DrillTarget> target(const ReportDefinition &summary, const ReportCriteria &criteria,
                                  const ResultTable &rows, int row)
{
    return link(summary, criteria, rows, row);
}

void attach(Report &report, const ReportDefinition &summary, const ReportCriteria &criteria,
            std::shared_ptr<const ResultTable> rows, const Connection &connection,
            const ReportPrinting *printing)
{
    if (!rows)
        return;
    const Connection *database = &connection; // the host's, which outlives its reports
    const ReportDefinition *from = &summary;   // definitions live as long as the program
    report.setRowLinks([=](int tableRow) -> std::optional<RowLink> {
        std::optional<DrillTarget> t = target(*from, criteria, *rows, tableRow);
        if (!t)
            return std::nullopt;
        return RowLink{t->description, [t = *t, database, printing](QString &message) {
                           HeadlessReport built(*t.detail, t.criteria, *database, printing);
                           if (built.build() == HeadlessReport::Outcome::Built)
                               return built.takeReport();
                           message = built.message().text;
                           return std::unique_ptr<Report>();
                       }};
    });
}

} // namespace DrillDown
