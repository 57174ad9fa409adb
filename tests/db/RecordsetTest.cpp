#include "db/Recordset.h"
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

// The description of the recordset's failure; empty when none was raised.
QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &e) {
        EXPECT_EQ(e.source(), Failure::recordsetSource());
        return e.description().isEmpty() ? u"(no description)"_s : e.description();
    }
    return QString();
}

} // namespace

// A static snapshot: field names in any case, filters and forward searches that ignore case
// and read doubled apostrophes, and a described failure for every misuse.
TEST(Recordset, NavigatesFiltersAndSearchesLikeAStaticSnapshot)
{
    Recordset rs;
    EXPECT_FALSE(failureOf([&] { (void)rs.eof(); }).isEmpty());
    rs.open(towns());
    EXPECT_EQ(rs.recordCount(), 6);
    EXPECT_FALSE(rs.bof() || rs.eof());
    EXPECT_EQ(rs.field(u"TOWNNAME"_s).toString(), u"Ashford"_s);
    rs.moveLast();
    EXPECT_TRUE(rs.field(u"townid"_s).isNull());
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_TRUE(failureOf([&] {
                    (void)rs.field(u"TownId"_s);
                }).contains(u"no current record"_s, Qt::CaseInsensitive));
    EXPECT_FALSE(failureOf([&] { rs.moveNext(); }).isEmpty());
    rs.moveFirst();
    EXPECT_TRUE(failureOf([&] { (void)rs.field(u"Region"_s); }).contains(u"Region"_s));

    const std::pair<QString, int> filters[] = {
        {u"townname='ASHFORD'"_s, 1},
        {u"Townname like 'O''HA%' or TownId = 5"_s, 3},
        {u"TownId > 2 AND (Townname like '%a%' OR TownId = 4)"_s, 3},
        {QString(20, u'(') + u"TownId = 2 or TownId = 4"_s + QString(20, u')'), 2},
        {u"Townname = 'Nowhere'"_s, 0},
        {QString(), 6}};
    for (const auto &[filter, count] : filters) {
        rs.setFilter(filter);
        EXPECT_EQ(rs.recordCount(), count) << filter.toStdString();
        EXPECT_EQ(rs.eof(), count == 0);
    }

    // The forward search always starts at the first record, whatever the current one.
    const std::pair<QString, int> searches[] = {{u"Townname like 'O''HA%'"_s, 2},
                                                {u"Townname like 'o''hAR%'"_s, 3},
                                                {u"Townname like 'O%'"_s, 2}};
    for (const auto &[criterion, id] : searches) {
        rs.moveLast();
        ASSERT_TRUE(rs.find(criterion)) << criterion.toStdString();
        EXPECT_EQ(rs.field(u"TownId"_s).toInt(), id);
    }
    EXPECT_FALSE(rs.find(u"Townname like 'Q%'"_s));
    EXPECT_TRUE(rs.eof() && !rs.bof());

    // Malformed criteria, and criteria nested or chained beyond any real use, are refused
    // with a description rather than run into the stack's end.
    QString chain = u"TownId = 1"_s;
    for (int i = 0; i < 20000; ++i)
        chain += u" AND TownId = 1"_s;
    const QString deep = QString(100000, u'(') + u"TownId = 1"_s + QString(100000, u')');
    for (const QString &bad :
         {u"Townname = 'open"_s, u"Region = 'x'"_s, u"Townname 'x'"_s, u"(Townname = 'x'"_s,
          u"= 'x'"_s, u"Townname like"_s, u""_s, u"TownId = = 1"_s, chain, deep})
        EXPECT_FALSE(failureOf([&] { (void)rs.find(bad); }).isEmpty())
            << bad.left(40).toStdString();
    EXPECT_TRUE(failureOf([&] { rs.setFilter(deep); }).contains(u"too"_s));

    // Reopening replaces the rows and drops the filter.
    rs.setFilter(u"TownId = 1"_s);
    rs.open(std::make_shared<ResultTable>(QStringList{u"x"_s}));
    EXPECT_TRUE(rs.filter().isEmpty());
    EXPECT_TRUE(rs.bof() && rs.eof());
    rs.close();
    EXPECT_EQ(rs.state(), Recordset::StateClosed);
}
