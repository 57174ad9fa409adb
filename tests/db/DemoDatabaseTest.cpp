#include "host/DemoDatabase.h"
#include "DemoFixture.h"
#include "db/Connection.h"
#include "db/CsvWriter.h"
#include "db/Failure.h"
#include "db/ResultTable.h"

#include <QBuffer>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray dump(const QString &path)
{
    const auto connection = Connection::openSqlite(path);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    for (const QString &table : {u"Parties"_s, u"Products"_s, u"Sales"_s, u"SalesBody"_s,
                                 u"SaleReturnsBody"_s, u"PurchaseBody"_s, u"CurrentStock"_s})
        EXPECT_TRUE(CsvWriter::write(buffer, *connection->execute(u"select * from "_s + table)));
    return buffer.data();
}

double scalar(const Connection &c, const QString &sql)
{
    return c.execute(sql)->number(0, 0);
}

} // namespace

TEST(DemoDatabase, IsTheSameForTheSameOptionsAndNeverOverwrites)
{
    DemoDatabase::Options options;
    options.saleLines = 1500;
    options.customers = 50;
    options.endDate = QDate(2025, 3, 31);
    const QString a = DemoFixture::temporaryFolder() + u"/seed-a.sqlite"_s;
    const QString b = DemoFixture::temporaryFolder() + u"/seed-b.sqlite"_s;
    const QString c = DemoFixture::temporaryFolder() + u"/seed-c.sqlite"_s;
    DemoDatabase::create(a, options);
    DemoDatabase::create(b, options);
    options.seed = 2;
    DemoDatabase::create(c, options);
    EXPECT_EQ(dump(a), dump(b));
    EXPECT_NE(dump(a), dump(c));

    const QByteArray before = DemoFixture::fileHash(a);
    EXPECT_THROW(DemoDatabase::create(a, options), Failure);
    EXPECT_EQ(DemoFixture::fileHash(a), before);
    EXPECT_FALSE(QFileInfo::exists(a + u".partial"_s));

    const auto connection = Connection::openSqlite(a);
    EXPECT_EQ(scalar(*connection, u"select count(*) from SalesBody"_s), 1500);
    const auto dates = connection->execute(u"select min(SaleDate), max(SaleDate) from Sales"_s);
    EXPECT_EQ(dates->text(0, 0), u"2024-04-01"_s);
    EXPECT_EQ(dates->text(1, 0), u"2025-03-31"_s);
}

// What the reports add up holds together, and the awkward cases of real data are there.
TEST(DemoDatabase, HoldsConsistentTradeWithTheAwkwardCases)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    QStringList none; // statements that must count nothing
    for (const QString &body : {u"SalesBody"_s, u"SaleReturnsBody"_s}) {
        // Stored line totals agree with the line values, to the cent.
        none << u"select count(*) from "_s + body +
                    u" where abs(TTLValue - Qty*(Price - (Price*Discratio/100 + Discvalue))) > "
                    u"0.0051"
                    u" or abs(TTLSalestax - Qty*(Price*stratio/100 + stvalue)) > 0.0051"_s;
    }
    // Returns follow their sale, for its customer, within what was sold; product ids start
    // with their company's id.
    none << u"select count(*) from SaleReturns r join Sales s on s.SaleId = r.SaleId "
            u"where r.SaleReturnDate < s.SaleDate or r.CustomerId <> s.CustomerId"_s
         << u"select count(*) from SaleReturnsBody rb join SaleReturns r on "
            u"r.SaleReturnID = rb.SaleReturnID where not exists (select 1 from SalesBody sb "
            u"where sb.SaleId = r.SaleId and sb.ProductId = rb.ProductId and sb.Qty >= rb.Qty)"_s
         << u"select count(*) from Products p join Companies c on c.CompanyId = p.CompanyId "
            u"where LEFT(p.ProductId, 2) <> c.CompanyId"_s;
    for (const QString &sql : none)
        EXPECT_EQ(scalar(*db, sql), 0) << sql.toStdString();

    for (const QString &some :
         {u"SalesBody where Discratio > 0"_s, u"SalesBody where Bonus > 0"_s,
          u"SaleReturnsBody where Discratio > 0"_s, u"SaleReturnsBody where Bonus > 0"_s,
          u"SalesBody where stratio > 0"_s, u"Parties where PartyName like '%''%'"_s,
          u"Parties where PartyName = lower(PartyName) collate binary"_s,
          u"Products where IsCrop is null"_s,
          u"Sectors s where not exists (select 1 from Towns t where t.TownId = s.TownId)"_s,
          u"PurReturnsBody"_s, u"OpeningStock"_s, u"CurrentStock"_s, u"ChartOfAccounts"_s})
        EXPECT_GT(scalar(*db, u"select count(*) from "_s + some), 0) << some.toStdString();
    EXPECT_GT(scalar(*db, u"select count(*) * 1.0 / count(distinct SaleId) from SalesBody"_s), 2.5);
}
