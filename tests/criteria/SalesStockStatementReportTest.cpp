#include "reports/SalesStockStatementReport.h"
#include "ReportChecks.h"
#include "reports/HeadlessReport.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"

#include <array>
#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

namespace {

const SalesStockStatementReport &statement()
{
    return SalesStockStatementReport::instance();
}

ReportCriteria stockCriteria(QDate from, QDate to, const QString &company = {})
{
    return {from, to, {{u"company"_s, company}}, {}};
}

// The demo company with the products worth a look: one with opening stock only, one whose
// current stock adds up to nothing (and a sale line without a bonus), one with opening stock
// and movements only after the period, one with movements only after it.
QString stockDatabase()
{
    static const QString path = ReportChecks::demoCopy(
        u"stock.sqlite"_s,
        u"insert into Products values ('11999', 'Zz Opening Only', 11, 1, 10, 0, 0, 0),"
        u"  ('11998', 'Zz Zero Stock', 11, 1, 10, 0, 0, 0),"
        u"  ('11997', 'Zz Later With Opening', 11, 1, 10, 0, 0, 0),"
        u"  ('11996', 'Zz Later Only', 11, 1, 10, 0, 0, 0);"
        u"insert into OpeningStock values ('11999', 40, 2, 8), ('11998', 10, NULL, 8),"
        u"  ('11997', 7, 1, 8);"
        u"insert into CurrentStock values ('11998', 'B1', 5, 100), ('11998', 'B2', -5, 120);"
        u"insert into Purchase values (900001, '2026-05-20', 'S11', 11);"
        u"insert into PurchaseBody values (900001, 1, '11997', 30, 0, 8),"
        u"  (900001, 2, '11996', 20, 0, 8);"
        u"insert into Sales select 900001, '2026-03-15', CustomerId, SectorId, 0 from Sales "
        u"  where SaleId = 1;"
        u"insert into SalesBody values (900001, 1, '11998', 4, NULL, 10, 0, 0, 0, 0, 40, 0);"_s);
    return path;
}

// A product's line of the statement: opening quantity and bonus, then purchased, returned to
// suppliers, sold and returned by customers, quantity and bonus each.
struct Movements
{
    QString company, companyName, name;
    std::array<double, 10> figures{};
    double avgCost = 0;
};

// yyyyMMdd as a number, so that dates compare as numbers.
int day(QDate d)
{
    return d.year() * 10000 + d.month() * 100 + d.day();
}

// The statement worked out from the raw rows of each table.
std::map<QString, Movements> expectedStatement(const Connection &db, QDate fromDate, QDate toDate,
                                               const QString &company = {})
{
    const int from = day(fromDate), to = day(toDate);
    std::map<QString, Movements> lines;
    std::map<QString, std::pair<QString, QString>> productInfo; // name, company
    const auto products = db.execute(u"select ProductId, ProductName, CompanyId from Products"_s);
    for (int r = 0; r < products->rowCount(); ++r)
        productInfo[products->text(0, r)] = {products->text(1, r), products->text(2, r)};
    std::map<QString, QString> companyNames;
    const auto companies = db.execute(u"select CompanyId, CompanyName from Companies"_s);
    for (int r = 0; r < companies->rowCount(); ++r)
        companyNames[companies->text(0, r)] = companies->text(1, r);

    auto touch = [&](const QString &product) -> Movements * {
        const auto info = productInfo.find(product);
        if (info == productInfo.end() || !companyNames.contains(info->second.second))
            return nullptr;
        if (!company.isEmpty() && info->second.second != company)
            return nullptr;
        Movements &m = lines[product];
        m.name = info->second.first;
        m.company = info->second.second;
        m.companyName = companyNames[m.company];
        return &m;
    };
    const auto opening = db.execute(u"select ProductId, Qty, Bonus from OpeningStock"_s);
    for (int r = 0; r < opening->rowCount(); ++r) {
        if (Movements *m = touch(opening->text(0, r))) {
            m->figures[0] += opening->number(1, r);
            m->figures[1] += opening->number(2, r);
        }
    }
    // Each kind of movement: its lines with their date, the column pair it adds to in the
    // period, and its sign in the opening balance.
    struct Kind
    {
        QString sql;
        int column;
        double openingSign;
    };
    const std::array<Kind, 4> kinds{{
        {u"select b.ProductId, b.Qty, b.Bonus, h.PurchaseDate from "
         u"PurchaseBody b join Purchase h on h.PurchaseId = b.PurchaseId"_s,
         2, 1},
        {u"select b.ProductId, b.Qty, b.Bonus, h.PurReturnDate from "
         u"PurReturnsBody b join PurReturns h on h.PurReturnId = b.PurReturnId"_s,
         4, -1},
        {u"select b.ProductId, b.Qty, b.Bonus, h.SaleDate from "
         u"SalesBody b join Sales h on h.SaleId = b.SaleId"_s,
         6, -1},
        {u"select b.ProductId, b.Qty, b.Bonus, h.SaleReturnDate from "
         u"SaleReturnsBody b join SaleReturns h on h.SaleReturnId = b.SaleReturnId"_s,
         8, 1},
    }};
    for (const Kind &kind : kinds) {
        const auto rows = db.execute(kind.sql);
        for (int r = 0; r < rows->rowCount(); ++r) {
            const QVariant value = rows->value(3, r);
            const int date =
                day(value.typeId() == QMetaType::QDate
                        ? value.toDate()
                        : QDate::fromString(value.toString().left(10), u"yyyy-MM-dd"_s));
            if (date >= from && date > to)
                continue; // after the period: no part of the statement
            Movements *m = touch(rows->text(0, r));
            if (!m)
                continue;
            if (date < from) {
                m->figures[0] += kind.openingSign * rows->number(1, r);
                m->figures[1] += kind.openingSign * rows->number(2, r);
            } else {
                m->figures[size_t(kind.column)] += rows->number(1, r);
                m->figures[size_t(kind.column) + 1] += rows->number(2, r);
            }
        }
    }
    std::map<QString, std::pair<double, double>> stock; // quantity, quantity x cost
    const auto current = db.execute(u"select ProductId, Qty, Cost from CurrentStock"_s);
    for (int r = 0; r < current->rowCount(); ++r) {
        auto &[qty, value] = stock[current->text(0, r)];
        qty += current->number(1, r);
        value += current->number(1, r) * current->number(2, r);
    }
    for (auto &[product, m] : lines) {
        const auto s = stock.find(product);
        if (s != stock.end() && s->second.first != 0)
            m.avgCost = s->second.second / s->second.first;
    }
    return lines;
}

void expectStatement(const ResultTable &rows, const std::map<QString, Movements> &expected)
{
    static const std::array<const char *, 10> columns{"opQty",   "OpB",      "pQty",    "PBon",
                                                      "PreQty",  "PREtB",    "SaleQty", "SaleBon",
                                                      "SRetQty", "SRetBonus"};
    ASSERT_EQ(size_t(rows.rowCount()), expected.size());
    const int product = rows.columnIndex(u"productid"_s);
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString id = rows.text(product, r);
        const auto e = expected.find(id);
        ASSERT_NE(e, expected.end()) << id.toStdString();
        EXPECT_EQ(rows.text(rows.columnIndex(u"CompanyName"_s), r), e->second.companyName);
        for (size_t c = 0; c < columns.size(); ++c)
            EXPECT_NEAR(rows.number(rows.columnIndex(QString::fromLatin1(columns[c])), r),
                        e->second.figures[c], 1e-9)
                << id.toStdString() << " " << columns[c];
        EXPECT_NEAR(rows.number(rows.columnIndex(u"AvgCost"_s), r), e->second.avgCost, 1e-9)
            << id.toStdString();
        if (r > 0) { // by product name, case ignored
            EXPECT_LE(rows.text(rows.columnIndex(u"productname"_s), r - 1).toLower(),
                      e->second.name.toLower());
        }
    }
}

} // namespace

// Every product's line against the movements worked out here from each table's rows: over a
// month, and for a single day.
TEST(SalesStockStatement, FiguresAgreeWithTheMovements)
{
    const auto db = Connection::openSqlite(stockDatabase());
    Recordset rows;
    const QDate from(2026, 3, 1), to(2026, 3, 31);
    rows.open(statement().query(stockCriteria(from, to), db->dialect()), *db);
    const auto expected = expectedStatement(*db, from, to);
    expectStatement(*rows.rows(), expected);
    ASSERT_GT(rows.recordCount(), 100);
    // The products set up for this: listed with opening stock only, or not at all.
    ASSERT_TRUE(expected.contains(u"11999"_s));
    EXPECT_EQ(expected.at(u"11999"_s).figures, (std::array<double, 10>{40, 2}));
    EXPECT_EQ(expected.at(u"11997"_s).figures, (std::array<double, 10>{7, 1}));
    EXPECT_FALSE(expected.contains(u"11996"_s));
    EXPECT_EQ(expected.at(u"11998"_s).avgCost, 0); // current stock adds up to nothing
    EXPECT_EQ(expected.at(u"11998"_s).figures[6], 4);

    // One day: its movements are in the period columns, not in the opening ones.
    const QDate day(2026, 3, 15);
    rows.open(statement().query(stockCriteria(day, day), db->dialect()), *db);
    const auto oneDay = expectedStatement(*db, day, day);
    expectStatement(*rows.rows(), oneDay);
    EXPECT_EQ(oneDay.at(u"11998"_s).figures[6], 4);
}

// The statement as printed: each product's closing quantity and value as the layout works
// them out, against the movements.
TEST(SalesStockStatement, PrintsClosingQuantityAndValue)
{
    const auto db = Connection::openSqlite(stockDatabase());
    const QDate from(2026, 4, 1), to(2026, 4, 30);
    HeadlessReport built(statement(), stockCriteria(from, to, u"11"_s), *db);
    ASSERT_EQ(built.build(), HeadlessReport::Outcome::Built);
    Report &report = *built.report();

    const auto expected = expectedStatement(*db, from, to, u"11"_s);
    using ReportChecks::amount;
    // Closing quantity and value by product, as printed on the product's line.
    const QStringList products = ReportChecks::printed(report, u"fldProductid"_s);
    const QStringList quantities = ReportChecks::printed(report, u"fldClosingQty"_s);
    const QStringList values = ReportChecks::printed(report, u"fldClosingValue"_s);
    ASSERT_EQ(quantities.size(), products.size());
    ASSERT_EQ(values.size(), products.size());
    std::map<QString, std::pair<double, double>> printed;
    for (qsizetype k = 0; k < products.size(); ++k)
        printed[products[k]] = {amount(quantities[k]), amount(values[k])};
    const double printedTotal =
        amount(ReportChecks::printed(report, u"sumClosingValue"_s).value(0));
    ASSERT_EQ(printed.size(), expected.size());
    double total = 0;
    for (const auto &[id, m] : expected) {
        const auto &f = m.figures;
        const double closing = f[0] + f[2] - f[4] - f[6] + f[8];
        EXPECT_NEAR(printed[id].first, closing, 0.005) << id.toStdString();
        EXPECT_NEAR(printed[id].second, closing * m.avgCost, 0.005) << id.toStdString();
        total += closing * m.avgCost;
    }
    EXPECT_NEAR(printedTotal, total, 0.01);
}
