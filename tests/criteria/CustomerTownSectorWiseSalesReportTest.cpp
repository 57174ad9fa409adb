#include "reports/CustomerTownSectorWiseSalesReport.h"
#include "DemoFixture.h"
#include "LineFigures.h"
#include "ReferenceQueries.h"
#include "ReportChecks.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"
#include "reports/HeadlessReport.h"
#include "reports/SaleReturnRegisterReport.h"
#include "reports/SalesRegisterReport.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

const CustomerTownSectorWiseSalesReport &ctsReport()
{
    return CustomerTownSectorWiseSalesReport::instance();
}

ReportCriteria criteria(QDate from, QDate to, const QString &town = {}, const QString &company = {})
{
    return {from, to, {{u"town"_s, town}, {u"company"_s, company}}, {}};
}

// The demo company, with one return booked to another party than its sale's customer, one
// booked in another sector than its sale's, and a line of company 98's product added to a
// third return, against a sale that has none.
QString casesDatabase()
{
    static const QString path = ReportChecks::demoCopy(
        u"cts.sqlite"_s,
        u"update SaleReturns set CustomerId = (select min(PartyId) from Parties "
        u"where IsCustomer = 1 and PartyId <> SaleReturns.CustomerId) "
        u"where SaleReturnId = (select min(r.SaleReturnId) from SaleReturns r "
        u"join Sales s on s.SaleId = r.SaleId join Sectors sr on sr.SectorId = s.SectorId "
        u"where sr.TownId <> 0 and s.SaleDate >= '2026-03-01');"
        u"update SaleReturns set SectorId = (select min(SectorId) from Sectors where SectorId "
        u"<> SaleReturns.SectorId) where SaleReturnId = (select r.SaleReturnId from "
        u"SaleReturns r join Sales s on s.SaleId = r.SaleId where s.SaleDate between "
        u"'2026-03-01' and '2026-05-31' order by r.SaleReturnId limit 1 offset 1);"
        u"insert into Companies values (98, 'Returns Only Traders');"
        u"insert into Products values ('98001', 'Returned Widget', 98, 1, 100, 0, 0, null);"
        u"insert into SaleReturnsBody select SaleReturnID, 99, '98001', 2, 0, 100, 10, 0, 5, 0, "
        u"180, 10, 1 from SaleReturns where SaleReturnID = (select max(r.SaleReturnId) from "
        u"SaleReturns r join Sales s on s.SaleId = r.SaleId join Sectors sr on sr.SectorId = "
        u"s.SectorId where sr.TownId <> 0 and s.SaleDate between '2026-03-01' and '2026-05-31')"_s);
    return path;
}

// One row of the analysis: town, sector and the sale's customer.
using Key = std::tuple<qint64, qint64, QString>;
struct Sums
{
    std::optional<double> sales, returns;
};

void add(std::optional<double> &sum, double value)
{
    sum = sum.value_or(0) + value;
}

// The analysis worked out from the raw rows: each sale line of the period under its sale's
// customer, sector and town; each line of a return against such a sale, in the sale's sector,
// under the same customer, whoever returned it and whenever. The company, if given, picks
// sale and return lines by the first two characters of their own products.
std::map<Key, Sums> expectedRows(const Connection &db, const QString &from, const QString &to,
                                 const QString &company = {})
{
    const auto sales =
        db.execute(u"select s.SaleId, s.CustomerId, s.SectorId, sb.ProductId, sb.Qty, sb.Price, "
                   u"sb.Discratio, sb.Discvalue, sb.stratio, sb.stvalue from Sales s "
                   u"join SalesBody sb on sb.SaleId = s.SaleId where s.SaleDate between '"_s +
                   from + u"' and '"_s + to + u"'"_s);
    const auto returns =
        db.execute(u"select r.SaleId, r.SectorId, rb.ProductId, rb.Qty, rb.Price, rb.Discratio, "
                   u"rb.Discvalue, rb.stratio, rb.stvalue from SaleReturns r "
                   u"join SaleReturnsBody rb on rb.SaleReturnId = r.SaleReturnId"_s);
    const auto sectors = db.execute(u"select SectorId, TownId from Sectors"_s);
    const auto towns = db.execute(u"select TownId from Towns"_s);
    const auto parties = db.execute(u"select PartyId from Parties"_s);

    std::set<qint64> townIds;
    for (int r = 0; r < towns->rowCount(); ++r)
        townIds.insert(qint64(towns->number(0, r)));
    std::set<QString> partyIds;
    for (int r = 0; r < parties->rowCount(); ++r)
        partyIds.insert(parties->text(0, r));
    std::map<qint64, qint64> townOf;
    for (int r = 0; r < sectors->rowCount(); ++r)
        townOf[qint64(sectors->number(0, r))] = qint64(sectors->number(1, r));

    auto companyOk = [&](const QString &product) {
        return company.isEmpty() || product.left(2) == company;
    };
    std::map<Key, Sums> expected;
    std::map<qint64, std::pair<Key, qint64>> rowOfSale; // sale -> its row and its sector
    for (int s = 0; s < sales->rowCount(); ++s) {
        const qint64 sector = qint64(sales->number(2, s));
        const auto town = townOf.find(sector);
        if (town == townOf.end() || !townIds.contains(town->second) || town->second == 0 ||
            !partyIds.contains(sales->text(1, s)))
            continue;
        const Key key{town->second, sector, sales->text(1, s)};
        rowOfSale[qint64(sales->number(0, s))] = {key, sector};
        if (companyOk(sales->text(3, s)))
            add(expected[key].sales, LineFigures::of(*sales, 4, s).net);
    }
    for (int r = 0; r < returns->rowCount(); ++r) {
        const auto sale = rowOfSale.find(qint64(returns->number(0, r)));
        if (sale == rowOfSale.end() || sale->second.second != qint64(returns->number(1, r)) ||
            !companyOk(returns->text(2, r)))
            continue;
        add(expected[sale->second.first].returns, LineFigures::of(*returns, 3, r).net);
    }
    return expected;
}

void expectSameRows(const ResultTable &rows, const std::map<Key, Sums> &expected)
{
    ASSERT_EQ(size_t(rows.rowCount()), expected.size());
    const int town = rows.columnIndex(u"townid"_s), sector = rows.columnIndex(u"sectorid"_s),
              party = rows.columnIndex(u"customerid"_s), company = rows.columnIndex(u"CompanyID"_s),
              sales = rows.columnIndex(u"SalesValue"_s),
              returns = rows.columnIndex(u"ReturnsValue"_s);
    const int townName = rows.columnIndex(u"townname"_s),
              sectorName = rows.columnIndex(u"sectorname"_s),
              partyName = rows.columnIndex(u"customername"_s);
    auto value = [&](int column, int r) {
        return rows.isNull(column, r) ? std::nullopt : std::optional(rows.number(column, r));
    };
    auto near = [](std::optional<double> got, std::optional<double> want) {
        return got.has_value() == want.has_value() && (!got || std::abs(*got - *want) < 1e-6);
    };
    for (int r = 0; r < rows.rowCount(); ++r) {
        const Key key{qint64(rows.number(town, r)), qint64(rows.number(sector, r)),
                      rows.text(party, r)};
        const auto found = expected.find(key);
        ASSERT_NE(found, expected.end()) << rows.text(party, r).toStdString();
        SCOPED_TRACE(rows.text(party, r).toStdString());
        EXPECT_TRUE(near(value(sales, r), found->second.sales)) << rows.number(sales, r);
        EXPECT_TRUE(near(value(returns, r), found->second.returns)) << rows.number(returns, r);
        EXPECT_TRUE(rows.isNull(company, r));
        if (r > 0) {
            // town name, then sector name, then customer name, case ignored
            const auto order = [&](int row) {
                return std::tuple(rows.text(townName, row).toLower(),
                                  rows.text(sectorName, row).toLower(),
                                  rows.text(partyName, row).toLower());
            };
            EXPECT_LE(order(r - 1), order(r)) << r;
        }
    }
}

double columnTotal(const ResultTable &rows, const QString &column)
{
    double total = 0;
    const int c = rows.columnIndex(column);
    for (int r = 0; r < rows.rowCount(); ++r)
        total += rows.number(c, r);
    return total;
}

} // namespace

// Every row and value against the analysis worked out here from the raw rows: sales with
// several return lines, a return booked to another party, invoices with two lines of one
// product and a return, and a return line of a company the sale never sold.
TEST(CustomerTownSectorWiseSalesReport, CountsEveryLineOnceUnderTheSalesCustomer)
{
    const auto db = Connection::openSqlite(casesDatabase());
    const QDate from(2026, 3, 1), to(2026, 5, 31);
    auto count = [&](const QString &sql) { return db->execute(sql)->number(0, 0); };
    // The cases worth having are in the data.
    const QString ofThePeriod = u" join Sales s on s.SaleId = r.SaleId where s.SaleDate between "
                                u"'2026-03-01' and '2026-05-31' "_s;
    ASSERT_GT(count(u"select count(*) from (select r.SaleId from SaleReturns r join "
                    u"SaleReturnsBody rb on rb.SaleReturnId = r.SaleReturnId"_s +
                    ofThePeriod + u"group by r.SaleId having count(*) > 1)"_s),
              0);
    for (const QString &other : {u"r.CustomerId <> s.CustomerId"_s, u"r.SectorId <> s.SectorId"_s})
        ASSERT_EQ(count(u"select count(*) from SaleReturns r"_s + ofThePeriod + u"and "_s + other),
                  1);
    ASSERT_GT(count(u"select count(*) from (select sb.SaleId from SalesBody sb join SaleReturns "
                    u"r on r.SaleId = sb.SaleId group by sb.SaleId, sb.ProductId "
                    u"having count(distinct sb.SrNo) > 1)"_s),
              0);

    struct Case
    {
        QString company;
        size_t fewestRows;
    };
    for (const Case &c : {Case{{}, 100}, Case{u"11"_s, 20}, Case{u"98"_s, 1}}) {
        SCOPED_TRACE(c.company.toStdString());
        Recordset rows;
        rows.open(ctsReport().query(criteria(from, to, {}, c.company), db->dialect()), *db);
        const auto expected = expectedRows(*db, u"2026-03-01"_s, u"2026-05-31"_s, c.company);
        ASSERT_GE(expected.size(), c.fewestRows);
        expectSameRows(*rows.rows(), expected);
    }

    // Town 0 has sales, but is never listed, even when asked for.
    ASSERT_GT(count(u"select count(*) from Sales s join Sectors sr on sr.SectorId = "
                    u"s.SectorId where sr.TownId = 0 and s.SaleDate >= '2026-03-01'"_s),
              0);
    HeadlessReport town0(ctsReport(), criteria(from, to, u"0"_s), *db);
    EXPECT_EQ(town0.build(), HeadlessReport::Outcome::Empty);
    EXPECT_EQ(town0.message().text, u"No record exists."_s);
}

// Over the whole book every return of the demo company is against a sale of the period, in
// its sector, so the analysis's sales and returns of each town foot to the two registers of
// that town; no customer whose returns are smaller than its sales shows a negative net.
TEST(CustomerTownSectorWiseSalesReport, TotalsAgreeWithTheRegisters)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    const QDate from(2024, 1, 1), to(2027, 12, 31);
    Recordset analysis;
    analysis.open(ctsReport().query(criteria(from, to), db->dialect()), *db);
    const ResultTable &rows = *analysis.rows();
    ASSERT_GT(rows.rowCount(), 100);

    const auto towns = db->execute(u"select TownId from Towns where TownId <> 0"_s);
    double registerSales = 0, registerReturns = 0;
    for (int t = 0; t < towns->rowCount(); ++t) {
        const QString town = towns->text(0, t);
        const ReportChecks::RegisterBoxes boxes{from, to, {}, {}, town, {}, {}};
        Recordset lines;
        lines.open(SalesRegisterReport::instance().query(boxes, db->dialect()), *db);
        registerSales += columnTotal(*lines.rows(), u"NetValue"_s);
        lines.open(SaleReturnRegisterReport::instance().query(boxes, db->dialect()), *db);
        registerReturns += columnTotal(*lines.rows(), u"NetValue"_s);
    }
    ASSERT_GT(registerReturns, 0);
    EXPECT_NEAR(columnTotal(rows, u"SalesValue"_s), registerSales, 1e-4);
    EXPECT_NEAR(columnTotal(rows, u"ReturnsValue"_s), registerReturns, 1e-4);

    const int sales = rows.columnIndex(u"SalesValue"_s),
              returns = rows.columnIndex(u"ReturnsValue"_s);
    for (int r = 0; r < rows.rowCount(); ++r)
        EXPECT_GE(rows.number(sales, r), rows.number(returns, r)) << r;
}

// The rewritten query answers with the columns of the documented one, in the same order.
TEST(CustomerTownSectorWiseSalesReport, KeepsTheDocumentedColumns)
{
    const auto db = Connection::openSqlite(casesDatabase());
    Recordset documented, mended;
    const QString from = u"2026-05-01"_s, to = u"2026-05-31"_s;
    documented.open(
        ReferenceQueries::customerTownSectorWiseSales(from, to, u" and t.TownID <> 0 "_s), *db);
    mended.open(ctsReport().query(criteria(QDate(2026, 5, 1), QDate(2026, 5, 31)), db->dialect()),
                *db);
    ASSERT_GT(mended.recordCount(), 0);
    EXPECT_EQ(mended.rows()->columnNames(), documented.rows()->columnNames());
}
