// The sales register and the sale return register: their lines and figures.
#include "DemoFixture.h"
#include "LineFigures.h"
#include "ReportChecks.h"
#include "reports/HeadlessReport.h"
#include "reports/SaleReturnRegisterReport.h"
#include "reports/SalesRegisterReport.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"

#include <gtest/gtest.h>
#include <map>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

using Criteria = ReportChecks::RegisterBoxes;

const SalesRegisterReport &salesRegister()
{
    return SalesRegisterReport::instance();
}

const SaleReturnRegisterReport &returnRegister()
{
    return SaleReturnRegisterReport::instance();
}

} // namespace

// The register's rows and figures against the invoice lines, computed here from their columns.
TEST(SalesRegisterReport, FiguresAgreeWithTheInvoiceLines)
{
    const auto connection = Connection::openSqlite(DemoFixture::path());
    const Criteria c{QDate(2026, 3, 1), QDate(2026, 5, 31), {}, {}, u"3"_s, u"10"_s, u"99999"_s};
    Recordset rows;
    rows.open(salesRegister().query(c, connection->dialect()), *connection);
    ASSERT_GT(rows.recordCount(), 20);

    // The lines: sales of the period in town 3 (through the sale's sector), invoices 10 and up.
    const auto lines = connection->execute(
        u"select s.SaleId, sb.Qty, sb.Price, sb.Discratio, sb.Discvalue, sb.stratio, sb.stvalue, "
        u"sb.TTLValue, sb.TTLSalestax from Sales s join SalesBody sb on sb.SaleId = s.SaleId "
        u"join Sectors sr on sr.SectorId = s.SectorId where sr.TownId = 3 and s.SaleId >= 10 "
        u"and s.SaleDate >= '2026-03-01' and s.SaleDate <= '2026-05-31'"_s);
    struct Totals : LineFigures
    {
        double stored = 0;
        int lines = 0;
    };
    std::map<qint64, Totals> expected;
    for (int r = 0; r < lines->rowCount(); ++r) {
        Totals &t = expected[qint64(lines->number(0, r))];
        t += LineFigures::of(*lines, 1, r);
        t.stored += lines->number(7, r) + lines->number(8, r);
        t.lines += 1;
    }
    ASSERT_EQ(rows.recordCount(), lines->rowCount());

    std::map<qint64, Totals> listed;
    const ResultTable &table = *rows.rows();
    qint64 previous = -1;
    for (int r = 0; r < table.rowCount(); ++r) {
        const qint64 invoice = qint64(table.number(table.columnIndex(u"saleid"_s), r));
        EXPECT_GE(invoice, previous); // invoice order
        previous = invoice;
        Totals &t = listed[invoice];
        t.gross += table.number(table.columnIndex(u"Grossvalue"_s), r);
        t.discount += table.number(table.columnIndex(u"Totaldisc"_s), r);
        t.tax += table.number(table.columnIndex(u"Salestax"_s), r);
        t.net += table.number(table.columnIndex(u"NetValue"_s), r);
        t.lines += 1;
    }
    ASSERT_EQ(listed.size(), expected.size());
    for (const auto &[invoice, e] : expected) {
        const Totals &l = listed[invoice];
        EXPECT_EQ(l.lines, e.lines) << invoice;
        EXPECT_NEAR(l.gross, e.gross, 1e-6) << invoice;
        EXPECT_NEAR(l.discount, e.discount, 1e-6) << invoice;
        EXPECT_NEAR(l.tax, e.tax, 1e-6) << invoice;
        EXPECT_NEAR(l.net, e.net, 1e-6) << invoice;
        EXPECT_NEAR(l.net, e.stored, 0.01 * e.lines)
            << invoice; // the stored totals, to the cent a line
    }

    // The printed invoice totals and grand total say the same.
    std::unique_ptr<Report> report = salesRegister().makeReport(c, rows, *connection);
    using ReportChecks::amount, ReportChecks::printed;
    const QStringList printedNets = printed(*report, u"sumGroup1NetValue"_s);
    ASSERT_EQ(size_t(printedNets.size()), expected.size());
    double total = 0;
    qsizetype i = 0;
    for (const auto &[invoice, e] : expected) {
        EXPECT_NEAR(amount(printedNets[i++]), e.net, 0.005) << invoice;
        total += e.net;
    }
    EXPECT_NEAR(amount(printed(*report, u"sumNetValue"_s).value(0)), total, 0.005);
}

// Built without its window, the report shows what its window would: the names of the ids
// given, looked up as leaving their boxes looks them up, in the line saying what it covers.
TEST(SalesRegisterReport, HeadlessBuildNamesItsCriteria)
{
    const auto connection = Connection::openSqlite(DemoFixture::path());
    const QString customer =
        connection->execute(u"select CustomerId from Sales order by SaleId limit 1"_s)->text(0, 0);
    const QString customerName =
        connection
            ->execute(u"select PartyName from Parties where PartyId = '"_s + customer + u"'"_s)
            ->text(0, 0);
    HeadlessReport found(
        salesRegister(),
        Criteria{QDate(2025, 7, 1), QDate(2026, 6, 30), customer, {}, {}, {}, u"400"_s},
        *connection);
    ASSERT_EQ(found.build(), HeadlessReport::Outcome::Built);
    EXPECT_EQ(found.report()->criteriaLine(),
              u"Period 01-Jul-2025 to 30-Jun-2026 \u00B7 Customer "_s + customer + u" "_s +
                  customerName + u" \u00B7 To invoice 400"_s);
    EXPECT_EQ(found.report()->rowCount(), found.rows().recordCount());
    EXPECT_EQ(found.sqlText(), salesRegister().query(found.criteria(), connection->dialect()));
}

// Every line of the register against the return tables, read one by one and put together
// here. The copy of the demo company has a product without a unit row and a return of a
// customer that does not exist, whose lines may not be listed, and a return numbered 100000.
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
    using Line = std::tuple<qint64, QString, double, double, QStringList, LineFigures>;
    std::vector<Line> expected;
    const auto heads = connection->execute(
        u"select SaleReturnID, SaleReturnDate, SaleId, CustomerId, SectorId from SaleReturns"_s);
    const auto body = connection->execute(
        u"select SaleReturnID, ProductId, Bonus, Qty, Price, Discratio, Discvalue, stratio, "
        u"stvalue from SaleReturnsBody"_s);
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
        expected.emplace_back(id, body->text(1, b), body->number(3, b), body->number(4, b),
                              QStringList{sector->second[0], towns.at(sector->second[1])[0],
                                          heads->text(1, h), party->second[0], product->second[0],
                                          unit->second[0]},
                              LineFigures::of(*body, 3, b));
    }
    ASSERT_GT(leftOutForUnits, 0);
    ASSERT_GT(expected.size(), 40u);

    Recordset rows;
    rows.open(returnRegister().query(
                  Criteria{QDate(2025, 7, 1), QDate(2026, 6, 30), {}, {}, {}, u"5x"_s, u"60"_s},
                  connection->dialect()),
              *connection);
    const ResultTable &t = *rows.rows();
    ASSERT_EQ(t.rowCount(), int(expected.size()));
    std::vector<Line> listed;
    for (int r = 0; r < t.rowCount(); ++r) {
        auto col = [&](const char *name) { return t.columnIndex(QString::fromLatin1(name)); };
        listed.emplace_back(
            qint64(t.number(col("salereturnid"), r)), t.text(col("productid"), r),
            t.number(col("qty"), r), t.number(col("price"), r),
            QStringList{t.text(col("sectorname"), r), t.text(col("townname"), r),
                        t.text(col("Salereturndate"), r), t.text(col("customername"), r),
                        t.text(col("productname"), r), t.text(col("UnitName"), r)},
            LineFigures{t.number(col("Grossvalue"), r), t.number(col("Totaldisc"), r),
                        t.number(col("salestax"), r), t.number(col("NetValue"), r)});
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
        EXPECT_EQ(key(listed[k]), key(expected[k]));
        EXPECT_EQ(std::get<4>(listed[k]), std::get<4>(expected[k]));
        const LineFigures &e = std::get<5>(expected[k]), &l = std::get<5>(listed[k]);
        for (auto [got, want] : {std::pair(l.gross, e.gross), std::pair(l.discount, e.discount),
                                 std::pair(l.tax, e.tax), std::pair(l.net, e.net)})
            EXPECT_NEAR(got, want, 1e-6);
    }

    // With both range boxes empty the range has no upper end: return 100000 is listed too.
    rows.open(
        returnRegister().query(Criteria{QDate(2025, 7, 1), QDate(2026, 6, 30), {}, {}, {}, {}, {}},
                               connection->dialect()),
        *connection);
    ASSERT_GT(rows.recordCount(), int(expected.size()));
    EXPECT_EQ(rows.rows()->number(2, rows.recordCount() - 1), 100000);
}
