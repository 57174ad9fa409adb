#include "criteria/reports/SalesSummaryReport.h"
#include "ReportChecks.h"
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
