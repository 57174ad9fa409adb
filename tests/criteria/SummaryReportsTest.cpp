// The sales summary and the sale returns summary: one row and its figures per document.
#include "LineFigures.h"
#include "ReportChecks.h"
#include "reports/SaleReturnsSummaryReport.h"
#include "reports/SalesSummaryReport.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <ranges>

using namespace Qt::StringLiterals;

namespace {

ReportCriteria criteria(QDate from, QDate to, const QString &customer = {},
                        const QString &sector = {}, const QString &town = {})
{
    return {from, to, {{u"customer"_s, customer}, {u"sector"_s, sector}, {u"town"_s, town}}, {}};
}

const SalesSummaryReport &summary()
{
    return SalesSummaryReport::instance();
}

const SaleReturnsSummaryReport &returnsSummary()
{
    return SaleReturnsSummaryReport::instance();
}

// A product left without a unit row, a return of a customer that does not exist and a return
// without lines.
QString returnCases()
{
    static const QString file = ReportChecks::demoCopy(
        u"returns-summary-cases.sqlite"_s,
        u"update Products set UnitID = 99 where ProductId in (select ProductId from "
        u"SaleReturnsBody where SaleReturnID in (12, 30));"
        u"update SaleReturns set CustomerId = 'NOONE' where SaleReturnID = (select "
        u"min(SaleReturnID) from SaleReturns where SaleReturnDate >= '2026-01-01');"
        u"insert into SaleReturns select 99990, SaleReturnDate, SaleId, CustomerId, SectorId, "
        u"0, 0, 0, 0, 0 from SaleReturns where SaleReturnID = (select max(SaleReturnID) from "
        u"SaleReturns);"_s);
    return file;
}

} // namespace

// Every row and figure of the summary against the invoices and their lines, read table by
// table and put together here. The copy of the demo company adds an invoice without lines and
// gives one invoice a customer that does not exist: neither may be listed.
TEST(SalesSummaryReport, FiguresAgreeWithTheInvoicesAndTheirLines)
{
    const QString cases = ReportChecks::demoCopy(
        u"summary-cases.sqlite"_s,
        u"insert into Sales select 99990, '2026-04-10', CustomerId, SectorId, 500 from Sales "
        u"where SaleDate >= '2026-04-01' limit 1;"
        u"update Sales set CustomerId = 'NOONE' where SaleId = (select min(SaleId) from Sales "
        u"where SaleDate >= '2026-04-01');"_s);
    const auto connection = Connection::openSqlite(cases);
    const QString first = u"2026-03-01"_s, last = u"2026-05-31"_s;

    const auto parties =
        ReportChecks::byKey(*connection, u"select PartyId, PartyName from Parties"_s);
    const auto sectors =
        ReportChecks::byKey(*connection, u"select SectorId, SectorName, TownId from Sectors"_s);
    const auto towns = ReportChecks::byKey(*connection, u"select TownId, TownName from Towns"_s);

    struct Invoice
    {
        QString date, customer, sector, town, sectorId, townId;
        double gross = 0, discount = 0, tax = 0, net = 0, received = 0;
        int lines = 0;
    };
    std::map<qint64, Invoice> invoices;
    const auto sales = connection->execute(
        u"select SaleId, SaleDate, CustomerId, SectorId, ReceivedAmount from Sales"_s);
    for (int r = 0; r < sales->rowCount(); ++r) {
        const QString date = sales->text(1, r);
        const auto party = parties.find(sales->text(2, r).toUpper());
        const auto sector = sectors.find(sales->text(3, r));
        if (date < first || date > last || party == parties.end() || sector == sectors.end() ||
            !towns.contains(sector->second[1]))
            continue;
        Invoice &i = invoices[qint64(sales->number(0, r))];
        i = {date,          party->second[0], sector->second[0], towns.at(sector->second[1])[0],
             sector->first, sector->second[1]};
        i.received = sales->number(4, r);
    }
    const auto lines = connection->execute(
        u"select SaleId, Qty, Price, Discratio, Discvalue, stratio, stvalue, TTLValue, "
        u"TTLSalestax from SalesBody"_s);
    for (int r = 0; r < lines->rowCount(); ++r) {
        const auto invoice = invoices.find(qint64(lines->number(0, r)));
        if (invoice == invoices.end())
            continue;
        const double qty = lines->number(1, r), price = lines->number(2, r);
        Invoice &i = invoice->second;
        i.gross += qty * price;
        i.discount += qty * (price * lines->number(3, r) / 100 + lines->number(4, r));
        i.tax += qty * (price * lines->number(5, r) / 100 + lines->number(6, r));
        i.net += lines->number(7, r) + lines->number(8, r);
        i.lines += 1;
    }
    std::erase_if(invoices, [](const auto &i) { return i.second.lines == 0; });
    ASSERT_FALSE(invoices.contains(99990));
    // Invoices of several lines with money received: where adding the received amount up over
    // the lines would show it several times over.
    ASSERT_GT(
        std::ranges::count_if(
            invoices, [](const auto &i) { return i.second.lines > 1 && i.second.received > 0; }),
        20);

    Recordset rows;
    rows.open(
        summary().query(criteria(QDate(2026, 3, 1), QDate(2026, 5, 31)), connection->dialect()),
        *connection);
    const ResultTable &table = *rows.rows();
    ASSERT_EQ(table.rowCount(), int(invoices.size()));
    int r = 0;
    for (const auto &[id, i] : invoices) { // in invoice order
        SCOPED_TRACE(id);
        EXPECT_EQ(qint64(table.number(0, r)), id);
        EXPECT_EQ(table.text(1, r), i.date);
        EXPECT_EQ(table.text(2, r), i.customer);
        EXPECT_EQ(table.text(3, r), i.sector);
        EXPECT_EQ(table.text(4, r), i.town);
        EXPECT_EQ(table.text(5, r), i.sectorId);
        EXPECT_EQ(table.text(6, r), i.townId);
        EXPECT_NEAR(table.number(7, r), i.gross, 1e-6);
        EXPECT_NEAR(table.number(8, r), i.discount, 1e-6);
        EXPECT_NEAR(table.number(9, r), i.tax, 1e-6);
        EXPECT_NEAR(table.number(10, r), i.net, 1e-6);
        EXPECT_DOUBLE_EQ(table.number(11, r), i.received);
        ++r;
    }
}

// Every row and figure of the summary against the return tables, read one by one and put
// together here.
TEST(SaleReturnsSummaryReport, FiguresAgreeWithTheReturnsAndTheirLines)
{
    const auto connection = Connection::openSqlite(returnCases());
    using ReportChecks::byKey;
    const auto parties = byKey(*connection, u"select PartyId, PartyName from Parties"_s);
    const auto sectors = byKey(*connection, u"select SectorId, SectorName, TownId from Sectors"_s);
    const auto towns = byKey(*connection, u"select TownId, TownName from Towns"_s);

    struct Return : LineFigures
    {
        QStringList texts; // date, sale, customer, sector, town, town id, sector id
        int lines = 0;
    };
    std::map<qint64, Return> returns;
    const auto heads = connection->execute(
        u"select SaleReturnID, SaleReturnDate, SaleId, CustomerId, SectorId from SaleReturns"_s);
    for (int r = 0; r < heads->rowCount(); ++r) {
        const QString date = heads->text(1, r);
        const auto party = parties.find(heads->text(3, r).toUpper());
        const auto sector = sectors.find(heads->text(4, r));
        if (date < u"2025-10-01"_s || date > u"2026-06-30"_s || party == parties.end() ||
            sector == sectors.end() || !towns.contains(sector->second[1]))
            continue;
        returns[qint64(heads->number(0, r))].texts = QStringList{date,
                                                                 heads->text(2, r),
                                                                 party->second[0],
                                                                 sector->second[0],
                                                                 towns.at(sector->second[1])[0],
                                                                 sector->second[1],
                                                                 heads->text(4, r)};
    }
    const auto body = connection->execute(
        u"select SaleReturnID, Qty, Price, Discratio, Discvalue, stratio, stvalue "
        u"from SaleReturnsBody"_s);
    for (int b = 0; b < body->rowCount(); ++b) {
        const auto found = returns.find(qint64(body->number(0, b)));
        if (found == returns.end())
            continue;
        found->second += LineFigures::of(*body, 1, b);
        found->second.lines += 1;
    }
    ASSERT_TRUE(returns.contains(99990));
    std::erase_if(returns, [](const auto &r) { return r.second.lines == 0; });
    const auto nobody = connection->execute(
        u"select SaleReturnID, SaleReturnDate from SaleReturns where CustomerId = 'NOONE'"_s);
    ASSERT_EQ(nobody->rowCount(), 1);
    ASSERT_GE(nobody->text(1, 0), u"2026-01-01"_s);
    ASSERT_FALSE(returns.contains(qint64(nobody->number(0, 0))));
    ASSERT_GT(std::ranges::count_if(returns, [](const auto &r) { return r.second.lines > 1; }), 5);

    Recordset rows;
    rows.open(returnsSummary().query(criteria(QDate(2025, 10, 1), QDate(2026, 6, 30)),
                                     connection->dialect()),
              *connection);
    const ResultTable &t = *rows.rows();
    ASSERT_EQ(t.rowCount(), int(returns.size()));
    int r = 0;
    for (const auto &[id, e] : returns) { // by return number
        SCOPED_TRACE(id);
        EXPECT_EQ(qint64(t.number(0, r)), id);
        EXPECT_EQ((QStringList{t.text(1, r), t.text(2, r), t.text(3, r), t.text(4, r), t.text(5, r),
                               t.text(10, r), t.text(11, r)}),
                  e.texts);
        EXPECT_NEAR(t.number(6, r), e.gross, 1e-6);
        EXPECT_NEAR(t.number(7, r), e.discount, 1e-6);
        EXPECT_NEAR(t.number(8, r), e.tax, 1e-6);
        EXPECT_NEAR(t.number(9, r), e.net, 1e-6);
        ++r;
    }
}
