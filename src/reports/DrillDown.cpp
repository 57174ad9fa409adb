#include "reports/DrillDown.h"

#include "db/Connection.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"
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

// Where a row leads: the detail report, the criteria the row itself fixes, the summary's
// criteria that the row's key already holds (a product is of one company), and in words what
// the detail shows.
struct Link
{
    const ReportDefinition *detail;
    QList<std::pair<QString, QString>> keys;
    QStringList implied;
    QString description;
};

template<typename Definition> bool is(const ReportDefinition &report)
{
    return &report == &Definition::instance();
}

template<typename Definition> const ReportDefinition *detailReport()
{
    return &Definition::instance();
}

std::optional<Link> link(const ReportDefinition &summary, const ResultTable &rows, int row)
{
    using namespace StandardFields;
    if (is<SalesSummaryReport>(summary)) {
        const QString invoice = cell(rows, row, u"saleid");
        if (invoice.isEmpty())
            return std::nullopt;
        return Link{detailReport<SalesRegisterReport>(),
                    {{invoiceFromKey, invoice}, {invoiceToKey, invoice}},
                    {},
                    u"Sales register of invoice %1 (its gross value, discount and tax are "
                    u"these; the net value here adds the stored line totals, the register "
                    u"computes each line's)"_s.arg(invoice)};
    }
    if (is<SaleReturnsSummaryReport>(summary)) {
        const QString number = cell(rows, row, u"salereturnid");
        if (number.isEmpty())
            return std::nullopt;
        return Link{detailReport<SaleReturnRegisterReport>(),
                    {{invoiceFromKey, number}, {invoiceToKey, number}},
                    {},
                    u"Sale return register of return %1"_s.arg(number)};
    }
    if (is<CompanyWiseSaleReport>(summary)) {
        const QString company = cell(rows, row, u"CompanyID");
        if (company.isEmpty() || company == u"0"_s)
            return std::nullopt;
        return Link{
            detailReport<ProductWiseSalesReport>(),
            {{companyKey, company}},
            {},
            u"Product wise sales of company %1 (values differ: here every sale and return of "
            u"the period at its stored totals; there sales in the customer's own sector, with "
            u"the returns made against them)"_s.arg(named(rows, row, company, u"CompanyName"))};
    }
    if (is<CompanySectorWiseSaleReport>(summary) || is<ProductWiseSalesReport>(summary) ||
        is<SalesStockStatementReport>(summary)) {
        const QString product = cell(rows, row, u"ProductId");
        if (product.isEmpty())
            return std::nullopt;
        Link l{detailReport<ProductSalesLedgerReport>(), {{productKey, product}}, {companyKey}, {}};
        QString why = u"the statement also counts opening stock, purchases and returns"_s;
        if (is<CompanySectorWiseSaleReport>(summary)) {
            // The row is one sector's: its customers' sales less their returns.
            l.keys.append({sectorKey, cell(rows, row, u"SectorId")});
            why = u"here the sales to this sector's customers at their stored totals, less "
                  u"their returns; there every sale, each line computed from its price"_s;
        } else if (is<ProductWiseSalesReport>(summary)) {
            l.keys.append({townKey, cell(rows, row, u"TownID")});
            l.keys.append({sectorKey, cell(rows, row, u"SectorID")});
            why = u"here the sales of one sector billed in the customer's own sector, at "
                  u"their stored totals; there every sale, each line computed from its price"_s;
        }
        l.description = u"Product sales ledger of %1 (values differ: %2)"_s.arg(
            named(rows, row, product, u"ProductName"), why);
        return l;
    }
    if (is<CustomerTownSectorWiseSalesReport>(summary)) {
        const QString customer = cell(rows, row, u"customerid");
        if (customer.isEmpty())
            return std::nullopt;
        return Link{detailReport<SalesRegisterReport>(),
                    {{customerKey, customer},
                     {sectorKey, cell(rows, row, u"sectorid")},
                     {townKey, cell(rows, row, u"townid")}},
                    {},
                    u"Sales register of %1 in this sector (its net values add up to the sales "
                    u"value here; the returns here are not in it)"_s.arg(
                        named(rows, row, customer, u"customername"))};
    }
    return std::nullopt;
}

// The detail's criteria: the summary's period, and each criterion of the row and of the
// summary in the detail's box for it. Those it has no box for are named in the tooltip, so
// that nobody takes its figures for the row's.
DrillTarget carry(const ReportDefinition &from, const ReportCriteria &criteria, const Link &l)
{
    const ReportDefinition &to = *l.detail;
    DrillTarget t{l.detail, {criteria.from, criteria.to, {}, {}}, l.description};
    QStringList lost;
    const auto take = [&](const QString &key, const QString &text) {
        if (to.field(key))
            t.criteria.texts.insert(key, text);
        else if (!l.implied.contains(key)) {
            const CriteriaField *f = from.field(key);
            lost.append((f ? f->caption : key) + u' ' + text.trimmed());
        }
    };
    for (const auto &[key, text] : l.keys)
        take(key, text);
    for (const CriteriaField &f : from.fields()) {
        const bool fixedByRow = std::any_of(l.keys.begin(), l.keys.end(),
                                            [&](const auto &k) { return k.first == f.key; });
        if (!fixedByRow && criteria.given(f.key))
            take(f.key, criteria.text(f.key));
    }
    if (!lost.isEmpty())
        t.description += u". Not applied there: "_s + lost.join(u", "_s);
    return t;
}

} // namespace

namespace DrillDown {

std::optional<DrillTarget> target(const ReportDefinition &summary, const ReportCriteria &criteria,
                                  const ResultTable &rows, int row, const QString &column)
{
    if (std::optional<DrillTarget> own = summary.drillTarget(criteria, rows, row, column))
        return own;
    if (summary.linksCells())
        return std::nullopt;
    const std::optional<Link> found = link(summary, rows, row);
    if (!found)
        return std::nullopt;
    return carry(summary, criteria, *found);
}

void attach(Report &report, const ReportDefinition &summary, const ReportCriteria &criteria,
            std::shared_ptr<const ResultTable> rows, const Connection &connection,
            const ReportPrinting *printing)
{
    const ReportDefinition *from = &summary; // definitions live as long as the program
    if (!rows)
        return;
    // A share of the summary's own database: the host may switch to another while the
    // preview stays open, and the detail must read the books its summary read.
    std::shared_ptr<const Connection> database = connection.shared_from_this();
    const auto linkTo = [database, printing](DrillTarget t) {
        return RowLink{t.description, [t = std::move(t), database, printing](QString &message) {
                           HeadlessReport built(*t.detail, t.criteria, *database, printing);
                           if (built.build() == HeadlessReport::Outcome::Built)
                               return built.takeReport();
                           message = built.message().text;
                           return std::unique_ptr<Report>();
                       }};
    };
    const auto linkAt = [=](int tableRow, const QString &column) -> std::optional<RowLink> {
        std::optional<DrillTarget> t = target(*from, criteria, *rows, tableRow, column);
        if (!t)
            return std::nullopt;
        return linkTo(std::move(*t));
    };
    if (summary.linksCells())
        report.setCellLinks(linkAt);
    else
        report.setRowLinks([linkAt](int tableRow) { return linkAt(tableRow, QString()); });
}

} // namespace DrillDown
