#include "reports/ProductWiseSalesReport.h"
#include "AnalysesFixture.h"
#include "DemoFixture.h"
#include "ReportChecks.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "reports/SaleReturnRegisterReport.h"
#include "reports/SalesRegisterReport.h"

#include <QFile>
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
// customer is an account and a party of the sale's sector, once; and each return line against
// such a sale, once, under a product the sale has a line of, whoever returned it and whenever.
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

    // Returns: per sale and product, whoever returned them.
    std::map<std::pair<qint64, QString>, Figures> returned;
    auto returnLines = db.execute(u"select r.SaleId, b.ProductId, b.Qty, b.Bonus, "
                                  u"b.TTLValue, b.TTLSalestax from SaleReturns r, "
                                  u"SaleReturnsBody b where b.SaleReturnID = r.SaleReturnID"_s);
    for (int r = 0; r < returnLines->rowCount(); ++r) {
        Figures &f = returned[{qint64(returnLines->number(0, r)), returnLines->text(1, r)}];
        f.returnQty += returnLines->number(2, r);
        f.returnBns += returnLines->number(3, r);
        f.returnValue += returnLines->number(4, r) + returnLines->number(5, r);
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
        f.saleQty += lines->number(5, r);
        f.saleBns += lines->number(6, r);
        f.gross += lines->number(7, r) + lines->number(8, r);
        // The sale's returns of the product go to the row once, with the first such line.
        const auto matched = returned.find({qint64(lines->number(0, r)), product});
        if (matched != returned.end()) {
            f.returnQty += matched->second.returnQty;
            f.returnBns += matched->second.returnBns;
            f.returnValue += matched->second.returnValue;
            returned.erase(matched);
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

// The analyses' copy of the demo company, with one more return against the sale with two
// lines of 11001: two units of 11001, by a party other than the sale's customer.
QString withForeignReturn()
{
    static const QString path = [] {
        const QString copy = DemoFixture::temporaryFolder() + u"/product-wise.sqlite"_s;
        QFile::remove(copy);
        if (!QFile::copy(AnalysesFixture::path(), copy))
            throw std::runtime_error("cannot copy the analyses' database");
        QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        const QString sale = QString::number(AnalysesFixture::twoLineSale());
        DemoFixture::write(
            copy,
            u"insert into SaleReturns select (select max(SaleReturnID) + 1 from SaleReturns), "
            u"'2026-03-20', SaleId, 'C0003', SectorId, 0, 0, 0, 0, 0 from Sales where SaleId = "_s +
                sale +
                u";insert into SaleReturnsBody values ((select max(SaleReturnID) from "
                u"SaleReturns), 1, '11001', 2, 0, 100, 0, 0, 0, 0, 200, 0, 1);"_s);
        return copy;
    }();
    return path;
}

// Every row and value column against the tables, worked out here sale line by sale line.
TEST(ProductWiseSalesReport, FiguresAgreeWithTheSaleLines)
{
    const auto db = Connection::openSqlite(withForeignReturn());
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

    // The sale with two lines of 11001 (4 and 2 units, 1 bonus), returned by its customer
    // after the period (1 unit, 1 bonus) and by another party (2 units): every line once.
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
    EXPECT_EQ(std::tie(line->second.saleQty, line->second.saleBns, line->second.returnQty,
                       line->second.returnBns),
              std::make_tuple(6.0, 1.0, 3.0, 1.0));
    EXPECT_NEAR(line->second.returnValue, 300.0 + 5.0, 1e-9);
    // The misfiled product counts for company 11 by its id here.
    EXPECT_TRUE(std::any_of(oneDay.begin(), oneDay.end(),
                            [](const auto &row) { return std::get<0>(row.first) == u"11999"_s; }));
}

// For a customer billed in its own sector, over the whole book (so that every return is
// against a sale listed), the report's quantities and values foot to the two registers'.
TEST(ProductWiseSalesReport, TotalsAgreeWithTheRegisters)
{
    const auto db = Connection::openSqlite(withForeignReturn());
    const QDate from(2024, 1, 1), to(2027, 12, 31);
    // The account customers with most returns in their own sector, but for those the cases
    // above touch.
    const auto customers = db->execute(
        u"select p.PartyId, p.SectorId from Parties p join ChartOfAccounts a on a.AccountNo = "
        u"p.PartyId join Sales s on s.CustomerId = p.PartyId and s.SectorId = p.SectorId "
        u"join SaleReturns r on r.SaleId = s.SaleId "
        u"where p.PartyId not in ('C0001', 'C0002', 'C0003') group by p.PartyId, p.SectorId "
        u"order by count(*) desc, p.PartyId limit 4"_s);
    ASSERT_EQ(customers->rowCount(), 4);
    for (int c = 0; c < customers->rowCount(); ++c) {
        const QString party = customers->text(0, c), sector = customers->text(1, c);
        SCOPED_TRACE(party.toStdString());
        Figures report;
        for (const auto &[key, f] : listed(*db, criteria(from, to, {{}, party, {}, sector}))) {
            report.saleQty += f.saleQty;
            report.gross += f.gross;
            report.returnQty += f.returnQty;
            report.returnValue += f.returnValue;
        }
        const ReportChecks::RegisterBoxes boxes{from, to, party, sector, {}, {}, {}};
        const QStringList columns{u"qty"_s, u"NetValue"_s};
        const auto sold = ReportChecks::columnSums(
            *db, SalesRegisterReport::instance().query(boxes, db->dialect()), columns);
        const auto back = ReportChecks::columnSums(
            *db, SaleReturnRegisterReport::instance().query(boxes, db->dialect()), columns);
        ASSERT_GT(back[0], 0);
        EXPECT_EQ(report.saleQty, sold[0]);
        EXPECT_EQ(report.returnQty, back[0]);
        // The report adds the lines' stored values, each rounded to the cent.
        EXPECT_NEAR(report.gross, sold[1], 0.01 * report.saleQty);
        EXPECT_NEAR(report.returnValue, back[1], 0.01 * report.returnQty);
    }
}
