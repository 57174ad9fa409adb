#include "reports/ProductWiseSalesReport.h"
#include "AnalysesFixture.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace {

struct Boxes
{
    QString company = {}, customer = {}, town = {}, sector = {};
};

ReportCriteria criteria(QDate from, QDate to, const Boxes &b = {})
{
    return {from,
            to,
            {{u"company"_s, b.company},
             {u"customer"_s, b.customer},
             {u"town"_s, b.town},
             {u"sector"_s, b.sector}},
            {}};
}

const ProductWiseSalesReport &productWise()
{
    return ProductWiseSalesReport::instance();
}

struct Figures
{
    double saleQty = 0, saleBns = 0, gross = 0, returnQty = 0, returnBns = 0, returnValue = 0;
};

// (product, sector, town)
using Key = std::tuple<QString, qint64, qint64>;

// What the report lists, worked out from the tables: each sale line of the period whose
// customer is an account and a party of the sale's sector, with the returns of the same sale
// and product summed per returning customer and attached to the line, once per such sum.
std::map<Key, Figures> productFigures(const Connection &db, QDate from, QDate to, const Boxes &b)
{
    std::set<QString> accounts;
    auto accountRows = db.execute(u"select AccountNo from ChartOfAccounts"_s);
    for (int r = 0; r < accountRows->rowCount(); ++r)
        accounts.insert(accountRows->text(0, r));
    std::map<QString, QString> partySector;
    auto parties = db.execute(u"select PartyId, SectorId from Parties"_s);
    for (int r = 0; r < parties->rowCount(); ++r)
        partySector[parties->text(0, r)] = parties->text(1, r);
    std::map<qint64, qint64> sectorTown;
    auto sectors = db.execute(u"select SectorId, TownId from Sectors"_s);
    for (int r = 0; r < sectors->rowCount(); ++r)
        sectorTown[qint64(sectors->number(0, r))] = qint64(sectors->number(1, r));
    std::set<qint64> towns;
    auto townRows = db.execute(u"select TownId from Towns"_s);
    for (int r = 0; r < townRows->rowCount(); ++r)
        towns.insert(qint64(townRows->number(0, r)));
    std::set<QString> products;
    auto productRows = db.execute(u"select ProductId from Products"_s);
    for (int r = 0; r < productRows->rowCount(); ++r)
        products.insert(productRows->text(0, r));

    // Returns: per sale and product, one sum per returning customer.
    std::map<std::pair<qint64, QString>, std::map<QString, Figures>> returned;
    auto returnLines = db.execute(u"select r.SaleId, r.CustomerId, b.ProductId, b.Qty, b.Bonus, "
                                  u"b.TTLValue, b.TTLSalestax from SaleReturns r, "
                                  u"SaleReturnsBody b where b.SaleReturnID = r.SaleReturnID"_s);
    for (int r = 0; r < returnLines->rowCount(); ++r) {
        Figures &f = returned[{qint64(returnLines->number(0, r)), returnLines->text(2, r)}]
                             [returnLines->text(1, r)];
        f.returnQty += returnLines->number(3, r);
        f.returnBns += returnLines->number(4, r);
        f.returnValue += returnLines->number(5, r) + returnLines->number(6, r);
    }

    std::map<Key, Figures> figures;
    auto lines = db.execute(u"select s.SaleId, s.SaleDate, s.CustomerId, s.SectorId, b.ProductId, "
                            u"b.Qty, b.Bonus, b.TTLValue, b.TTLSalesTax "
                            u"from Sales s, SalesBody b where b.SaleId = s.SaleId"_s);
    for (int r = 0; r < lines->rowCount(); ++r) {
        const QDate date = QDate::fromString(lines->text(1, r), u"yyyy-MM-dd"_s);
        const QString customer = lines->text(2, r), product = lines->text(4, r);
        const qint64 sector = qint64(lines->number(3, r));
        const auto party = partySector.find(customer);
        const auto sectorRow = sectorTown.find(sector);
        if (date < from || date > to || !accounts.count(customer) || party == partySector.end() ||
            party->second != QString::number(sector) || sectorRow == sectorTown.end() ||
            !towns.count(sectorRow->second) || !products.count(product))
            continue;
        if ((!b.company.isEmpty() && product.left(2) != b.company) ||
            (!b.customer.isEmpty() && customer != b.customer) ||
            (!b.town.isEmpty() && sectorRow->second != b.town.toLongLong()) ||
            (!b.sector.isEmpty() && sector != b.sector.toLongLong()))
            continue;
        Figures &f = figures[{product, sector, sectorRow->second}];
        const auto matched = returned.find({qint64(lines->number(0, r)), product});
        const int copies =
            matched == returned.end() ? 1 : int(matched->second.size()); // one per sum joined
        f.saleQty += copies * lines->number(5, r);
        f.saleBns += copies * lines->number(6, r);
        f.gross += copies * (lines->number(7, r) + lines->number(8, r));
        if (matched != returned.end()) {
            for (const auto &[who, back] : matched->second) {
                f.returnQty += back.returnQty;
                f.returnBns += back.returnBns;
                f.returnValue += back.returnValue;
            }
        }
    }
    return figures;
}

std::map<Key, Figures> listed(const Connection &db, const ReportCriteria &c)
{
    Recordset rows;
    rows.open(productWise().query(c, db.dialect()), db);
    const ResultTable &t = *rows.rows();
    std::map<Key, Figures> result;
    for (int r = 0; r < t.rowCount(); ++r) {
        const Key key{t.text(0, r), qint64(t.number(11, r)), qint64(t.number(12, r))};
        EXPECT_FALSE(result.count(key)) << "one row per product, sector and town";
        Figures &f = result[key];
        f = {t.number(2, r), t.number(3, r), t.number(4, r),
             t.number(5, r), t.number(6, r), t.number(9, r)};
        // The net columns are the differences of the others.
        EXPECT_NEAR(t.number(7, r), f.saleQty - f.returnQty, 1e-9);
        EXPECT_NEAR(t.number(8, r), f.saleBns - f.returnBns, 1e-9);
        EXPECT_NEAR(t.number(10, r), f.gross - f.returnValue, 0.005);
    }
    return result;
}

void expectSame(const std::map<Key, Figures> &got, const std::map<Key, Figures> &want)
{
    ASSERT_EQ(got.size(), want.size());
    for (const auto &[key, w] : want) {
        const auto found = got.find(key);
        ASSERT_NE(found, got.end()) << std::get<0>(key).toStdString();
        const Figures &g = found->second;
        SCOPED_TRACE(std::get<0>(key).toStdString() + " in sector " +
                     std::to_string(std::get<1>(key)));
        // Quantities exactly, values to the cent.
        EXPECT_EQ(std::tie(g.saleQty, g.saleBns, g.returnQty, g.returnBns),
                  std::tie(w.saleQty, w.saleBns, w.returnQty, w.returnBns));
        EXPECT_NEAR(g.gross, w.gross, 0.005);
        EXPECT_NEAR(g.returnValue, w.returnValue, 0.005);
    }
}

} // namespace

// Every row and value column against the tables, worked out here sale line by sale line.
TEST(ProductWiseSalesReport, FiguresAgreeWithTheSaleLines)
{
    const auto db = Connection::openSqlite(AnalysesFixture::path());
    const QDate from = AnalysesFixture::from(), to = AnalysesFixture::to();
    const auto all = listed(*db, criteria(from, to));
    ASSERT_GT(all.size(), 100u);
    expectSame(all, productFigures(*db, from, to, {}));

    // A product sold to customers of two sectors has a row for each.
    std::map<QString, int> sectorsOf;
    for (const auto &[key, f] : all)
        ++sectorsOf[std::get<0>(key)];
    EXPECT_TRUE(std::any_of(sectorsOf.begin(), sectorsOf.end(),
                            [](const auto &p) { return p.second >= 2; }));

    const Boxes narrowed{u"11"_s, {}, u"3"_s, {}};
    const auto some = listed(*db, criteria(from, to, narrowed));
    ASSERT_FALSE(some.empty());
    expectSame(some, productFigures(*db, from, to, narrowed));

    // The sale with two lines of 11001, one returned after the period: the return counts
    // (it is against a sale of the period) and counts once per line.
    const QDate day(2026, 3, 4);
    const auto customer = db->execute(u"select CustomerId, SectorId from Sales where SaleId = "_s +
                                      QString::number(AnalysesFixture::twoLineSale()));
    const Boxes mine{u"11"_s, customer->text(0, 0), {}, customer->text(1, 0)};
    const auto oneDay = listed(*db, criteria(day, day, mine));
    expectSame(oneDay, productFigures(*db, day, day, mine));
    const auto line = std::find_if(oneDay.begin(), oneDay.end(), [](const auto &row) {
        return std::get<0>(row.first) == u"11001"_s;
    });
    ASSERT_NE(line, oneDay.end());
    EXPECT_GE(line->second.saleQty, 6.0);
    EXPECT_GE(line->second.returnQty, 2.0);
    // The misfiled product counts for company 11 by its id here.
    EXPECT_TRUE(std::any_of(oneDay.begin(), oneDay.end(),
                            [](const auto &row) { return std::get<0>(row.first) == u"11999"_s; }));
}
