#include "catalogue/Reports.h"
#include "DemoFixture.h"
#include "criteria/CriteriaWindow.h"
#include "criteria/ReportContext.h"
#include "criteria/ReportWindow.h"
#include "db/Connection.h"
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

TEST(Reports, EachLaunchKeepsOneWindowPerReportAndReloadsAfterClose)
{
    Reports reports;
    const auto connection = Connection::openSqlite(DemoFixture::path());
    reports.InitializeClass(*connection);

    using Launch = void (Reports::*)();
    const std::pair<Launch, ReportKind> launches[] = {
        {&Reports::SalesStockStatement, ReportKind::SalesStockStatement},
        {&Reports::SalesRegister, ReportKind::SalesRegister},
        {&Reports::SalesSummary, ReportKind::SalesSummary},
        {&Reports::ProductSalesLedger, ReportKind::ProductSalesLedger},
        {&Reports::ProductWiseSales, ReportKind::ProductWiseSales},
        {&Reports::CompanySectorWiseSale, ReportKind::CompanySectorWiseSale},
        {&Reports::CompanyWiseSale, ReportKind::CompanyWiseSale},
        {&Reports::CustomerTownSectorWiseSales, ReportKind::CustomerTownSectorWiseSales},
        {&Reports::ProductSaleReturnLedger, ReportKind::ProductSaleReturnLedger},
        {&Reports::SaleReturnsSummary, ReportKind::SaleReturnsSummary},
        {&Reports::SaleReturnRegister, ReportKind::SaleReturnRegister}};
    for (const auto &[launch, kind] : launches) {
        const ReportEntry &entry = ReportCatalog::entry(kind);
        SCOPED_TRACE(entry.launchOperation.toStdString());
        EXPECT_EQ(reports.window(kind), nullptr);
        (reports.*launch)();
        ReportWindow *window = reports.window(kind);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowTitle(), entry.caption);
        EXPECT_EQ(window->minimumSize(), window->maximumSize()); // fixed size
        const QPoint offset = window->geometry().center() -
                              QGuiApplication::primaryScreen()->availableGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 4);
        // Launched again, open or closed, the one window shows, loaded afresh after a close.
        (reports.*launch)();
        EXPECT_EQ(reports.window(kind), window);
        window->close();
        EXPECT_FALSE(window->isLoaded());
        (reports.*launch)();
        EXPECT_EQ(reports.window(kind), window);
        EXPECT_TRUE(window->isVisible() && window->isLoaded());
    }
}

TEST(Reports, EveryLaterQueryUsesTheConnectionHandedOverLast)
{
    const auto first = Connection::openSqlite(DemoFixture::path());
    const auto second = Connection::openSqlite(secondCompany());

    Reports reports;
    reports.SalesRegister(); // a window opened before any connection works, and keeps working
    reports.InitializeClass(*first, PeriodDefaults::of(*first));
    EXPECT_EQ(reports.context().periodStart(), QDate(2025, 7, 1));
    reports.InitializeClass(*second, PeriodDefaults::of(*second));
    EXPECT_EQ(reports.context().periodStart(), QDate(2024, 7, 1));
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
    auto *window = qobject_cast<CriteriaWindow *>(reports.window(ReportKind::SalesSummary));
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
