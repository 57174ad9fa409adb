#include "reports/CustomerTownSectorWiseSalesReport.h"
#include "LineFigures.h"
#include "ReportChecks.h"
#include "reports/HeadlessReport.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"

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

ReportCriteria criteria(QDate from, QDate to, const QString &town = {})
{
    return {from, to, {{u"town"_s, town}}, {}};
}

// The demo company, with one return booked to another party than its sale's customer.
QString databaseWithForeignReturn()
{
    static const QString path = ReportChecks::demoCopy(
        u"cts.sqlite"_s,
        u"update SaleReturns set CustomerId = (select min(PartyId) from Parties "
        u"where IsCustomer = 1 and PartyId <> SaleReturns.CustomerId) "
        u"where SaleReturnId = (select min(r.SaleReturnId) from SaleReturns r "
        u"join Sales s on s.SaleId = r.SaleId join Sectors sr on sr.SectorId = s.SectorId "
        u"where sr.TownId <> 0 and s.SaleDate >= '2026-03-01')"_s);
    return path;
}

// One row of the analysis: town, sector, party and the company whose id equals the returned
// product's id.
using Key = std::tuple<qint64, qint64, QString, std::optional<qint64>>;
struct Sums
{
    double sales = 0;
    double returns = 0;
    bool returned = false;
};

// The analysis worked out from the raw rows: each sale line of the period joined to every
// return line recorded against its sale in the same sector (or to nothing), and each joined
// row given to the sale's customer and to the return's party.
std::map<Key, Sums> expectedRows(const Connection &db, const QString &from, const QString &to)
{
    const auto sales =
        db.execute(u"select s.SaleId, s.CustomerId, s.SectorId, sb.ProductId, sb.Qty, sb.Price, "
                   u"sb.Discratio, sb.Discvalue, sb.stratio, sb.stvalue from Sales s "
                   u"join SalesBody sb on sb.SaleId = s.SaleId where s.SaleDate between '"_s +
                   from + u"' and '"_s + to + u"'"_s);
    const auto returns = db.execute(
        u"select r.SaleReturnId, r.SaleId, r.SectorId, r.CustomerId, rb.ProductId, rb.Qty, "
        u"rb.Price, rb.Discratio, rb.Discvalue, rb.stratio, rb.stvalue from SaleReturns r "
        u"left join SaleReturnsBody rb on rb.SaleReturnId = r.SaleReturnId"_s);
    const auto sectors = db.execute(u"select SectorId, TownId from Sectors"_s);
    const auto towns = db.execute(u"select TownId from Towns"_s);
    const auto companies = db.execute(u"select CompanyId from Companies"_s);
    const auto parties = db.execute(u"select PartyId from Parties"_s);

    std::set<qint64> townIds, companyIds;
    for (int r = 0; r < towns->rowCount(); ++r)
        townIds.insert(qint64(towns->number(0, r)));
    for (int r = 0; r < companies->rowCount(); ++r)
        companyIds.insert(qint64(companies->number(0, r)));
    std::set<QString> partyIds;
    for (int r = 0; r < parties->rowCount(); ++r)
        partyIds.insert(parties->text(0, r));
    std::map<qint64, qint64> townOf;
    for (int r = 0; r < sectors->rowCount(); ++r)
        townOf[qint64(sectors->number(0, r))] = qint64(sectors->number(1, r));
    std::multimap<std::pair<qint64, qint64>, int> returnsOf; // (sale, sector) -> return line
    for (int r = 0; r < returns->rowCount(); ++r)
        returnsOf.emplace(std::pair(qint64(returns->number(1, r)), qint64(returns->number(2, r))),
                          r);

    std::map<Key, Sums> expected;
    for (int s = 0; s < sales->rowCount(); ++s) {
        const qint64 sector = qint64(sales->number(2, s));
        if (!townOf.contains(sector) || !townIds.contains(townOf[sector]))
            continue;
        const qint64 townId = townOf[sector];
        if (townId == 0)
            continue;
        const double saleNet = LineFigures::of(*sales, 4, s).net;
        std::vector<int> joined;
        for (auto [it, end] = returnsOf.equal_range({qint64(sales->number(0, s)), sector});
             it != end; ++it)
            joined.push_back(it->second);
        if (joined.empty())
            joined.push_back(-1);
        for (int r : joined) {
            std::set<QString> receivers{sales->text(1, s)};
            if (r >= 0)
                receivers.insert(returns->text(3, r));
            const bool hasLine = r >= 0 && !returns->isNull(4, r);
            std::optional<qint64> companyId;
            bool numeric = false;
            if (hasLine) {
                const qint64 asNumber = returns->text(4, r).toLongLong(&numeric);
                if (numeric && companyIds.contains(asNumber))
                    companyId = asNumber;
            }
            for (const QString &party : receivers) {
                if (!partyIds.contains(party))
                    continue;
                Sums &sums = expected[{townId, sector, party, companyId}];
                sums.sales += saleNet;
                if (hasLine) {
                    sums.returns += LineFigures::of(*returns, 5, r).net;
                    sums.returned = true;
                }
            }
        }
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
    for (int r = 0; r < rows.rowCount(); ++r) {
        const Key key{qint64(rows.number(town, r)), qint64(rows.number(sector, r)),
                      rows.text(party, r),
                      rows.isNull(company, r) ? std::nullopt
                                              : std::optional(qint64(rows.number(company, r)))};
        const auto found = expected.find(key);
        ASSERT_NE(found, expected.end()) << rows.text(party, r).toStdString();
        EXPECT_NE(std::get<0>(key), 0);
        EXPECT_NEAR(rows.number(sales, r), found->second.sales, 1e-6);
        EXPECT_EQ(rows.isNull(returns, r), !found->second.returned);
        EXPECT_NEAR(rows.number(returns, r), found->second.returns, 1e-6);
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

} // namespace

// Every row and value against the analysis worked out here from the raw rows, with a return
// booked to another party and sales with several return lines.
TEST(CustomerTownSectorWiseSalesReport, FiguresAgreeWithTheRawRows)
{
    const auto db = Connection::openSqlite(databaseWithForeignReturn());
    const QDate from(2026, 3, 1), to(2026, 5, 31);
    // The cases worth having are in the data.
    ASSERT_GT(db->execute(u"select count(*) from (select r.SaleId from SaleReturns r "
                          u"join SaleReturnsBody rb on rb.SaleReturnId = r.SaleReturnId "
                          u"join Sales s on s.SaleId = r.SaleId where s.SaleDate >= '2026-03-01' "
                          u"group by r.SaleId having count(*) > 1)"_s)
                  ->number(0, 0),
              0);
    ASSERT_EQ(db->execute(u"select count(*) from SaleReturns r join Sales s on s.SaleId = r.SaleId "
                          u"where r.CustomerId <> s.CustomerId"_s)
                  ->number(0, 0),
              1);

    Recordset rows;
    rows.open(ctsReport().query(criteria(from, to), db->dialect()), *db);
    ASSERT_GT(rows.recordCount(), 100);
    expectSameRows(*rows.rows(), expectedRows(*db, u"2026-03-01"_s, u"2026-05-31"_s));

    // Town 0 has sales, but is never listed, even when asked for.
    ASSERT_GT(db->execute(u"select count(*) from Sales s join Sectors sr on sr.SectorId = "
                          u"s.SectorId where sr.TownId = 0 and s.SaleDate >= '2026-03-01'"_s)
                  ->number(0, 0),
              0);
    HeadlessReport town0(ctsReport(), criteria(from, to, u"0"_s), *db);
    EXPECT_EQ(town0.build(), HeadlessReport::Outcome::Empty);
    EXPECT_EQ(town0.message().text, u"No record exists."_s);
}
