#include "reports/DrillDown.h"
#include "DemoFixture.h"
#include "reports/ReportCatalog.h"
#include "reports/HeadlessReport.h"
#include "db/Connection.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class DrillDownTest : public ::testing::Test
{
protected:
    void SetUp() override { connection = Connection::openSqlite(DemoFixture::path()); }

    ReportCriteria period() const
    {
        return {DemoFixture::endDate().addMonths(-3), DemoFixture::endDate(), {}, {}};
    }

    // The summary built as its window builds it; its rows and report stay alive in `summary`.
    HeadlessReport &build(ReportKind kind, ReportCriteria criteria)
    {
        const ReportDefinition *definition = ReportCatalog::definition(ReportCatalog::entry(kind));
        EXPECT_NE(definition, nullptr);
        summary = std::make_unique<HeadlessReport>(*definition, std::move(criteria), *connection);
        EXPECT_EQ(summary->build(), HeadlessReport::Outcome::Built);
        return *summary;
    }

    // Rows to try: the first and the last.
    static std::vector<int> sample(const ResultTable &rows) { return {0, rows.rowCount() - 1}; }

    // The sum of a column over a report's bound rows.
    static double total(const Report &detail, QStringView column)
    {
        const ResultTable &rows = *detail.rows();
        const int c = rows.columnIndex(column);
        EXPECT_GE(c, 0) << column.toString().toStdString();
        double sum = 0;
        for (int r = 0; r < rows.rowCount(); ++r)
            sum += rows.number(c, r);
        return sum;
    }

    // Opens the link of a row of the summary's report as the preview window does.
    std::unique_ptr<Report> open(int row)
    {
        std::optional<RowLink> link = summary->report()->rowLink(row);
        EXPECT_TRUE(link.has_value()) << row;
        if (!link)
            return nullptr;
        QString message;
        std::unique_ptr<Report> detail = link->open(message);
        EXPECT_NE(detail, nullptr) << message.toStdString();
        return detail;
    }

    std::unique_ptr<Connection> connection;
    std::unique_ptr<HeadlessReport> summary;
};

} // namespace

// An invoice of the sales summary opens the sales register of that invoice alone, whose
// gross value, discount and tax add up to the summary's; a return of the returns summary
// opens the return register of that return, whose four figures add up to the summary's.
TEST_F(DrillDownTest, InvoicesAndReturnsOpenTheirLinesWithTheSameFigures)
{
    build(ReportKind::SalesSummary, period());
    const ResultTable &invoices = *summary->rows().rows();
    for (int row : sample(invoices)) {
        const std::unique_ptr<Report> lines = open(row);
        ASSERT_NE(lines, nullptr);
        const QString invoice = invoices.text(invoices.columnIndex(u"saleid"), row);
        EXPECT_EQ(lines->layout().name, ReportCatalog::entry(ReportKind::SalesRegister).layout);
        EXPECT_TRUE(lines->criteriaLine().startsWith(summary->report()->criteriaLine()));
        for (QStringView figure : {u"Grossvalue", u"Totaldisc", u"Salestax"})
            EXPECT_NEAR(total(*lines, figure), invoices.number(invoices.columnIndex(figure), row),
                        0.005)
                << figure.toString().toStdString() << " of invoice " << invoice.toStdString();
    }

    build(ReportKind::SaleReturnsSummary, period());
    const ResultTable &returns = *summary->rows().rows();
    for (int row : sample(returns)) {
        const std::unique_ptr<Report> lines = open(row);
        ASSERT_NE(lines, nullptr);
        const QString number = returns.text(returns.columnIndex(u"salereturnid"), row);
        for (QStringView figure : {u"Grossvalue", u"Totaldisc", u"Salestax", u"NetValue"})
            EXPECT_NEAR(total(*lines, figure), returns.number(returns.columnIndex(figure), row),
                        0.005)
                << figure.toString().toStdString() << " of return " << number.toStdString();
    }
}

// Where the summary and its detail define their figures differently, the link still leads
// to the right report with the row's key and the summary's period, and says so.
TEST_F(DrillDownTest, AnalysesLeadToTheReportOfTheirRowsKey)
{
    struct Case
    {
        ReportKind summary;
        ReportCriteria criteria;
        QString keyColumn;
        ReportKind detail;
        QString detailKey;
    };
    ReportCriteria withCompany = period();
    build(ReportKind::CompanyWiseSale, period());
    const QString company =
        summary->rows().rows()->text(summary->rows().rows()->columnIndex(u"CompanyID"), 0);
    withCompany.texts.insert(u"company"_s, company);

    const std::vector<Case> cases{
        {ReportKind::CompanyWiseSale, period(), u"CompanyID"_s, ReportKind::ProductWiseSales,
         u"company"_s},
        {ReportKind::CompanySectorWiseSale, withCompany, u"ProductId"_s,
         ReportKind::ProductSalesLedger, u"product"_s},
        {ReportKind::ProductWiseSales, period(), u"ProductID"_s, ReportKind::ProductSalesLedger,
         u"product"_s},
        {ReportKind::CustomerTownSectorWiseSales, period(), u"customerid"_s,
         ReportKind::SalesRegister, u"customer"_s},
        {ReportKind::SalesStockStatement, period(), u"productid"_s, ReportKind::ProductSalesLedger,
         u"product"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(ReportCatalog::entry(c.summary).commandName.toStdString());
        build(c.summary, c.criteria);
        const ResultTable &rows = *summary->rows().rows();
        for (int row : sample(rows)) {
            const std::optional<DrillTarget> t =
                DrillDown::target(c.summary, c.criteria, rows, row);
            ASSERT_TRUE(t.has_value()) << row;
            EXPECT_EQ(t->detail, c.detail);
            EXPECT_EQ(t->criteria.from, c.criteria.from);
            EXPECT_EQ(t->criteria.to, c.criteria.to);
            EXPECT_EQ(t->criteria.text(c.detailKey),
                      rows.text(rows.columnIndex(c.keyColumn), row).trimmed());
            EXPECT_TRUE(t->description.contains(u"differ"_s)) << t->description.toStdString();
            // The detail builds as its window would build it: never refused.
            HeadlessReport detail(*ReportCatalog::definition(ReportCatalog::entry(c.detail)),
                                  t->criteria, *connection);
            EXPECT_NE(detail.build(), HeadlessReport::Outcome::Refused)
                << detail.message().text.toStdString();
        }
    }
    // Reports that are themselves the lines lead nowhere.
    build(ReportKind::SalesRegister, period());
    EXPECT_FALSE(summary->report()->rowLink(0).has_value());
}
