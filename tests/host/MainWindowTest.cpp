#include "host/MainWindow.h"
#include "DemoFixture.h"
#include "ModalWatcher.h"
#include "catalogue/Reports.h"
#include "criteria/ReportWindow.h"
#include "db/Connection.h"
#include "criteria/ReportCatalog.h"
#include "db/Failure.h"
#include "host/AccessKeys.h"
#include "host/DemoDatabase.h"
#include "host/OdbcConnectionDialog.h"
#include "presentation/widgets/ShowError.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(MainWindow, OffersTheElevenReportsInTheirGroups)
{
    Reports reports;
    MainWindow window(reports);
    window.useConnection(Connection::openSqlite(DemoFixture::path()));
    EXPECT_TRUE(window.windowTitle().startsWith(DemoDatabase::companyName()));

    QStringList sections, launches, texts;
    for (QAction *action : window.reportsMenu()->actions()) {
        if (action->isSeparator()) {
            sections.append(action->text());
        } else {
            launches.append(action->objectName());
            texts.append(action->text().remove(u'&'));
        }
    }
    // Each item is its window's caption.
    QStringList captions;
    for (const QString &launch : launches) {
        for (const ReportEntry &entry : ReportCatalog::entries())
            if (entry.launchOperation == launch)
                captions.append(entry.caption);
    }
    EXPECT_EQ(texts, captions);
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

namespace {

// The access keys of a menu's items, in order (a null QChar for an item without one).
QList<QChar> accessKeysOf(const QMenu *menu)
{
    QList<QChar> keys;
    for (QAction *action : menu->actions()) {
        if (!action->isSeparator())
            keys.append(AccessKeys::of(action->text()));
    }
    return keys;
}

} // namespace

TEST(MainWindow, EveryMenuItemHasAnAccessKeyOfItsOwn)
{
    Reports reports;
    MainWindow window(reports);
    window.addLookupsMenu();
    QStringList menus;
    for (QMenu *menu : window.menuBar()->findChildren<QMenu *>()) {
        menus.append(menu->objectName());
        const QList<QChar> keys = accessKeysOf(menu);
        EXPECT_FALSE(keys.contains(QChar())) << menu->objectName().toStdString();
        EXPECT_EQ(QSet<QChar>(keys.begin(), keys.end()).size(), keys.size())
            << menu->objectName().toStdString();
    }
    EXPECT_TRUE(menus.contains(u"FileMenu"_s));
    EXPECT_TRUE(menus.contains(u"ReportsMenu"_s));
    // The lookups have a menu of their own, named by their dialogs' captions.
    ASSERT_TRUE(menus.contains(u"LookupsMenu"_s));
    auto *lookups = window.menuBar()->findChild<QMenu *>(u"LookupsMenu"_s);
    EXPECT_EQ(lookups->parent(), window.menuBar());
    QStringList lookupTexts;
    for (QAction *a : lookups->actions())
        lookupTexts.append(a->text().remove(u'&'));
    EXPECT_EQ(lookupTexts, (QStringList{u"Search Customers"_s, u"Search Town"_s,
                                        u"Search Products"_s, u"Search Sectors"_s,
                                        u"Search Company"_s}));
    QSet<QChar> bar;
    for (QAction *a : window.menuBar()->actions())
        bar.insert(AccessKeys::of(a->text()));
    EXPECT_EQ(bar.size(), window.menuBar()->actions().size());

    // Words' initials first, other letters when those are taken, ampersands kept.
    EXPECT_EQ(AccessKeys::assign({u"Sales Register"_s, u"Sales Summary"_s, u"Stock"_s,
                                  u"S&P"_s}),
              (QStringList{u"&Sales Register"_s, u"S&ales Summary"_s, u"S&tock"_s,
                           u"S&&&P"_s}));
    EXPECT_EQ(AccessKeys::of(u"Fish && &Chips"_s), u'c');
}

TEST(MainWindow, QuitAsksFirstWhileReportWindowsAreOpen)
{
    Reports reports;
    MainWindow window(reports);
    window.useConnection(Connection::openSqlite(DemoFixture::path()));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.quitAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    // Nothing else open: Quit quits at once.
    ModalWatcher watcher;
    window.quitAction()->trigger();
    EXPECT_EQ(watcher.count(), 0);
    EXPECT_FALSE(window.isVisible());

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    reports.launch(ReportKind::SalesRegister);
    QWidget *report = reports.window(ReportKind::SalesRegister);
    ASSERT_TRUE(report->isVisible());
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    // No: everything stays open.
    watcher.then([](QWidget *box) {
        static_cast<QMessageBox *>(box)->button(QMessageBox::No)->click();
    });
    QTest::keyClick(window.windowHandle(), Qt::Key_Q, Qt::ControlModifier);
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().icon, QMessageBox::Question);
    EXPECT_TRUE(watcher.last().text.contains(u"Sales Register"_s));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(report->isVisible());

    // Yes: the report window closes with the main window.
    watcher.then([](QWidget *box) {
        static_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click();
    });
    window.quitAction()->trigger();
    EXPECT_EQ(watcher.count(), 2);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(report->isVisible());
}

TEST(MainWindow, TheOdbcDialogMasksThePasswordAndBracesValues)
{
    OdbcConnectionDialog dialog;
    EXPECT_EQ(dialog.passwordBox()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.connectionString(), QString());
    dialog.sourceBox()->setText(u" Sales "_s);
    EXPECT_EQ(dialog.connectionString(), u"DSN=Sales"_s);
    dialog.userBox()->setText(u"reports"_s);
    dialog.passwordBox()->setText(u"p;w}d"_s);
    EXPECT_EQ(dialog.connectionString(), u"DSN=Sales;UID=reports;PWD={p;w}}d}"_s);
    dialog.sourceBox()->setText(u"Driver={SQLite3};Database=/data/sales.db;"_s);
    dialog.passwordBox()->clear();
    EXPECT_EQ(dialog.connectionString(), u"Driver={SQLite3};Database=/data/sales.db;UID=reports"_s);
}

TEST(MainWindow, MessageBoxesAreWideEnoughForTheirTitle)
{
    const QString title = u"NVRptSales.A.Rather.Long.Source.Of.Failure.Name"_s;
    int width = 0;
    ModalWatcher watcher([&](QWidget *box) {
        width = box->width();
        ModalWatcher::close(box);
    });
    ShowError(Failure(u"Gone."_s, title));
    ASSERT_EQ(watcher.count(), 1);
    QFont bold = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    bold.setBold(true);
    EXPECT_GT(width, QFontMetrics(bold).horizontalAdvance(title) + 60);
}
