#include "DemoFixture.h"
#include "ModalWatcher.h"
#include "db/BackgroundQuery.h"
#include "db/Connection.h"
#include "db/ResultTable.h"
#include "db/SharedConnection.h"
#include "lookup/LookupDialogs.h"
#include "lookup/LookupQueries.h"
#include "lookup/SchCompany.h"
#include "lookup/SchCustomers.h"
#include "lookup/SchProducts.h"
#include "lookup/SchSectors.h"
#include "lookup/SchTowns.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A customers lookup whose fill for "endless" never ends by itself: it counts the rows of the
// customers joined with themselves four times.
class EndlessWhenAsked : public SchCustomers
{
public:
    using SchCustomers::SchCustomers;

protected:
    QString filteringQuery(const QString &filterText) const override
    {
        if (filterText == u"endless"_s)
            return u"Select count(*) as PartyID, 'x' as PartyName, 'x' as City "
                   u"FROM Parties a, Parties b, Parties c, Parties d"_s;
        return LookupQueries::customers(filterText);
    }
};

} // namespace

class Lookups : public ::testing::Test
{
protected:
    void SetUp() override
    {
        connection = Connection::openSqlite(DemoFixture::path());
        shared.set(*connection);
    }

    // Opens the dialog (without blocking) and gives the focus to the control named.
    static void open(LookupDialog &dialog, QWidget *focus = nullptr)
    {
        dialog.openForTest();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        dialog.waitForFill();
        (focus ? focus : dialog.filterBox())->setFocus();
        QApplication::processEvents();
    }

    // The name in a row of the grid, the current row by default.
    static QString name(const LookupDialog &dialog, int row = -1)
    {
        const auto *grid = dialog.grid();
        return grid->model()
            ->index(row < 0 ? grid->currentIndex().row() : row, 1)
            .data()
            .toString();
    }

    int count(const QString &sql) const { return int(connection->execute(sql)->number(0, 0)); }

    std::shared_ptr<Connection> connection;
    SharedConnection shared;
    LookupDialogs dialogs{shared};
};

TEST_F(Lookups, CustomersFilterByTypedText)
{
    SchCustomers &d = dialogs.customers();
    open(d);
    const int all = count(u"select count(*) from Parties where IsCustomer=1"_s);
    EXPECT_EQ(d.recordset().recordCount(), all);

    QTest::keyClicks(d.filterBox(), u"o'hara"_s);
    d.waitForFill();
    const int hara =
        count(u"select count(*) from Parties where IsCustomer=1 and PartyName like '%o''hara%'"_s);
    ASSERT_GT(hara, 0);
    EXPECT_EQ(d.recordset().recordCount(), hara);
    d.filterBox()->clear();
    d.waitForFill();
    EXPECT_EQ(d.recordset().recordCount(), all);
    d.closeButton()->click();
}

TEST_F(Lookups, SelectAndCancel)
{
    SchCustomers &d = dialogs.customers();
    open(d);
    QTest::keyClicks(d.filterBox(), u"zzzz nobody"_s);
    d.waitForFill();
    EXPECT_EQ(d.grid()->model()->rowCount(), 0);
    d.selectButton()->click(); // nothing to take: the dialog stays open
    QTest::keyClick(d.filterBox(), Qt::Key_Return);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.idOutput().isEmpty());

    // Enter in the filter box takes the grid's current row.
    d.filterBox()->setText(u"Cash"_s);
    QTest::keyClick(d.filterBox(), Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.ParaOutCustomerID(), u"CASH"_s);
    EXPECT_EQ(d.ParaOutCustomerName(), u"Cash Sales"_s);

    // Opening again starts afresh; Enter on a button is the button's: on Cancel it cancels.
    open(d, d.closeButton());
    EXPECT_TRUE(d.filterBox()->text().isEmpty());
    EXPECT_TRUE(d.ParaOutCustomerID().isEmpty());
    QTest::keyClick(d.closeButton(), Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_TRUE(d.ParaOutCustomerID().isEmpty() && d.ParaOutCustomerName().isEmpty());
}

TEST_F(Lookups, SeekingMovesToTheFirstMatchOrTheLastRow)
{
    SchTowns &towns = dialogs.towns();
    open(towns);
    const int rows = towns.recordset().recordCount();
    EXPECT_EQ(rows, count(u"select count(*) from Towns"_s));
    // To the first name the text begins, to the last row when none does, to the first for blanks;
    // all rows stay.
    const std::pair<QString, QString> seeks[] = {{u"o'bri"_s, u"O'Brien's Cross"_s},
                                                 {u"Ca"_s, u"Carrow"_s}, // not Cobh
                                                 {u"Qx"_s, name(towns, rows - 1)},
                                                 {u"   "_s, name(towns, 0)}};
    for (const auto &[typed, expected] : seeks) {
        towns.filterBox()->setText(typed);
        EXPECT_EQ(name(towns), expected) << typed.toStdString();
        EXPECT_EQ(towns.grid()->model()->rowCount(), rows);
    }
    towns.filterBox()->setText(u"Qx"_s);
    towns.selectButton()->click(); // no match: the last row is taken
    EXPECT_EQ(towns.ParaOutTownName(), u"Youghal"_s);
    EXPECT_EQ(
        towns.ParaOutTownID(),
        connection->execute(u"select TownId from Towns where TownName='Youghal'"_s)->text(0, 0));

    // From the grid: capitals seek lower-case names as well.
    SchCompany &companies = dialogs.companies();
    open(companies, nullptr);
    companies.grid()->setFocus();
    QTest::keyClick(companies.grid(), Qt::Key_S);
    QTest::keyClick(companies.grid(), Qt::Key_U);
    EXPECT_EQ(companies.filterBox()->text(), u"SU"_s);
    EXPECT_TRUE(name(companies).startsWith(u"Su"_s));
    QTest::keyClick(companies.grid(), Qt::Key_Return);
    EXPECT_EQ(companies.ParaOutCompanyName(), name(companies));
    EXPECT_FALSE(companies.isVisible());
}

TEST_F(Lookups, SectorsTakeEnterOnlyFromTheGridAndLeaveOutSectorsWithoutATown)
{
    SchSectors &d = dialogs.sectors();
    open(d);
    EXPECT_EQ(d.recordset().recordCount(),
              count(u"select count(*) from Sectors s join Towns t on s.TownId = t.TownId"_s));
    EXPECT_LT(d.recordset().recordCount(), count(u"select count(*) from Sectors"_s));
    QTest::keyClicks(d.filterBox(), u"Glen"_s);
    QTest::keyClick(d.filterBox(), Qt::Key_Return);
    EXPECT_TRUE(d.isVisible()); // Enter in the filter box does nothing here
    EXPECT_TRUE(d.ParaOutSectorID().isEmpty());
    QTest::keyClick(d.filterBox(), Qt::Key_Down);
    QTest::keyClick(d.grid(), Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(d.ParaOutSectorName().startsWith(u"Glenarm"_s));
}

TEST_F(Lookups, ProductsFollowTheirInputFlags)
{
    SchProducts &d = dialogs.products();
    open(d);
    // Only products whose IsCrop is 0: 1 and empty are both left out.
    EXPECT_EQ(
        d.recordset().recordCount(),
        count(
            u"select count(*) from Products p join Companies c on c.CompanyId = p.CompanyId where p.IsCrop = 0"_s));
    // The bardana flag is tested before the broker flag; "both" ignores the typed text.
    const struct
    {
        bool both, broker, bardana;
        QString typed, where;
    } cases[] = {
        {false, false, false, u"urea"_s,
         u"Where Products.IsCrop=0  AND ProductName LIKE '%urea%' order by Productname"_s},
        {false, true, false, u"a"_s,
         u"Where IsNull(Products.IsBroker,0)=1  AND ProductName LIKE '%a%' order by"_s},
        {false, true, true, u"e"_s,
         u"Where Products.IsBardana=1 AND ProductName LIKE '%e%' order by"_s},
        {true, false, false, u"urea 50"_s,
         u"FROM Products Inner join Companies on Companies.CompanyId = Products.CompanyId "
         u"order by Productname"_s},
    };
    for (const auto &c : cases) {
        d.ParaInBoth = c.both;
        d.ParaInIsBroker = c.broker;
        d.ParaInIsBardana = c.bardana;
        d.filterBox()->setText(c.typed);
        d.waitForFill();
        EXPECT_TRUE(d.lastQuery().contains(c.where)) << d.lastQuery().toStdString();
    }
    EXPECT_EQ(d.recordset().recordCount(), count(u"select count(*) from Products"_s));
    d.closeButton()->click();
}

TEST_F(Lookups, AFailedQueryIsShownAndTheDialogStaysUsable)
{
    const QString broken = DemoFixture::temporaryFolder() + u"/no-parties.sqlite"_s;
    QFile::remove(broken);
    ASSERT_TRUE(QFile::copy(DemoFixture::path(), broken));
    DemoFixture::write(broken, u"alter table Parties rename to Clients"_s);
    const auto other = Connection::openSqlite(broken);
    shared.set(*other);

    ModalWatcher watcher;
    SchCustomers &d = dialogs.customers();
    watcher.ignore(&d);
    d.openForTest();
    d.waitForFill(); // the opening's fill fails
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().icon, QMessageBox::Critical);
    EXPECT_EQ(watcher.last().title, u"SQLite"_s);
    EXPECT_TRUE(watcher.last().text.contains(u"Parties"_s));
    EXPECT_TRUE(d.isVisible());
    QTest::keyClicks(d.filterBox(), u"a"_s); // each fill fails the same way, and says so
    d.waitForFill();
    EXPECT_EQ(watcher.count(), 2);
    EXPECT_EQ(d.grid()->model()->rowCount(), 0);

    shared.set(*connection); // the host hands over a working connection
    QTest::keyClick(d.filterBox(), Qt::Key_Backspace);
    d.waitForFill();
    EXPECT_EQ(watcher.count(), 2);
    EXPECT_GT(d.grid()->model()->rowCount(), 0);
    d.closeButton()->click();
    EXPECT_FALSE(d.isVisible());
}

// Typing never waits for a fill: the first screenful shows before the rest, a stale fill is
// interrupted and never shown, and an older result never replaces a newer one.
TEST_F(Lookups, FillsRunInTheBackgroundAndOnlyTheNewestIsShown)
{
    EndlessWhenAsked d(shared);
    auto *reader = d.findChild<BackgroundQuery *>();
    ASSERT_NE(reader, nullptr);
    std::vector<std::pair<char, std::shared_ptr<const ResultTable>>> shown;
    QObject::connect(
        reader, &BackgroundQuery::firstRowsRead, &d,
        [&](std::shared_ptr<const ResultTable> rows) { shown.emplace_back('1', rows); });
    QObject::connect(
        reader, &BackgroundQuery::allRowsRead, &d,
        [&](std::shared_ptr<const ResultTable> rows) { shown.emplace_back('*', rows); });

    const int all = count(u"select count(*) from Parties where IsCustomer=1"_s);
    ASSERT_GT(all, 100) << "the demo needs more customers than a screenful";
    d.openForTest();
    QTRY_VERIFY(!d.filling());
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].first, '1');
    EXPECT_EQ(shown[0].second->rowCount(), 100);
    EXPECT_EQ(shown[1].first, '*');
    EXPECT_EQ(shown[1].second->rowCount(), all);
    EXPECT_EQ(d.recordset().recordCount(), all);

    // A fill that would never end is interrupted by the next keystroke's.
    shown.clear();
    d.filterBox()->setText(u"endless"_s);
    QTRY_VERIFY_WITH_TIMEOUT(reader->running() != 0, 10000);
    EXPECT_TRUE(d.filling());
    EXPECT_EQ(d.recordset().recordCount(), all); // still the list before
    d.filterBox()->setText(u"cash"_s);
    d.waitForFill();
    EXPECT_EQ(d.staleFillsInterrupted(), 1);
    const int cash =
        count(u"select count(*) from Parties where IsCustomer=1 and PartyName like '%cash%'"_s);
    EXPECT_EQ(d.recordset().recordCount(), cash);

    // Letters typed faster than the fills: only the last text's rows are ever shown.
    for (const QString &text : {u"a"_s, u"ar"_s, u"ari"_s, u"a"_s, QString(), u"o'h"_s})
        d.filterBox()->setText(text);
    QTRY_VERIFY(!d.filling());
    QTest::qWait(50); // anything still queued arrives now
    const int ohara =
        count(u"select count(*) from Parties where IsCustomer=1 and PartyName like '%o''h%'"_s);
    EXPECT_EQ(d.recordset().recordCount(), ohara);
    for (const auto &[kind, rows] : shown) {
        const int name = rows->columnIndex(u"PartyName");
        for (int r = 0; r < rows->rowCount(); ++r)
            EXPECT_NE(rows->text(name, r), u"x"_s) << "the endless fill's row was shown";
    }
    const auto &[lastKind, lastRows] = shown.back();
    EXPECT_EQ(lastKind, '*');
    EXPECT_EQ(lastRows->rowCount(), ohara);
    d.closeButton()->click();
}
