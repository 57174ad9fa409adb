#include "catalogue/Reports.h"
#include "DemoFixture.h"
#include "criteria/CriteriaWindow.h"
#include "criteria/ReportContext.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "host/DemoDatabase.h"
#include "host/PeriodDefaults.h"
#include "presentation/Report.h"
#include "preview/PreviewSlot.h"
#include "preview/RptReportViewer.h"

#include <QDateEdit>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>
#include <set>

using namespace Qt::StringLiterals;

namespace {

// Another company's books: a small year that ended on 31 March 2025.
QString secondCompany()
{
    const QString other = DemoFixture::temporaryFolder() + u"/second-company.sqlite"_s;
    if (!QFile::exists(other)) {
        DemoDatabase::Options options;
        options.saleLines = 200;
        options.customers = 20;
        options.endDate = QDate(2025, 3, 31); // its financial year began on 1 July 2024
        DemoDatabase::create(other, options);
    }
    return other;
}

} // namespace

// Every report of the catalogue: one window, kept, shown fixed and centred, loaded afresh after
// a close.
TEST(Reports, EachReportKeepsOneWindowAndReloadsAfterClose)
{
    Reports reports;
    const auto connection = Connection::openSqlite(DemoFixture::path());
    reports.InitializeClass(*connection);
    for (const ReportEntry &row : ReportCatalog::entries()) {
        SCOPED_TRACE(row.commandName.toStdString());
        EXPECT_EQ(reports.window(row), nullptr);
        reports.launch(row);
        CriteriaWindow *window = reports.window(row);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->objectName(), row.window);
        EXPECT_EQ(window->windowTitle(), row.caption);
        EXPECT_EQ(&window->definition(), &row.definition());
        EXPECT_EQ(window->minimumSize(), window->maximumSize()); // fixed size
        const QPoint offset = window->geometry().center() -
                              QGuiApplication::primaryScreen()->availableGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 4);
        // Launched again, open or closed, the one window shows, loaded afresh after a close.
        reports.launch(row);
        EXPECT_EQ(reports.window(row), window);
        window->close();
        EXPECT_FALSE(window->isLoaded());
        reports.launch(row);
        EXPECT_EQ(reports.window(row), window);
        EXPECT_TRUE(window->isVisible() && window->isLoaded());
        window->close();
    }
}

// The host's eleven named operations, each opening the window of the report of its name.
TEST(Reports, EachNamedLaunchOpensItsOwnReport)
{
    using Launch = void (Reports::*)();
    const std::pair<Launch, QString> launches[] = {
        {&Reports::SalesStockStatement, u"RptSalesStockStatement"_s},
        {&Reports::SalesRegister, u"RptSalesRegister"_s},
        {&Reports::SalesSummary, u"RptSalesSummary"_s},
        {&Reports::ProductSalesLedger, u"RptProductSalesLedger"_s},
        {&Reports::ProductWiseSales, u"RptProductWiseSales"_s},
        {&Reports::CompanySectorWiseSale, u"RptCompanySectorWiseSale"_s},
        {&Reports::CompanyWiseSale, u"RptCompanyWiseSale"_s},
        {&Reports::CustomerTownSectorWiseSales, u"RptCustomerTownSectorWiseSales"_s},
        {&Reports::ProductSaleReturnLedger, u"RptProductSaleReturnLedger"_s},
        {&Reports::SaleReturnsSummary, u"RptSaleReturnsSummary"_s},
        {&Reports::SaleReturnRegister, u"RptSaleReturnRegister"_s}};
    Reports reports;
    const auto connection = Connection::openSqlite(DemoFixture::path());
    reports.InitializeClass(*connection);
    const auto created = [&reports] {
        std::set<const QWidget *> windows;
        for (const ReportEntry &row : ReportCatalog::entries())
            if (const QWidget *w = reports.window(row))
                windows.insert(w);
        return windows;
    };
    for (const auto &[launch, windowName] : launches) {
        SCOPED_TRACE(windowName.toStdString());
        const std::set<const QWidget *> before = created();
        (reports.*launch)();
        std::set<const QWidget *> opened = created();
        for (const QWidget *w : before)
            opened.erase(w);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ((*opened.begin())->objectName(), windowName);
        EXPECT_TRUE((*opened.begin())->isVisible());
    }
}

TEST(Reports, EveryLaterQueryUsesTheConnectionHandedOverLast)
{
    const auto first = Connection::openSqlite(DemoFixture::path());
    const auto second = Connection::openSqlite(secondCompany());

    Reports reports;
    reports.SalesRegister(); // a window opened before any connection works, and keeps working
    CriteriaWindow *window = reports.window(*ReportCatalog::byLaunchOperation(u"SalesRegister"_s));
    ASSERT_NE(window, nullptr);
    window->fromDate()->setDate(QDate(2000, 1, 1));
    window->toDate()->setDate(DemoFixture::endDate());
    // The register's lines of each database: the two differ, so a count tells them apart.
    const auto linesIn = [&](const Connection &db) {
        Recordset rows;
        rows.open(window->definition().query(window->criteria(), db.dialect()), db);
        return rows.recordCount();
    };
    ASSERT_NE(linesIn(*first), linesIn(*second));

    const std::pair<Connection *, QDate> handovers[] = {{first.get(), QDate(2025, 7, 1)},
                                                        {second.get(), QDate(2024, 7, 1)},
                                                        {first.get(), QDate(2025, 7, 1)}};
    for (const auto &[db, periodStart] : handovers) {
        reports.InitializeClass(*db, PeriodDefaults::of(*db));
        EXPECT_EQ(reports.context().periodStart(), periodStart);
        ASSERT_TRUE(window->BuildReport());
        EXPECT_EQ(window->resultSet().recordCount(), linesIn(*db));
    }
    // A host that says nothing of its period gets the calendar year.
    reports.InitializeClass(*second);
    EXPECT_EQ(reports.context().periodStart(), QDate(QDate::currentDate().year(), 1, 1));
}

// A preview left open while the host switches to another company's books drills into the books
// its report was read from, though the host has let that connection go; the connection closes
// with the last report that reads it.
TEST(Reports, APreviewLeftOpenDrillsIntoItsOwnBooksAfterTheHostSwitches)
{
    std::shared_ptr<Connection> first = Connection::openSqlite(DemoFixture::path());
    const std::weak_ptr<Connection> firstBooks = first;
    Reports reports;
    reports.InitializeClass(*first);
    reports.SalesSummary();
    CriteriaWindow *window = reports.window(*ReportCatalog::byLaunchOperation(u"SalesSummary"_s));
    ASSERT_NE(window, nullptr);
    window->fromDate()->setDate(DemoFixture::endDate().addDays(-6));
    window->toDate()->setDate(DemoFixture::endDate());
    window->previewButton()->click();
    RptReportViewer *viewer = reports.preview().current();
    ASSERT_NE(viewer, nullptr);
    const ResultTable &invoices = *viewer->ReportName()->rows();
    const QString invoice = invoices.text(invoices.columnIndex(u"saleid"), 0);
    const double lines =
        first->execute(u"select count(*) from SalesBody where SaleId="_s + invoice)->number(0, 0);

    // The host opens the second company (whose books end a year before this period) and closes
    // the first, as its main window does.
    const auto second = Connection::openSqlite(secondCompany());
    reports.InitializeClass(*second);
    first.reset();
    EXPECT_FALSE(firstBooks.expired());

    std::optional<RowLink> link = viewer->ReportName()->rowLink(0);
    ASSERT_TRUE(link.has_value());
    QString message;
    std::unique_ptr<Report> detail = link->open(message);
    ASSERT_NE(detail, nullptr) << message.toStdString();
    EXPECT_EQ(detail->rows()->rowCount(), lines);

    detail.reset();
    link.reset();
    delete viewer;
    EXPECT_TRUE(firstBooks.expired());
}
