#include "host/MainWindow.h"
#include "ReportRow.h"
#include "DemoFixture.h"
#include "ModalWatcher.h"
#include "catalogue/Reports.h"
#include "reports/ReportCatalog.h"
#include "criteria/CriteriaWindow.h"
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

// Each report under its group's section, whatever its place among the catalogue's rows, named
// by its window's caption, opening its window.
TEST(MainWindow, OffersEveryReportUnderItsGroup)
{
    Reports reports;
    MainWindow window(reports);
    window.useConnection(Connection::openSqlite(DemoFixture::path()));
    EXPECT_TRUE(window.windowTitle().startsWith(DemoDatabase::companyName()));
    std::vector<std::pair<QString, QStringList>> menu; // section, its launch operations
    for (QAction *action : window.reportsMenu()->actions()) {
        if (action->isSeparator()) {
            menu.emplace_back(action->text(), QStringList());
            continue;
        }
        ASSERT_FALSE(menu.empty()) << "a report before any section";
        menu.back().second.append(action->objectName());
        const ReportEntry *row = ReportCatalog::byLaunchOperation(action->objectName());
        ASSERT_NE(row, nullptr) << action->objectName().toStdString();
        EXPECT_EQ(action->text().remove(u'&'), row->caption);
    }
    std::vector<std::pair<QString, QStringList>> expected;
    for (ReportGroup group : {ReportGroup::InvoiceListings, ReportGroup::Analyses,
                              ReportGroup::ProductLedgers, ReportGroup::Stock}) {
        QStringList launches;
        for (const ReportEntry &row : ReportCatalog::entries())
            if (row.group == group)
                launches.append(row.launchOperation);
        if (!launches.isEmpty())
            expected.emplace_back(ReportCatalog::groupTitle(group), launches);
    }
    EXPECT_EQ(menu, expected);
    EXPECT_EQ(menu.front().first, u"Invoice listings"_s);
    EXPECT_EQ(menu.back().first, u"Stock"_s);
    for (const ReportEntry &row : ReportCatalog::entries()) {
        window.reportsMenu()->findChild<QAction *>(row.launchOperation)->trigger();
        ASSERT_NE(reports.window(row), nullptr);
        EXPECT_TRUE(reports.window(row)->isVisible());
        EXPECT_EQ(reports.window(row)->objectName(), row.window);
        reports.window(row)->close();
    }
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
    reports.launch(reportRow(u"sales-register"_s));
    QWidget *report = reports.window(reportRow(u"sales-register"_s));
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
