#include "criteria/reports/SaleReturnRegisterReport.h"
#include "LineFigures.h"
#include "ReferenceQueries.h"
#include "ReportChecks.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"

#include <gtest/gtest.h>
#include <map>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

using Criteria = ReportChecks::RegisterBoxes;

const SaleReturnRegisterReport &returnRegister()
{
    return SaleReturnRegisterReport::instance();
}

QString range(const QString &low, const QString &high)
{
    return u" And r.salereturnid between "_s + low + u" and "_s + high;
}

} // namespace

TEST(SaleReturnRegisterQuery, HoldsToTheRegisterTextWithTheRangeBeforeTheIds)
{
    const QDate from(2026, 4, 1), to(2026, 4, 15);
    auto reference = [](const QString &range, const QString &clauses) {
        return ReferenceQueries::saleReturnRegister(u"2026-04-01"_s, u"2026-04-15"_s, range,
                                                    clauses);
    };
    Criteria c{from, to, {}, {}, {}, {}, {}};
    EXPECT_EQ(returnRegister().query(c, SqlDialect::Sqlite),
              reference(range(u"1"_s, u"99999"_s), {}));
    EXPECT_EQ(SaleReturnRegisterReport::invoiceText(c), u"Invoiceno Between : 1 To 99999"_s);

    c = {from, to, u"C0001"_s, u"7"_s, u"3"_s, u"25"_s, u"40"_s};
    EXPECT_EQ(returnRegister().query(c, SqlDialect::Sqlite),
              reference(range(u"25"_s, u"40"_s),
                        u" and c.partyid='C0001' and sr.sectorid='7' and t.townid='3'"_s));
    EXPECT_EQ(SaleReturnRegisterReport::invoiceText(c), u"Invoiceno Between : 25 To 40"_s);

    // The range boxes take any text: the number it starts with enters the query, the text as
    // typed enters the range line. Boxes of blanks restrict nothing.
    c = {from, to, u"   "_s, {}, u" 3"_s, u"12a"_s, {}};
    EXPECT_EQ(returnRegister().query(c, SqlDialect::Sqlite),
              reference(range(u"12"_s, u"99999"_s), u" and t.townid=' 3'"_s));
    EXPECT_EQ(SaleReturnRegisterReport::invoiceText(c), u"Invoiceno Between : 12a To 99999"_s);
    c = {from, to, {}, {}, {}, u"abc"_s, u"  "_s};
    EXPECT_EQ(returnRegister().query(c, SqlDialect::Sqlite),
              reference(range(u"0"_s, u"99999"_s), {}));
    EXPECT_EQ(SaleReturnRegisterReport::invoiceText(c), u"Invoiceno Between : abc To 99999"_s);
    c = {from, to, {}, {}, {}, {}, u"040"_s};
    EXPECT_EQ(returnRegister().query(c, SqlDialect::Sqlite), reference(range(u"1"_s, u"40"_s), {}));
    EXPECT_EQ(SaleReturnRegisterReport::invoiceText(c), u"Invoiceno Between : 1 To 040"_s);

    // Apostrophes typed into the ids are doubled; a range box cannot carry one into the query.
    c = {from, to, u"O'Ha"_s, u"' or 1=1"_s, {}, u"1' or"_s, {}};
    EXPECT_EQ(returnRegister().query(c, SqlDialect::Sqlite),
              reference(range(u"1"_s, u"99999"_s),
                        u" and c.partyid='O''Ha' and sr.sectorid=''' or 1=1'"_s));

    c = {from, to, {}, {}, {}, {}, {}};
    EXPECT_EQ(returnRegister().query(c, SqlDialect::SqlServer),
              ReferenceQueries::saleReturnRegister(u"20260401"_s, u"20260415"_s,
                                                   range(u"1"_s, u"99999"_s), {}));
}

// Every line of the register against the return tables, read one by one and put together
// here. The copy of the demo company has a product without a unit row, a return of a customer
// that does not exist and a return numbered above 99999: none of their lines may be listed.
TEST(SaleReturnRegisterReport, LinesAgreeWithTheReturnTables)
{
    const QString cases = ReportChecks::demoCopy(
        u"return-register-cases.sqlite"_s,
        u"update Products set UnitID = 99 where ProductId = (select min(ProductId) from "
        u"SaleReturnsBody where SaleReturnID = 20);"
        u"update SaleReturns set CustomerId = 'NOONE' where SaleReturnID = 9;"
        u"insert into SaleReturns select 100000, SaleReturnDate, SaleId, CustomerId, SectorId, "
        u"0, 0, 0, 0, 0 from SaleReturns where SaleReturnID = 10;"
        u"insert into SaleReturnsBody select 100000, SrNo, ProductId, Qty, Bonus, Price, "
        u"Discratio, Discvalue, stratio, stvalue, TTLValue, TTLSalestax, Multiplier from "
        u"SaleReturnsBody where SaleReturnID = 10;"_s);
    const auto connection = Connection::openSqlite(cases);

    using ReportChecks::byKey;
    const auto parties = byKey(*connection, u"select PartyId, PartyName from Parties"_s);
    const auto products =
        byKey(*connection, u"select ProductId, ProductName, UnitID from Products"_s);
    const auto units = byKey(*connection, u"select UnitID, UnitName from Units"_s);
    const auto sectors = byKey(*connection, u"select SectorId, SectorName, TownId from Sectors"_s);
    const auto towns = byKey(*connection, u"select TownId, TownName from Towns"_s);

    // One line as the register lists it: its key for ordering, then its values.
    using Line = std::tuple<qint64, QString, double, double, QStringList, std::vector<double>>;
    std::vector<Line> expected;
    const auto heads = connection->execute(
        u"select SaleReturnID, SaleReturnDate, SaleId, CustomerId, SectorId, SpecialDiscount, "
        u"PaidAmount, ComRatio, ExpMinus, ExpPlus from SaleReturns"_s);
    const auto body = connection->execute(
        u"select SaleReturnID, ProductId, Bonus, Qty, Price, Discratio, Discvalue, stratio, "
        u"stvalue, Multiplier from SaleReturnsBody"_s);
    std::map<qint64, int> headRow;
    for (int r = 0; r < heads->rowCount(); ++r)
        headRow[qint64(heads->number(0, r))] = r;
    int leftOutForUnits = 0;
    for (int b = 0; b < body->rowCount(); ++b) {
        const qint64 id = qint64(body->number(0, b));
        const int h = headRow.at(id);
        if (id < 5 || id > 60 || heads->text(1, h) < u"2025-07-01"_s ||
            heads->text(1, h) > u"2026-06-30"_s)
            continue;
        const auto party = parties.find(heads->text(3, h).toUpper());
        const auto sector = sectors.find(heads->text(4, h));
        const auto product = products.find(body->text(1, b).toUpper());
        if (party == parties.end() || sector == sectors.end() || product == products.end() ||
            !towns.contains(sector->second[1]))
            continue;
        const auto unit = units.find(product->second[1]);
        if (unit == units.end()) {
            ++leftOutForUnits;
            continue;
        }
        const LineFigures f = LineFigures::of(*body, 3, b);
        expected.emplace_back(
            id, body->text(1, b), body->number(3, b), body->number(4, b),
            QStringList{sector->second[0], towns.at(sector->second[1])[0], heads->text(1, h),
                        heads->text(2, h), party->second[0], product->second[0], unit->second[0]},
            std::vector<double>{body->number(2, b), f.gross, f.discount, f.tax, f.net,
                                heads->number(5, h), heads->number(6, h), heads->number(7, h),
                                heads->number(8, h), heads->number(9, h), body->number(9, b)});
    }
    ASSERT_GT(leftOutForUnits, 0);
    ASSERT_GT(expected.size(), 40u);

    Recordset rows;
    rows.open(returnRegister().query(
                  Criteria{QDate(2025, 7, 1), QDate(2026, 6, 30), {}, {}, {}, u"5x"_s, u"60"_s},
                  connection->dialect()),
              *connection);
    const ResultTable &t = *rows.rows();
    EXPECT_EQ(
        t.columnNames(),
        (QStringList{u"sectorname"_s, u"townname"_s,     u"salereturnid"_s, u"Salereturndate"_s,
                     u"saleid"_s,     u"customername"_s, u"productid"_s,    u"productname"_s,
                     u"qty"_s,        u"bonus"_s,        u"price"_s,        u"Grossvalue"_s,
                     u"Totaldisc"_s,  u"salestax"_s,     u"NetValue"_s,     u"SpecialDiscount"_s,
                     u"PaidAmount"_s, u"ComRatio"_s,     u"ExpMinus"_s,     u"ExpPlus"_s,
                     u"UnitName"_s,   u"Multiplier"_s}));
    ASSERT_EQ(t.rowCount(), int(expected.size()));
    std::vector<Line> listed;
    for (int r = 0; r < t.rowCount(); ++r) {
        auto col = [&](const char *name) { return t.columnIndex(QString::fromLatin1(name)); };
        listed.emplace_back(
            qint64(t.number(col("salereturnid"), r)), t.text(col("productid"), r),
            t.number(col("qty"), r), t.number(col("price"), r),
            QStringList{t.text(col("sectorname"), r), t.text(col("townname"), r),
                        t.text(col("Salereturndate"), r), t.text(col("saleid"), r),
                        t.text(col("customername"), r), t.text(col("productname"), r),
                        t.text(col("UnitName"), r)},
            std::vector<double>{t.number(col("bonus"), r), t.number(col("Grossvalue"), r),
                                t.number(col("Totaldisc"), r), t.number(col("salestax"), r),
                                t.number(col("NetValue"), r), t.number(col("SpecialDiscount"), r),
                                t.number(col("PaidAmount"), r), t.number(col("ComRatio"), r),
                                t.number(col("ExpMinus"), r), t.number(col("ExpPlus"), r),
                                t.number(col("Multiplier"), r)});
        if (r > 0) { // by return, then product (a return has one sector and town)
            const Line &before = listed[size_t(r - 1)];
            EXPECT_LE(std::tie(std::get<0>(before), std::get<1>(before)),
                      std::tie(std::get<0>(listed.back()), std::get<1>(listed.back())));
        }
    }
    // Lines of one product within a return may come in either order: compare as sorted.
    auto key = [](const Line &l) {
        return std::tie(std::get<0>(l), std::get<1>(l), std::get<2>(l), std::get<3>(l));
    };
    auto byLine = [&](const Line &a, const Line &b) { return key(a) < key(b); };
    std::ranges::stable_sort(expected, byLine);
    std::ranges::stable_sort(listed, byLine);
    for (size_t k = 0; k < expected.size(); ++k) {
        SCOPED_TRACE(std::get<0>(expected[k]));
        EXPECT_EQ(std::get<0>(listed[k]), std::get<0>(expected[k]));
        EXPECT_EQ(std::get<1>(listed[k]), std::get<1>(expected[k]));
        EXPECT_EQ(std::get<2>(listed[k]), std::get<2>(expected[k]));
        EXPECT_EQ(std::get<3>(listed[k]), std::get<3>(expected[k]));
        EXPECT_EQ(std::get<4>(listed[k]), std::get<4>(expected[k]));
        const auto &values = std::get<5>(expected[k]);
        for (size_t v = 0; v < values.size(); ++v)
            EXPECT_NEAR(std::get<5>(listed[k])[v], values[v], 1e-6) << "value " << v;
    }

    // With both range boxes empty the range is 1 to 99999: return 100000 is never listed.
    rows.open(
        returnRegister().query(Criteria{QDate(2025, 7, 1), QDate(2026, 6, 30), {}, {}, {}, {}, {}},
                               connection->dialect()),
        *connection);
    ASSERT_GT(rows.recordCount(), int(expected.size()));
    for (int r = 0; r < rows.recordCount(); ++r)
        ASSERT_LE(rows.rows()->number(2, r), 99999);
}
