#include "reports/DrillDown.h"
#include "DemoFixture.h"
#include "db/Connection.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"
#include "reports/HeadlessReport.h"
#include "reports/ReportCatalog.h"
#include "ReportRow.h"
#include "reports/StandardFields.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A line's net value worked out from its columns, and the two totals stored on it.
const QString computedNet =
    u"b.Qty*(b.Price-(b.Price*b.Discratio/100+b.Discvalue)+(b.Price*b.stratio/100+b.stvalue))"_s;
const QString storedNet = u"(b.TTLValue+b.TTLSalestax)"_s;
const QString inPeriod = u" s.SaleDate between '{from}' and '{to}' "_s;
const QString returnedInPeriod = u" r.SaleReturnDate between '{from}' and '{to}' "_s;

// Sale lines with their sale and customer (p), and return lines (b) with their return (r).
QString saleLines(const QString &sum, const QString &where)
{
    return u"(select ISNULL(sum("_s + sum +
           u"),0) from Sales s join SalesBody b on b.SaleId=s.SaleId "
           u"join Parties p on p.PartyId=s.CustomerId where "_s +
           where + u")"_s;
}
QString returnLines(const QString &sum, const QString &where)
{
    return u"(select ISNULL(sum("_s + sum +
           u"),0) from SaleReturns r join SaleReturnsBody b on b.SaleReturnID=r.SaleReturnID "
           u"join Parties p on p.PartyId=r.CustomerId where "_s +
           where + u")"_s;
}
// A sale counted by product-wise sales: billed in the sector its customer, an account, lives in.
const QString inOwnSector = u" s.SectorId=p.SectorId and s.CustomerId in "
                            u"(select AccountNo from ChartOfAccounts) "_s;

// One figure of a summary row against the detail it opens: the detail's column total less the
// row's figure is the documented difference, worked out from the line tables (none: equal).
struct Figure
{
    QString row;
    QStringList detail; // added up
    QString difference; // SQL, with {from}, {to} and the row's and summary's criteria
};

struct Case
{
    QString summary;
    QHash<QString, QString> filters; // the summary's boxes besides the period
    QString detail;
    QHash<QString, QString> rowKeys; // criterion key: the row's column holding it
    QStringList notApplied;          // named in the tooltip rather than carried
    std::vector<Figure> figures;
};

class DrillDownTest : public ::testing::Test
{
protected:
    void SetUp() override { connection = Connection::openSqlite(DemoFixture::path()); }

    static QDate from() { return DemoFixture::endDate().addMonths(-3); }
    static QDate to() { return DemoFixture::endDate(); }

    QString scalar(const QString &sql) const
    {
        return connection->execute(u"select "_s + sql)->text(0, 0);
    }
    double number(const QString &sql) const
    {
        return connection->execute(u"select "_s + sql)->number(0, 0);
    }

    // The summary built as its window builds it; its rows and report stay alive in `summary`.
    HeadlessReport &build(const QString &name, ReportCriteria criteria)
    {
        summary = std::make_unique<HeadlessReport>(reportRow(name).definition(),
                                                   std::move(criteria), *connection);
        EXPECT_EQ(summary->build(), HeadlessReport::Outcome::Built);
        return *summary;
    }

    // Rows to try: the first, one in the middle and the last.
    static std::vector<int> sample(const ResultTable &rows)
    {
        return {0, rows.rowCount() / 2, rows.rowCount() - 1};
    }

    // The sum of columns over a report's bound rows; 0 without a report.
    static double total(const Report *detail, const QStringList &columns)
    {
        if (!detail)
            return 0;
        const ResultTable &rows = *detail->rows();
        double sum = 0;
        for (const QString &column : columns) {
            const int c = rows.columnIndex(column);
            EXPECT_GE(c, 0) << column.toStdString();
            for (int r = 0; r < rows.rowCount(); ++r)
                sum += rows.number(c, r);
        }
        return sum;
    }

    // Opens the link of a row of the summary's report as the preview window does; nothing
    // when the detail has no lines, which then add up to nothing.
    std::unique_ptr<Report> open(int row)
    {
        std::optional<RowLink> link = summary->report()->rowLink(row);
        EXPECT_TRUE(link.has_value()) << row;
        QString message;
        std::unique_ptr<Report> detail = link ? link->open(message) : nullptr;
        EXPECT_TRUE(detail || !message.isEmpty()); // an empty detail says so
        return detail;
    }

    std::shared_ptr<Connection> connection;
    std::unique_ptr<HeadlessReport> summary;
};

} // namespace

// Every row of the seven summaries leads to the lines behind it, with every criterion of the
// summary the detail has a box for, and its figures add up to the row's, or differ by exactly
// what the tooltip says the two reports count differently.
TEST_F(DrillDownTest, DetailsAddUpToTheirRows)
{
    // Filters that leave enough rows: the busiest customer, sector and town of the period, and
    // the first company.
    const auto busiest = [&](const QString &column) {
        return scalar(column +
                      u" from Sales s join Parties p on p.PartyId=s.CustomerId "
                      u"join Sectors sr on sr.SectorId=p.SectorId where s.SaleDate "
                      u"between '%1' and '%2' group by 1 order by count(*) desc "
                      u"limit 1"_s.arg(from().toString(Qt::ISODate), to().toString(Qt::ISODate)));
    };
    const QString customer = busiest(u"s.CustomerId"_s);
    const QString sector = busiest(u"p.SectorId"_s);
    const QString town = busiest(u"sr.TownId"_s);
    const QString company = scalar(u"LEFT(min(ProductId),2) from Products"_s);
    using namespace StandardFields;
    const QString ofProduct = u" and b.ProductId='{product}' "_s;
    const QString ofCompany = u" and LEFT(b.ProductId,2)='{company}' "_s;

    const std::vector<Case> cases{
        {u"sales-summary"_s,
         {{sectorKey, sector}},
         u"sales-register"_s,
         {{invoiceFromKey, u"saleid"_s}},
         {},
         {{u"Grossvalue"_s, {u"Grossvalue"_s}, {}},
          {u"Totaldisc"_s, {u"Totaldisc"_s}, {}},
          {u"Salestax"_s, {u"Salestax"_s}, {}},
          {u"NetValue"_s,
           {u"NetValue"_s},
           saleLines(computedNet + u'-' + storedNet, u" s.SaleId={invoice-from}"_s)}}},
        {u"sale-returns-summary"_s,
         {{townKey, town}},
         u"sale-return-register"_s,
         {{invoiceFromKey, u"salereturnid"_s}},
         {},
         {{u"Grossvalue"_s, {u"Grossvalue"_s}, {}},
          {u"Totaldisc"_s, {u"Totaldisc"_s}, {}},
          {u"Salestax"_s, {u"salestax"_s}, {}},
          {u"NetValue"_s, {u"NetValue"_s}, {}}}},
        // Sales billed outside the customer's own sector are left out there; the returns
        // there are those made against the period's sales, of any date.
        {u"company-wise-sale"_s,
         {{customerKey, customer}},
         u"product-wise-sales"_s,
         {{companyKey, u"CompanyID"_s}},
         {},
         {{u"SaleValue"_s,
           {u"GrossSaleValue"_s},
           u"-"_s + saleLines(storedNet, inPeriod + ofCompany +
                                             u" and s.CustomerId='{customer}' "
                                             u"and not ("_s +
                                             inOwnSector + u')')},
          {u"ReturnValue"_s,
           {u"ReturnTTLValue"_s},
           returnLines(storedNet,
                       u" LEFT(b.ProductId,2)='{company}' and exists(select 1 from Sales s "
                       u"join SalesBody sb on sb.SaleId=s.SaleId where s.SaleId=r.SaleId and "
                       u"sb.ProductId=b.ProductId and s.CustomerId='{customer}' and "_s +
                           inPeriod +
                           u" and s.SectorId=(select SectorId from Parties where "
                           u"PartyId=s.CustomerId) and s.CustomerId in (select "
                           u"AccountNo from ChartOfAccounts))"_s) +
               u'-' +
               returnLines(storedNet,
                           returnedInPeriod + ofCompany + u" and r.CustomerId='{customer}'"_s)}}},
        // The ledger has every sector's sales and no returns.
        {u"company-sector-wise-sale"_s,
         {{companyKey, company}, {sectorKey, sector}},
         u"product-sales-ledger"_s,
         {{productKey, u"ProductId"_s}},
         {sectorKey},
         {{u"NetQty"_s,
           {u"qty"_s, u"bonus"_s},
           saleLines(u"b.Qty+b.Bonus"_s, inPeriod + ofProduct + u" and p.SectorId<>{sector}"_s) +
               u'+' +
               returnLines(u"b.Qty+b.Bonus"_s,
                           returnedInPeriod + ofProduct + u" and p.SectorId={sector}"_s)},
          {u"NetValue"_s,
           {u"NetValue"_s},
           saleLines(computedNet, inPeriod + ofProduct) + u'-' +
               saleLines(storedNet, inPeriod + ofProduct + u" and p.SectorId={sector}"_s) + u'+' +
               returnLines(storedNet,
                           returnedInPeriod + ofProduct + u" and p.SectorId={sector}"_s)}}},
        // The ledger has the sales of every sector, however billed.
        {u"product-wise-sales"_s,
         {{companyKey, company}, {townKey, town}},
         u"product-sales-ledger"_s,
         {{productKey, u"ProductID"_s}, {sectorKey, u"SectorID"_s}},
         {sectorKey, townKey},
         {{u"SaleQty"_s,
           {u"qty"_s},
           saleLines(u"b.Qty"_s, inPeriod + ofProduct + u" and not ("_s + inOwnSector +
                                     u" and s.SectorId={sector})"_s)},
          {u"SaleBns"_s,
           {u"bonus"_s},
           saleLines(u"b.Bonus"_s, inPeriod + ofProduct + u" and not ("_s + inOwnSector +
                                       u" and s.SectorId={sector})"_s)},
          {u"GrossSaleValue"_s,
           {u"NetValue"_s},
           saleLines(computedNet, inPeriod + ofProduct) + u'-' +
               saleLines(storedNet, inPeriod + ofProduct + u" and "_s + inOwnSector +
                                        u" and s.SectorId={sector}"_s)}}},
        {u"sales-stock-statement"_s,
         {{companyKey, company}},
         u"product-sales-ledger"_s,
         {{productKey, u"productid"_s}},
         {},
         {{u"SaleQty"_s, {u"qty"_s}, {}}, {u"SaleBon"_s, {u"bonus"_s}, {}}}},
        // The register has no company box: it lists the customer's other companies' lines too.
        {u"customer-town-sector-wise-sales"_s,
         {{companyKey, company}},
         u"sales-register"_s,
         {{customerKey, u"customerid"_s}, {sectorKey, u"sectorid"_s}, {townKey, u"townid"_s}},
         {companyKey},
         {{u"SalesValue"_s,
           {u"NetValue"_s},
           saleLines(computedNet, inPeriod + u" and s.CustomerId='{customer}' and "
                                             u"s.SectorId={sector} and "
                                             u"LEFT(b.ProductId,2)<>'{company}'"_s)}}},
        {u"customer-town-sector-wise-sales"_s,
         {{townKey, town}},
         u"sales-register"_s,
         {{customerKey, u"customerid"_s}, {sectorKey, u"sectorid"_s}, {townKey, u"townid"_s}},
         {},
         {{u"SalesValue"_s, {u"NetValue"_s}, {}}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.summary.toStdString());
        ReportCriteria criteria{from(), to(), c.filters, {}};
        build(c.summary, criteria);
        const ResultTable &rows = *summary->rows().rows();
        for (int row : sample(rows)) {
            SCOPED_TRACE(row);
            QHash<QString, QString> values = c.filters;
            values.insert(u"from"_s, from().toString(Qt::ISODate));
            values.insert(u"to"_s, to().toString(Qt::ISODate));
            for (auto k = c.rowKeys.begin(); k != c.rowKeys.end(); ++k)
                values.insert(k.key(), rows.text(rows.columnIndex(k.value()), row).trimmed());

            const std::optional<DrillTarget> t = DrillDown::target(reportRow(c.summary).definition(), criteria, rows, row);
            ASSERT_TRUE(t.has_value());
            EXPECT_EQ(t->detail, &reportRow(c.detail).definition());
            // Each filter is carried, or named as not applied, or held by the row's product.
            const QStringList notApplied =
                t->description.section(u"Not applied there: "_s, 1).split(u", "_s);
            for (auto f = c.filters.begin(); f != c.filters.end(); ++f) {
                const bool named =
                    std::any_of(notApplied.begin(), notApplied.end(), [&](const QString &item) {
                        return item.endsWith(u' ' + f.value());
                    });
                EXPECT_EQ(named, c.notApplied.contains(f.key())) << t->description.toStdString();
                if (!named && !(f.key() == companyKey && c.rowKeys.contains(productKey))) {
                    EXPECT_EQ(t->criteria.text(f.key()), f.value()) << f.key().toStdString();
                }
            }

            const std::unique_ptr<Report> detail = open(row);
            for (const Figure &figure : c.figures) {
                QString sql = figure.difference.isEmpty() ? u"0"_s : figure.difference;
                for (auto v = values.begin(); v != values.end(); ++v)
                    sql.replace(u'{' + v.key() + u'}', v.value());
                const double figureOfRow = rows.number(rows.columnIndex(figure.row), row);
                EXPECT_NEAR(total(detail.get(), figure.detail) - figureOfRow, number(sql), 0.005)
                    << figure.row.toStdString() << ": " << t->description.toStdString() << " "
                    << QStringList(t->criteria.texts.values()).join(u',').toStdString();
            }
        }
    }
    // Reports that are themselves the lines lead nowhere.
    build(u"sales-register"_s, {from(), to(), {}, {}});
    EXPECT_FALSE(summary->report()->rowLink(0).has_value());
}
