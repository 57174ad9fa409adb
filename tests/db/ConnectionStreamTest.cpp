#include "DemoFixture.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/ResultTable.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// A streamed statement hands its rows on in batches as they are read, never holding more than
// one batch, with the same rows and columns as reading it whole.
TEST(ConnectionStream, HandsRowsOnInBatchesAsTheyAreRead)
{
    const auto connection = Connection::openSqlite(DemoFixture::path());
    const QString sql = u"select SaleId, CustomerId, SaleDate from Sales order by SaleId"_s;
    const auto whole = connection->execute(sql);
    ASSERT_GT(whole->rowCount(), 250);

    std::vector<int> sizes;
    int row = 0;
    connection->stream(
        sql,
        [&](const ResultTable &batch) {
            sizes.push_back(batch.rowCount());
            EXPECT_EQ(batch.columnNames(), whole->columnNames());
            for (int r = 0; r < batch.rowCount(); ++r, ++row)
                for (int c = 0; c < batch.columnCount(); ++c)
                    ASSERT_EQ(batch.text(c, r), whole->text(c, row)) << row;
        },
        100);
    EXPECT_EQ(row, whole->rowCount());
    ASSERT_EQ(int(sizes.size()), (whole->rowCount() + 99) / 100);
    for (size_t i = 0; i + 1 < sizes.size(); ++i)
        EXPECT_EQ(sizes[i], 100);

    // No rows: one batch with the columns alone.
    sizes.clear();
    QStringList columns;
    connection->stream(u"select TownId, TownName from Towns where 1 = 0"_s,
                       [&](const ResultTable &batch) {
                           sizes.push_back(batch.rowCount());
                           columns = batch.columnNames();
                       });
    EXPECT_EQ(sizes, std::vector<int>{0});
    EXPECT_EQ(columns, (QStringList{u"TownId"_s, u"TownName"_s}));

    // An endless statement: the receiver sees its first rows, and stopping stops it.
    int seen = 0;
    EXPECT_THROW(connection->stream(
                     u"with n as (select 1 as i union all select i + 1 from n) select i from n"_s,
                     [&](const ResultTable &batch) {
                         seen += batch.rowCount();
                         if (seen >= 50000)
                             throw Failure(u"enough"_s, u"test"_s);
                     }),
                 Failure);
    EXPECT_GE(seen, 50000);

    // A failing statement fails as it does when read whole.
    EXPECT_THROW(connection->stream(u"select nothing from Towns"_s, [](const ResultTable &) {}),
                 Failure);
}
