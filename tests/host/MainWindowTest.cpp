#include "host/MainWindow.h"
#include "DemoFixture.h"
#include "ModalWatcher.h"
#include "catalogue/Reports.h"
#include "criteria/ReportWindow.h"
#include "db/Connection.h"
#include "host/DemoDatabase.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(MainWindow, OffersTheElevenReportsInTheirGroups)
{
    Reports reports;
    MainWindow window(reports);
    window.useConnection(Connection::openSqlite(DemoFixture::path()));
    EXPECT_TRUE(window.windowTitle().startsWith(DemoDatabase::companyName()));

    QStringList sections, launches;
    for (QAction *action : window.reportsMenu()->actions()) {
        if (action->isSeparator())
            sections.append(action->text());
        else
            launches.append(action->objectName());
    }
    EXPECT_EQ(sections, (QStringList{u"Invoice listings"_s, u"Sales analyses"_s,
                                     u"Product ledgers"_s, u"Stock"_s}));
    EXPECT_EQ(launches, (QStringList{u"SalesRegister"_s, u"SalesSummary"_s, u"SaleReturnRegister"_s,
                                     u"SaleReturnsSummary"_s, u"CompanyWiseSale"_s,
                                     u"CompanySectorWiseSale"_s, u"CustomerTownSectorWiseSales"_s,
                                     u"ProductWiseSales"_s, u"ProductSalesLedger"_s,
                                     u"ProductSaleReturnLedger"_s, u"SalesStockStatement"_s}));
    window.reportsMenu()->findChild<QAction *>(u"SalesSummary"_s)->trigger();
    ASSERT_NE(reports.window(ReportKind::SalesSummary), nullptr);
    EXPECT_TRUE(reports.window(ReportKind::SalesSummary)->isVisible());
}

TEST(MainWindow, OpensAnotherDatabaseOrSaysWhyNot)
{
    Reports reports;
    MainWindow window(reports);
    window.useConnection(Connection::openSqlite(DemoFixture::path()));
    const Connection *before = window.connection();

    ModalWatcher watcher;
    window.openDatabaseFile(DemoFixture::temporaryFolder() + u"/missing.sqlite"_s);
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().icon, QMessageBox::Critical);
    EXPECT_EQ(watcher.last().title, u"NVRptSales"_s);
    EXPECT_TRUE(watcher.last().text.contains(u"missing.sqlite"_s));
    EXPECT_EQ(window.connection(), before);

    const QString other = DemoFixture::temporaryFolder() + u"/renamed-company.sqlite"_s;
    DemoDatabase::Options options;
    options.saleLines = 100;
    options.customers = 10;
    DemoDatabase::create(other, options);
    DemoFixture::write(
        other,
        u"update Project_registry set Value = 'Riverbend Traders' where registrykey = 'companyname'"_s);
    window.openDatabaseFile(other);
    EXPECT_NE(window.connection(), before);
    EXPECT_TRUE(window.windowTitle().startsWith(u"Riverbend Traders"_s));
}
