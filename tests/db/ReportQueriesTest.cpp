#include "DemoFixture.h"
#include "ReferenceQueries.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/ResultTable.h"
#include "db/SqlDialect.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Every report and lookup query runs on the embedded database through the translation, and
// its result columns carry the names the report layouts read.
class ReportQueries : public ::testing::Test
{
protected:
    void SetUp() override
    {
        connection = Connection::openSqlite(DemoFixture::path());
        from = SqlDates::literal(SqlDialect::Sqlite, DemoFixture::endDate().addMonths(-6));
        to = SqlDates::literal(SqlDialect::Sqlite, DemoFixture::endDate());
    }

    std::shared_ptr<const ResultTable> run(const QString &sql, const QStringList &columns)
    {
        std::shared_ptr<const ResultTable> rows;
        try {
            rows = connection->execute(sql);
        } catch (const Failure &e) {
            ADD_FAILURE() << e.description().toStdString() << "\n" << sql.toStdString();
            return std::make_shared<ResultTable>(QStringList());
        }
        if (!columns.isEmpty()) {
            EXPECT_EQ(rows->columnNames(), columns) << sql.toStdString();
        }
        return rows;
    }

    std::unique_ptr<Connection> connection;
    QString from, to;
};

TEST_F(ReportQueries, InvoiceListingsRunWithAndWithoutCriteria)
{
    const QStringList register_{u"sectorname"_s,   u"townname"_s,  u"saleid"_s,      u"saledate"_s,
                                u"customername"_s, u"productid"_s, u"productname"_s, u"qty"_s,
                                u"bonus"_s,        u"price"_s,     u"Grossvalue"_s,  u"Totaldisc"_s,
                                u"Salestax"_s,     u"NetValue"_s};
    EXPECT_GT(run(ReferenceQueries::salesRegister(from, to, QString()), register_)->rowCount(),
              1000);
    run(ReferenceQueries::salesRegister(
            from, to, u" and c.partyid='C0001' and sr.sectorid=' 7' and t.townid='3'"_s, u"250"_s,
            u"900"_s),
        register_);

    const QStringList summary{u"saleid"_s,     u"saledate"_s,   u"customername"_s,
                              u"sectorname"_s, u"townname"_s,   u"SectorId"_s,
                              u"townId"_s,     u"Grossvalue"_s, u"Totaldisc"_s,
                              u"Salestax"_s,   u"NetValue"_s,   u"asReceivedAmount"_s};
    EXPECT_GT(run(ReferenceQueries::salesSummary(from, to, QString()), summary)->rowCount(), 100);

    const QStringList returnRegister{
        u"sectorname"_s, u"townname"_s,     u"salereturnid"_s, u"Salereturndate"_s,
        u"saleid"_s,     u"customername"_s, u"productid"_s,    u"productname"_s,
        u"qty"_s,        u"bonus"_s,        u"price"_s,        u"Grossvalue"_s,
        u"Totaldisc"_s,  u"salestax"_s,     u"NetValue"_s,     u"SpecialDiscount"_s,
        u"PaidAmount"_s, u"ComRatio"_s,     u"ExpMinus"_s,     u"ExpPlus"_s,
        u"UnitName"_s,   u"Multiplier"_s};
    EXPECT_GT(run(ReferenceQueries::saleReturnRegister(
                      from, to, u" And r.salereturnid between 1 and 99999"_s, QString()),
                  returnRegister)
                  ->rowCount(),
              10);

    const QStringList returnSummary{u"salereturnid"_s, u"Salereturndate"_s, u"saleid"_s,
                                    u"customername"_s, u"sectorname"_s,     u"townname"_s,
                                    u"Grossvalue"_s,   u"Totaldisc"_s,      u"Salestax"_s,
                                    u"NetValue"_s,     u"TownId"_s,         u"SectorId"_s};
    run(ReferenceQueries::saleReturnsSummary(from, to, u" and t.townid='1'"_s), returnSummary);
    EXPECT_GT(
        run(ReferenceQueries::saleReturnsSummary(from, to, QString()), returnSummary)->rowCount(),
        5);
}

TEST_F(ReportQueries, AnalysesRunIncludingRightNestedJoins)
{
    const QStringList companyWise{u"CompanyID"_s, u"CompanyName"_s, u"SaleValue"_s,
                                  u"ReturnValue"_s, u"UnitName"_s};
    const auto companies = run(ReferenceQueries::companyWiseSale(from, to, QString()), companyWise);
    EXPECT_EQ(companies->rowCount(), 12);
    run(ReferenceQueries::companyWiseSale(
            from, to, u" And CustomerId='C0002'  And  Towns.TownId= 3 And Sectors.SectorId= 7"_s),
        companyWise);

    const QStringList companySector{u"ProductId"_s,  u"ProductName"_s, u"SectorId"_s,
                                    u"SectorName"_s, u"NetQty"_s,      u"SalePrice"_s,
                                    u"NetValue"_s};
    EXPECT_GT(
        run(ReferenceQueries::companySectorWiseSale(from, to, u"11"_s, QString()), companySector)
            ->rowCount(),
        10);
    run(ReferenceQueries::companySectorWiseSale(from, to, u"11"_s, u" And Sectors.SectorID=7"_s),
        companySector);

    const QStringList cts{u"townid"_s,     u"townname"_s,     u"sectorid"_s,
                          u"sectorname"_s, u"customerid"_s,   u"customername"_s,
                          u"SalesValue"_s, u"ReturnsValue"_s, u"CompanyID"_s};
    run(ReferenceQueries::customerTownSectorWiseSales(
            from, to, u" and t.TownID <> 0  and t.townid='3' and sr.sectorid='7'"_s),
        cts);
    EXPECT_GT(
        run(ReferenceQueries::customerTownSectorWiseSales(from, to, u" and t.TownID <> 0 "_s), cts)
            ->rowCount(),
        50);

    const QStringList productWise{
        u"ProductID"_s,    u"ProductName"_s, u"SaleQty"_s, u"SaleBns"_s,    u"GrossSaleValue"_s,
        u"ReturnQty"_s,    u"ReturnBns"_s,   u"NetQty"_s,  u"NetBns"_s,     u"ReturnTTLValue"_s,
        u"NetSaleValue"_s, u"SectorID"_s,    u"TownID"_s,  u"SectorName"_s, u"TownName"_s};
    EXPECT_GT(run(ReferenceQueries::productWiseSales(from, to, QString()), productWise)->rowCount(),
              100);
    // The town number runs into "AND": SQL Server reads them apart, and so must the translation.
    run(ReferenceQueries::productWiseSales(from, to,
                                           u"  And Left(SalesBody.ProductID,2)='11'   And "
                                           u"Sales.CustomerId='C0003'   And Towns.TownId= 3  "
                                           u"And Sectors.SectorId= 7"_s),
        productWise);
}

TEST_F(ReportQueries, LedgersAndStockStatementRun)
{
    const QStringList ledger{u"saleid"_s,     u"saledate"_s,  u"customername"_s, u"sectorname"_s,
                             u"townname"_s,   u"qty"_s,       u"bonus"_s,        u"price"_s,
                             u"Grossvalue"_s, u"Totaldisc"_s, u"Salestax"_s,     u"NetValue"_s};
    EXPECT_GT(run(ReferenceQueries::productSalesLedger(from, to, u"11001"_s), ledger)->rowCount(),
              0);
    const QStringList returnLedger{u"salereturnid"_s, u"SaleReturnDate"_s, u"saleid"_s,
                                   u"customername"_s, u"sectorname"_s,     u"townname"_s,
                                   u"qty"_s,          u"bonus"_s,          u"price"_s,
                                   u"Grossvalue"_s,   u"Totaldisc"_s,      u"Salestax"_s,
                                   u"NetValue"_s};
    run(ReferenceQueries::productSaleReturnLedger(from, to, u"11001 "_s), returnLedger);

    const QStringList stock{u"CompanyId"_s, u"CompanyName"_s, u"productid"_s, u"productname"_s,
                            u"AvgCost"_s,   u"opQty"_s,       u"OpB"_s,       u"pQty"_s,
                            u"PBon"_s,      u"PreQty"_s,      u"PREtB"_s,     u"SaleQty"_s,
                            u"SaleBon"_s,   u"SRetQty"_s,     u"SRetBonus"_s, u"eQty"_s,
                            u"CQty"_s,      u"VCQty"_s};
    EXPECT_GT(run(ReferenceQueries::salesStockStatement(from, to, QString()), stock)->rowCount(),
              200);
    EXPECT_GT(
        run(ReferenceQueries::salesStockStatement(from, to, u" and Companies.CompanyId ='12'"_s),
            stock)
            ->rowCount(),
        10);
}

TEST_F(ReportQueries, LookupQueriesRun)
{
    const QString products = u"Select Products.*,CompanyName  FROM Products Inner join Companies "
                             u"on Companies.CompanyId = Products.CompanyId "_s;
    const QStringList queries{
        u"Select * FROM Parties Where IsCustomer=1"_s,
        u"Select * FROM Parties Where IsCustomer=1 AND PartyName LIKE '%O''Hara%'"_s,
        u"Select * FROM Towns order by Townname"_s,
        products + u"order by Productname"_s,
        products + u"Where Products.IsBardana=1  order by Productname"_s,
        products +
            u"Where IsNull(Products.IsBroker,0)=1  AND ProductName LIKE '%a%' order by Productname"_s,
        products + u"Where Products.IsCrop=0  AND ProductName LIKE '%urea%' order by Productname"_s,
        u"Select s.*,t.townname FROM Sectors s join towns t on s.townid = t.townid order by Sectorname"_s,
        u"Select * FROM Companies order by Companyname"_s,
        u" Select * FROM Parties where IsCustomer=1  And PartyId='C0001'"_s,
        u" Select * FROM Parties where IsCustomer = 1  And PartyId='C0001'"_s,
        u" Select * FROM Parties where IsCustomer =1   And PartyId='C0001'"_s,
        u"Select Parties.* FROM Parties  Where IsCustomer=1  And PartyId='C0001'"_s,
        u" Select * FROM Sectors where SectorId=7"_s,
        u" Select * FROM Towns where TownId=12"_s,
        u" Select * FROM Companies where CompanyId=11"_s,
        u" Select * FROM Products Where ProductId='11001'"_s,
        u"select * from Project_registry"_s};
    for (const QString &sql : queries)
        EXPECT_GT(run(sql, {})->rowCount(), 0) << sql.toStdString();
    const auto towns = run(u"Select * FROM Towns order by Townname"_s, {});
    EXPECT_EQ(towns->columnIndex(u"townID"_s), 0);
    EXPECT_EQ(towns->columnIndex(u"TownName"_s), 1);
}
