#include "DemoFixture.h"
#include "ReferenceQueries.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/ResultTable.h"
#include "db/SqlDialect.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Every report query with each kind of clause its boxes add, and every lookup query, runs on
// the embedded database through the translation. (Each report's rows and columns are held to
// the tables by its own tests; the layouts' tests bind each query's columns.)
TEST(ReportQueries, RunWithEveryClauseTheirBoxesAdd)
{
    const auto connection = Connection::openSqlite(DemoFixture::path());
    const QString from =
        SqlDates::literal(SqlDialect::Sqlite, DemoFixture::endDate().addMonths(-6));
    const QString to = SqlDates::literal(SqlDialect::Sqlite, DemoFixture::endDate());
    using namespace ReferenceQueries;
    const QString products = u"Select Products.*,CompanyName  FROM Products Inner join Companies "
                             u"on Companies.CompanyId = Products.CompanyId "_s;
    const QStringList queries{
        salesRegister(from, to, u" and c.partyid='C0001' and sr.sectorid=' 7' and t.townid='3'"_s,
                      u"250"_s, u"900"_s),
        salesSummary(from, to, u" and c.partyid='C0001' and sr.sectorid='7' and t.townid='3'"_s),
        saleReturnRegister(from, to, u" And r.salereturnid between 1 and 99999"_s,
                           u" and c.partyid='C0001' and sr.sectorid='7' and t.townid='3'"_s),
        saleReturnsSummary(from, to, u" and t.townid='1'"_s),
        companyWiseSale(from, to,
                        u" And CustomerId='C0002'  And  Towns.TownId= 3 And Sectors.SectorId= 7"_s),
        companySectorWiseSale(from, to, u"11"_s, u" And Sectors.SectorID=7"_s),
        customerTownSectorWiseSales(from, to,
                                    u" and t.TownID <> 0  and t.townid='3' and sr.sectorid='7' and "
                                    u"c.partyid='C0001' and Left(Sb.productId,2) ='11'"_s),
        // The town number runs into "AND": SQL Server reads them apart, and so must the
        // translation.
        productWiseSales(from, to,
                         u"  And Left(SalesBody.ProductID,2)='11'   And Sales.CustomerId='C0003'  "
                         u" And Towns.TownId= 3  And Sectors.SectorId= 7"_s),
        productSaleReturnLedger(from, to, u"11001 "_s),
        salesStockStatement(from, to, u" and Companies.CompanyId ='12'"_s)};
    for (const QString &sql : queries) {
        try {
            static_cast<void>(connection->execute(sql));
        } catch (const Failure &e) {
            ADD_FAILURE() << e.description().toStdString() << "\n" << sql.toStdString();
        }
    }
    // The lookups find what the demo company holds.
    const QStringList lookups{
        u"Select * FROM Parties Where IsCustomer=1 AND PartyName LIKE '%O''Hara%'"_s,
        products + u"Where Products.IsBardana=1  order by Productname"_s,
        products +
            u"Where IsNull(Products.IsBroker,0)=1  AND ProductName LIKE '%a%' order by Productname"_s,
        products + u"Where Products.IsCrop=0  AND ProductName LIKE '%urea%' order by Productname"_s,
        u"Select s.*,t.townname FROM Sectors s join towns t on s.townid = t.townid order by "
        u"Sectorname"_s,
        u"Select * FROM Companies order by Companyname"_s,
        u" Select * FROM Companies where CompanyId=11"_s,
        u" Select * FROM Products Where ProductId='11001'"_s};
    for (const QString &sql : lookups)
        EXPECT_GT(connection->execute(sql)->rowCount(), 0) << sql.toStdString();
    const auto towns = connection->execute(u"Select * FROM Towns order by Townname"_s);
    EXPECT_EQ(towns->columnIndex(u"townID"_s), 0);
    EXPECT_EQ(towns->columnIndex(u"TownName"_s), 1);
}
