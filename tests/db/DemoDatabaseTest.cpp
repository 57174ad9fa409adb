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
                                 u"SaleReturnsBody"_s, u"PurchaseBody"_s, u"CurrentStock"_s}) {
        EXPECT_TRUE(CsvWriter::write(buffer, *connection->execute(u"select * from "_s + table)));
    }
    return buffer.data();
}

double scalar(const Connection &c, const QString &sql)
{
    return c.execute(sql)->number(0, 0);
}

} // namespace

TEST(DemoDatabase, IsTheSameForTheSameSeedAndNeverOverwrites)
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
    EXPECT_EQ(connection->execute(u"select max(SaleDate) from Sales"_s)->text(0, 0),
              u"2025-03-31"_s);
    EXPECT_EQ(connection->execute(u"select min(SaleDate) from Sales"_s)->text(0, 0),
              u"2024-04-01"_s);
}

TEST(DemoDatabase, HoldsConsistentRealisticTrade)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    // Stored line totals agree with the line values, to the cent.
    for (const QString &body : {u"SalesBody"_s, u"SaleReturnsBody"_s}) {
        EXPECT_LT(scalar(*db, u"select max(abs(TTLValue - Qty*(Price - (Price*Discratio/100 + "
                              u"Discvalue)))) from "_s +
                                  body),
                  0.0051);
        EXPECT_LT(scalar(*db, u"select max(abs(TTLSalestax - Qty*(Price*stratio/100 + stvalue))) "
                              u"from "_s +
                                  body),
                  0.0051);
        EXPECT_GT(scalar(*db, u"select count(*) from "_s + body + u" where Discratio > 0"_s), 0);
        EXPECT_GT(scalar(*db, u"select count(*) from "_s + body + u" where Bonus > 0"_s), 0);
    }
    EXPECT_GT(scalar(*db, u"select count(*) from SalesBody where stratio > 0"_s), 0);
    // Several lines per invoice; returns follow their sale, for its customer, within what was sold.
    EXPECT_GT(scalar(*db, u"select count(*) * 1.0 / count(distinct SaleId) from SalesBody"_s), 2.5);
    EXPECT_GT(scalar(*db, u"select count(*) from SaleReturns"_s), 20);
    EXPECT_EQ(scalar(*db, u"select count(*) from SaleReturns r join Sales s on s.SaleId = r.SaleId "
                          u"where r.SaleReturnDate < s.SaleDate or r.CustomerId <> s.CustomerId"_s),
              0);
    EXPECT_EQ(scalar(*db,
                     u"select count(*) from SaleReturnsBody rb join SaleReturns r on "
                     u"r.SaleReturnID = rb.SaleReturnID where not exists (select 1 from "
                     u"SalesBody sb where sb.SaleId = r.SaleId and sb.ProductId = rb.ProductId "
                     u"and sb.Qty >= rb.Qty)"_s),
              0);
    // Product ids start with their company's two-digit id.
    EXPECT_EQ(scalar(*db, u"select count(*) from Products p join Companies c on c.CompanyId = "
                          u"p.CompanyId where LEFT(p.ProductId, 2) <> c.CompanyId"_s),
              0);
    EXPECT_EQ(scalar(*db, u"select count(*) from Companies"_s), 12);
    EXPECT_GE(scalar(*db, u"select count(*) from Parties where IsCustomer = 1"_s), 300);
    // The awkward cases real data has: apostrophes, lower-case names, flags left empty, a
    // sector whose town is gone, purchases, returns to suppliers, stock.
    EXPECT_GT(scalar(*db, u"select count(*) from Parties where PartyName like '%''%'"_s), 0);
    EXPECT_GT(scalar(*db, u"select count(*) from Parties where PartyName = lower(PartyName) "
                          u"collate binary"_s),
              0);
    EXPECT_GT(scalar(*db, u"select count(*) from Products where IsCrop is null"_s), 0);
    EXPECT_GT(scalar(*db, u"select count(*) from Sectors s where not exists (select 1 from Towns "
                          u"t where t.TownId = s.TownId)"_s),
              0);
    for (const QString &table : {u"PurchaseBody"_s, u"PurReturnsBody"_s, u"OpeningStock"_s,
                                 u"CurrentStock"_s, u"ChartOfAccounts"_s})
        EXPECT_GT(scalar(*db, u"select count(*) from "_s + table), 0) << table.toStdString();
}
