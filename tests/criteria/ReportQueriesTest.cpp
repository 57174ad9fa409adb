#include "ReferenceQueries.h"
#include "reports/ReportCatalog.h"
#include "reports/ReportDefinition.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The reference text with one piece mended, where the report departs from it on purpose.
QString mended(QString reference, const QString &wrong, const QString &right)
{
    EXPECT_EQ(reference.count(wrong), 1) << wrong.toStdString();
    return reference.replace(wrong, right);
}

// The received amount taken once per invoice instead of once per line.
QString receivedOnce(const QString &reference)
{
    return mended(reference, u"Sum(s.ReceivedAmount) asReceivedAmount"_s,
                  u"Max(s.ReceivedAmount) asReceivedAmount"_s);
}

// Without the branch of units, which only ever added empty rows.
QString withoutUnits(const QString &reference)
{
    return mended(reference,
                  u" union all  SELECT 0 AS CompanyID, 0 as CompanyName, 0 as SalesValue, 0 As "
                  u"Returnvalue,UnitName from Units) AllData "_s,
                  u") AllData "_s);
}

// An average cost of a product whose stock adds up to nothing is no cost, not a failure.
QString dividingSafely(const QString &reference)
{
    return mended(reference, u"SUM(Qty * Cost) / SUM(Qty) AS AvgCost"_s,
                  u"SUM(Qty * Cost) / NULLIF(SUM(Qty), 0) AS AvgCost"_s);
}

// Ordered by the customer name of the select list, which the parties table does not have.
QString orderedBySelectedName(const QString &reference, const QString &order)
{
    return mended(reference, order + u",c.customername"_s, order + u",customername"_s);
}

QString returnRange(const QString &low, const QString &high)
{
    return u" And r.salereturnid between "_s + low + u" and "_s + high;
}

// A blank To box sets no upper bound: a book past the fifth digit is listed whole.
QString openEnded(const QString &reference, const QString &range, const QString &from)
{
    return mended(reference, range + u" between "_s + from + u" and 99999"_s,
                  range + u" >= "_s + from);
}

// Each return line attached once: the returns of a product against a sale are summed whoever
// returned them, and joined to the first line of that product on the sale only.
QString returnsOncePerSaleAndProduct(const QString &reference)
{
    QString q = mended(reference, u"SaleReturns.SaleId, SaleReturns.CustomerId,SaleReturnsBody"_s,
                       u"SaleReturns.SaleId, SaleReturnsBody"_s);
    q = mended(q, u"Group by SaleReturns.SaleId, SaleReturns.CustomerId, SaleReturnsBody"_s,
               u"Group by SaleReturns.SaleId, SaleReturnsBody"_s);
    return mended(q, u" AND SalesBody.ProductId = SaleReturns.ProductId "_s,
                  u" AND SalesBody.ProductId = SaleReturns.ProductId "
                  u" AND SalesBody.SrNo = (SELECT MIN(FirstLine.SrNo) FROM SalesBody FirstLine "
                  u"WHERE FirstLine.SaleId = SalesBody.SaleId AND FirstLine.ProductId = "
                  u"SalesBody.ProductId) "_s);
}

struct Case
{
    ReportKind kind;
    QHash<QString, QString> boxes;
    SqlDialect dialect;
    QString expected;
};

} // namespace

// Each report's query, for its boxes left empty and for them all filled in, is the reference
// text with the criteria in their places; dates enter as the dialect's literal.
TEST(ReportQueries, HoldToTheirReferenceTexts)
{
    using namespace ReferenceQueries;
    const QString from = u"2026-04-01"_s, to = u"2026-06-30"_s;
    const QString serverFrom = u"20260401"_s, serverTo = u"20260630"_s;
    const auto sqlite = SqlDialect::Sqlite, server = SqlDialect::SqlServer;
    const QString ids = u" and c.partyid='C0001' and sr.sectorid='7' and t.townid='3'"_s;
    const QHash<QString, QString> customerSectorTown{
        {u"customer"_s, u"C0001"_s}, {u"sector"_s, u"7"_s}, {u"town"_s, u"3"_s}};
    auto plus = [](QHash<QString, QString> boxes, const QHash<QString, QString> &more) {
        boxes.insert(more);
        return boxes;
    };
    const std::vector<Case> cases{
        {ReportKind::SalesRegister,
         {},
         sqlite,
         openEnded(salesRegister(from, to, {}), u" where s.saleid"_s, u"1"_s)},
        {ReportKind::SalesRegister,
         {{u"invoice-from"_s, u"100000"_s}, {u"invoice-to"_s, u"   "_s}},
         server,
         openEnded(salesRegister(serverFrom, serverTo, {}, u"100000"_s), u" where s.saleid"_s,
                   u"100000"_s)},
        {ReportKind::SalesRegister,
         {{u"invoice-from"_s, u"123456"_s}, {u"invoice-to"_s, u"999999999"_s}},
         sqlite,
         salesRegister(from, to, {}, u"123456"_s, u"999999999"_s)},
        {ReportKind::SalesRegister,
         plus(customerSectorTown, {{u"invoice-from"_s, u"250"_s}, {u"invoice-to"_s, u"900"_s}}),
         sqlite, salesRegister(from, to, ids, u"250"_s, u"900"_s)},
        // An apostrophe typed into an id stays inside its literal; bounds enter as numbers.
        {ReportKind::SalesRegister,
         {{u"customer"_s, u"O'Ha"_s},
          {u"invoice-from"_s, u"0250"_s},
          {u"invoice-to"_s, u"00900"_s}},
         sqlite,
         salesRegister(from, to, u" and c.partyid='O''Ha'"_s, u"250"_s, u"900"_s)},
        {ReportKind::SalesSummary,
         {},
         server,
         receivedOnce(salesSummary(serverFrom, serverTo, {}))},
        {ReportKind::SalesSummary, customerSectorTown, sqlite,
         receivedOnce(salesSummary(from, to, ids))},
        {ReportKind::SaleReturnRegister,
         {},
         sqlite,
         openEnded(saleReturnRegister(from, to, returnRange(u"1"_s, u"99999"_s), {}),
                   u" And r.salereturnid"_s, u"1"_s)},
        {ReportKind::SaleReturnRegister,
         {{u"invoice-from"_s, u"7x"_s}},
         sqlite,
         openEnded(saleReturnRegister(from, to, returnRange(u"7"_s, u"99999"_s), {}),
                   u" And r.salereturnid"_s, u"7"_s)},
        // A range box takes any text; the number it starts with enters the query.
        {ReportKind::SaleReturnRegister,
         plus(customerSectorTown, {{u"invoice-from"_s, u"25a"_s}, {u"invoice-to"_s, u"40"_s}}),
         sqlite, saleReturnRegister(from, to, returnRange(u"25"_s, u"40"_s), ids)},
        {ReportKind::SaleReturnsSummary, {}, server, saleReturnsSummary(serverFrom, serverTo, {})},
        {ReportKind::SaleReturnsSummary, customerSectorTown, sqlite,
         saleReturnsSummary(from, to, ids)},
        {ReportKind::CompanyWiseSale, {}, sqlite, withoutUnits(companyWiseSale(from, to, {}))},
        {ReportKind::CompanyWiseSale,
         {{u"customer"_s, u"C0002"_s}, {u"town"_s, u"3"_s}, {u"sector"_s, u"7"_s}},
         server,
         withoutUnits(companyWiseSale(
             serverFrom, serverTo,
             u" And CustomerId='C0002'  And  Towns.TownId= 3 And Sectors.SectorId= 7"_s))},
        {ReportKind::CompanySectorWiseSale,
         {{u"company"_s, u"11"_s}},
         sqlite,
         companySectorWiseSale(from, to, u"11"_s, {})},
        {ReportKind::CompanySectorWiseSale,
         {{u"company"_s, u"11"_s}, {u"sector"_s, u"7"_s}},
         server,
         companySectorWiseSale(serverFrom, serverTo, u"11"_s, u" And Sectors.SectorID=7"_s)},
        {ReportKind::CustomerTownSectorWiseSales,
         {},
         sqlite,
         customerTownSectorWiseSalesByLine(from, to, u" and t.TownID <> 0 "_s,
                                           u" and t.TownID <> 0 "_s)},
        {ReportKind::CustomerTownSectorWiseSales,
         plus(customerSectorTown, {{u"company"_s, u"11"_s}}), server,
         customerTownSectorWiseSalesByLine(
             serverFrom, serverTo,
             u" and t.TownID <> 0  and t.townid='3' and sr.sectorid='7' and c.partyid='C0001' "
             u"and Left(sb.productId,2) ='11'"_s,
             u" and t.TownID <> 0  and t.townid='3' and sr.sectorid='7' and c.partyid='C0001' "
             u"and Left(rb.productId,2) ='11'"_s)},
        {ReportKind::ProductWiseSales,
         {},
         sqlite,
         returnsOncePerSaleAndProduct(productWiseSales(from, to, {}))},
        {ReportKind::ProductWiseSales, plus(customerSectorTown, {{u"company"_s, u"11"_s}}), server,
         returnsOncePerSaleAndProduct(productWiseSales(
             serverFrom, serverTo,
             u"  And Left(SalesBody.ProductID,2)='11'   And Sales.CustomerId='C0001'   "
             u"And Towns.TownId= 3  And Sectors.SectorId= 7"_s))},
        {ReportKind::ProductSalesLedger,
         {{u"product"_s, u"11001"_s}},
         sqlite,
         orderedBySelectedName(productSalesLedger(from, to, u"11001"_s),
                               u" order by s.saleid,s.saledate"_s)},
        {ReportKind::ProductSaleReturnLedger,
         {{u"product"_s, u"11001"_s}},
         sqlite,
         orderedBySelectedName(productSaleReturnLedger(from, to, u"11001"_s),
                               u" order by r.salereturnid,r.SaleReturnDate"_s)},
        {ReportKind::SalesStockStatement,
         {},
         sqlite,
         dividingSafely(salesStockStatement(from, to, {}))},
        {ReportKind::SalesStockStatement,
         {{u"company"_s, u"12"_s}},
         sqlite,
         dividingSafely(salesStockStatement(from, to, u" and Companies.CompanyId ='12'"_s))},
    };
    for (const Case &c : cases) {
        const ReportEntry &entry = ReportCatalog::entry(c.kind);
        SCOPED_TRACE(entry.commandName.toStdString());
        const ReportCriteria criteria{QDate(2026, 4, 1), QDate(2026, 6, 30), c.boxes, {}};
        EXPECT_EQ(ReportCatalog::definition(entry)->query(criteria, c.dialect), c.expected);
    }
}
