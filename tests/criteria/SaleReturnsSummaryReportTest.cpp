#include "criteria/reports/SaleReturnsSummaryReport.h"
#include "LineFigures.h"
#include "ReportChecks.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"

#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

namespace {

ReportCriteria criteria(QDate from, QDate to, const QString &customer = {},
                        const QString &sector = {}, const QString &town = {})
{
    return {from, to, {{u"customer"_s, customer}, {u"sector"_s, sector}, {u"town"_s, town}}, {}};
}

const SaleReturnsSummaryReport &returnsSummary()
{
    return SaleReturnsSummaryReport::instance();
}

// A product left without a unit row, a return of a customer that does not exist and a return
// without lines.
QString cases()
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

// Every row and figure of the summary against the return tables, read one by one and put
// together here.
TEST(SaleReturnsSummaryReport, FiguresAgreeWithTheReturnsAndTheirLines)
{
    const auto connection = Connection::openSqlite(cases());
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
