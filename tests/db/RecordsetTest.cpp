#include "db/Recordset.h"
#include "DemoFixture.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/ResultTable.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

std::shared_ptr<ResultTable> towns()
{
    auto table = std::make_shared<ResultTable>(QStringList{u"TownId"_s, u"Townname"_s});
    const std::pair<int, const char *> rows[] = {
        {1, "Ashford"}, {2, "o'halloran bay"}, {3, "O'Hara Cross"}, {4, "Ohio"}, {5, "Zeal"}};
    for (const auto &[id, name] : rows) {
        table->appendInteger(0, id);
        table->appendText(1, name);
    }
    table->appendNull(0);
    table->appendNull(1);
    table->finish();
    return table;
}

Failure errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &e) {
        return e;
    }
    ADD_FAILURE() << "no Failure raised";
    return Failure(QString(), QString());
}

} // namespace

TEST(Recordset, NavigatesLikeAStaticSnapshot)
{
    Recordset rs;
    EXPECT_EQ(rs.state(), Recordset::StateClosed);
    EXPECT_EQ(errorOf([&] { (void)rs.eof(); }).source(), Failure::recordsetSource());

    rs.open(towns());
    EXPECT_EQ(rs.state(), Recordset::StateOpen);
    EXPECT_EQ(rs.recordCount(), 6);
    EXPECT_FALSE(rs.bof());
    EXPECT_FALSE(rs.eof());
    EXPECT_EQ(rs.field(u"TOWNNAME"_s).toString(), u"Ashford"_s);
    rs.moveLast();
    EXPECT_TRUE(rs.field(u"townid"_s).isNull());
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_TRUE(errorOf([&] { (void)rs.field(u"TownId"_s); })
                    .description()
                    .contains(u"no current record"_s, Qt::CaseInsensitive));
    EXPECT_FALSE(errorOf([&] { rs.moveNext(); }).description().isEmpty());
    rs.moveFirst();
    EXPECT_EQ(rs.field(u"TownId"_s).toLongLong(), 1);

    const Failure missing = errorOf([&] { (void)rs.field(u"Region"_s); });
    EXPECT_TRUE(missing.description().contains(u"Region"_s));
    EXPECT_EQ(missing.source(), Failure::recordsetSource());

    rs.open(std::make_shared<ResultTable>(QStringList{u"x"_s}));
    EXPECT_TRUE(rs.bof());
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.recordCount(), 0);
    rs.close();
    EXPECT_EQ(rs.state(), Recordset::StateClosed);
}

TEST(Recordset, FilterAndSearchIgnoreCaseAndReadDoubledApostrophes)
{
    Recordset rs;
    rs.open(towns());
    rs.setFilter(u"townname='ASHFORD'"_s);
    EXPECT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.field(u"TownId"_s).toInt(), 1);
    rs.setFilter(u"Townname like 'O''HA%' or TownId = 5"_s);
    EXPECT_EQ(rs.recordCount(), 3); // o'halloran bay, O'Hara Cross, Zeal
    rs.setFilter(u"TownId > 2 AND (Townname like '%a%' OR TownId = 4)"_s);
    EXPECT_EQ(rs.recordCount(), 3); // O'Hara Cross, Ohio, Zeal
    rs.setFilter(u"Townname = 'Nowhere'"_s);
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_TRUE(rs.eof());
    rs.setFilter(QString());
    EXPECT_EQ(rs.recordCount(), 6);

    // The forward search always starts at the first record, whatever the current one.
    rs.moveLast();
    EXPECT_TRUE(rs.find(u"Townname like 'O''HA%'"_s));
    EXPECT_EQ(rs.field(u"TownId"_s).toInt(), 2);
    EXPECT_TRUE(rs.find(u"Townname like 'o''hAR%'"_s));
    EXPECT_EQ(rs.field(u"TownId"_s).toInt(), 3);
    EXPECT_TRUE(rs.find(u"Townname like 'O%'"_s));
    EXPECT_EQ(rs.field(u"TownId"_s).toInt(), 2);
    EXPECT_FALSE(rs.find(u"Townname like 'Q%'"_s));
    EXPECT_TRUE(rs.eof());
    EXPECT_FALSE(rs.bof());
}

TEST(Recordset, RejectsMalformedCriteriaWithADescription)
{
    Recordset rs;
    rs.open(towns());
    for (const QString &bad : {u"Townname = 'open"_s, u"Region = 'x'"_s, u"Townname 'x'"_s,
                               u"(Townname = 'x'"_s, u"= 'x'"_s, u"Townname like"_s, u""_s}) {
        const Failure e = errorOf([&] { (void)rs.find(bad); });
        EXPECT_EQ(e.source(), Failure::recordsetSource()) << bad.toStdString();
        EXPECT_FALSE(e.description().isEmpty());
    }
    EXPECT_EQ(errorOf([&] { rs.setFilter(u"TownId = = 1"_s); }).source(),
              Failure::recordsetSource());
}

TEST(Recordset, OpensOnTheDemoDatabaseAndFiltersTheRegistry)
{
    const auto connection = Connection::openSqlite(DemoFixture::path());
    Recordset rs;
    rs.open(u"select * from Project_registry"_s, *connection);
    rs.setFilter(u"registrykey='companyname'"_s);
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.field(u"Value"_s).toString(), u"Norvale Agro Distributors (Pvt) Ltd."_s);
    // Reopening replaces the rows and drops the filter.
    rs.open(u"select TownId, TownName from Towns order by TownId"_s, *connection);
    EXPECT_TRUE(rs.filter().isEmpty());
    EXPECT_GT(rs.recordCount(), 20);
    EXPECT_EQ(rs.field(u"townid"_s).toInt(), 0);
}

// Criteria nested or chained beyond any real use are refused, not run into the stack's end.
TEST(Recordset, RefusesCriteriaBeyondTheNestingLimit)
{
    Recordset rs;
    rs.open(towns());
    const int depth = 100000;
    QString chain = u"TownId = 1"_s;
    for (int i = 0; i < 20000; ++i)
        chain += u" AND TownId = 1"_s;
    for (const QString &bad :
         QStringList{QString(depth, u'(') + u"TownId = 1"_s + QString(depth, u')'), chain}) {
        const Failure e = errorOf([&] { rs.setFilter(bad); });
        EXPECT_EQ(e.source(), Failure::recordsetSource());
        EXPECT_TRUE(e.description().contains(u"too"_s)) << e.description().left(200).toStdString();
    }
    rs.setFilter(QString(20, u'(') + u"TownId = 2 or TownId = 4"_s + QString(20, u')'));
    EXPECT_EQ(rs.recordCount(), 2);
}
