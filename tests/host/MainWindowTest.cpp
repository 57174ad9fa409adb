#include "host/MainWindow.h"
#include "DemoFixture.h"
#include "ModalWatcher.h"
#include "catalogue/Reports.h"
#include "reports/ReportCatalog.h"
#include "criteria/ReportWindow.h"
#include "db/Connection.h"
#include "host/AccessKeys.h"
#include "host/DemoDatabase.h"
#include "host/OdbcConnectionDialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Each report under its group, named by its window's caption, opening its window.
TEST(MainWindow, OffersTheElevenReportsInTheirGroups)
{
    Reports reports;
    MainWindow window(reports);
    window.useConnection(Connection::openSqlite(DemoFixture::path()));
    EXPECT_TRUE(window.windowTitle().startsWith(DemoDatabase::companyName()));
    QStringList sections, launches;
    for (QAction *action : window.reportsMenu()->actions()) {
        if (action->isSeparator()) {
            sections.append(action->text());
            continue;
        }
        launches.append(action->objectName());
        QString caption;
        for (const ReportEntry &entry : ReportCatalog::entries())
            if (entry.launchOperation == action->objectName())
                caption = entry.caption;
        EXPECT_EQ(action->text().remove(u'&'), caption);
    }
    EXPECT_EQ(sections, (QStringList{u"Invoice listings"_s, u"Sales analyses"_s,
                                     u"Product ledgers"_s, u"Stock"_s}));
    EXPECT_EQ(launches.size(), 11);
    EXPECT_EQ(launches.front(), u"SalesRegister"_s);
    EXPECT_EQ(launches.back(), u"SalesStockStatement"_s);
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

// Words' initials first, other letters when those are taken, ampersands kept; no two items
// of a menu, nor two menus, share a key.
TEST(MainWindow, EveryMenuItemHasAnAccessKeyOfItsOwn)
{
    Reports reports;
    MainWindow window(reports);
    window.addLookupsMenu();
    ASSERT_NE(window.menuBar()->findChild<QMenu *>(u"LookupsMenu"_s), nullptr);
    for (QMenu *menu : window.menuBar()->findChildren<QMenu *>()) {
        QSet<QChar> keys;
        qsizetype items = 0;
        for (QAction *action : menu->actions()) {
            if (!action->isSeparator()) {
                ++items;
                keys.insert(AccessKeys::of(action->text()));
            }
        }
        EXPECT_FALSE(keys.contains(QChar())) << menu->objectName().toStdString();
        EXPECT_EQ(keys.size(), items) << menu->objectName().toStdString();
    }
    QSet<QChar> bar;
    for (QAction *a : window.menuBar()->actions())
        bar.insert(AccessKeys::of(a->text()));
    EXPECT_EQ(bar.size(), window.menuBar()->actions().size());
    EXPECT_EQ(AccessKeys::assign({u"Sales Register"_s, u"Sales Summary"_s, u"Stock"_s, u"S&P"_s}),
              (QStringList{u"&Sales Register"_s, u"S&ales Summary"_s, u"S&tock"_s, u"S&&&P"_s}));
    EXPECT_EQ(AccessKeys::of(u"Fish && &Chips"_s), u'c');
}

TEST(MainWindow, QuitAsksFirstWhileReportWindowsAreOpen)
{
    Reports reports;
    MainWindow window(reports);
    window.useConnection(Connection::openSqlite(DemoFixture::path()));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

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

    // Asked first: No keeps everything open, Yes closes the report window with the main one.
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        watcher.then(
            [answer](QWidget *box) { static_cast<QMessageBox *>(box)->button(answer)->click(); });
        if (answer == QMessageBox::No)
            QTest::keyClick(window.windowHandle(), Qt::Key_Q, Qt::ControlModifier);
        else
            window.quitAction()->trigger();
        ASSERT_EQ(watcher.count(), answer == QMessageBox::No ? 1 : 2);
        EXPECT_EQ(watcher.last().icon, QMessageBox::Question);
        EXPECT_TRUE(watcher.last().text.contains(u"Sales Register"_s));
        EXPECT_EQ(window.isVisible(), answer == QMessageBox::No);
        EXPECT_EQ(report->isVisible(), answer == QMessageBox::No);
    }
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
