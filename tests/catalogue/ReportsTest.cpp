#include "catalogue/Reports.h"
#include "DemoFixture.h"
#include "criteria/ReportContext.h"
#include "criteria/ReportWindow.h"
#include "db/Connection.h"
#include "host/DemoDatabase.h"
#include "host/PeriodDefaults.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
    const QString other = DemoFixture::temporaryFolder() + u"/second-company.sqlite"_s;
    if (!QFile::exists(other)) {
        DemoDatabase::Options options;
        options.saleLines = 200;
        options.customers = 20;
        options.endDate = QDate(2025, 3, 31); // its financial year began on 1 July 2024
        DemoDatabase::create(other, options);
    }
    const auto first = Connection::openSqlite(DemoFixture::path());
    const auto second = Connection::openSqlite(other);

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
