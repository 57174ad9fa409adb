#include "DemoFixture.h"
#include "LineFigures.h"
#include "ReportChecks.h"
#include "reports/HeadlessReport.h"
#include "reports/ProductSaleReturnLedgerReport.h"
#include "reports/ProductSalesLedgerReport.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

// No name: a headless build looks the code up.
ReportCriteria productCriteria(QDate from, QDate to, const QString &code)
{
    return {from, to, {{u"product"_s, code}}, {}};
}

// The demo company as the described tables have it (no customer name on a party), with an
// invoice holding two lines of the busiest product and a return, dated in March against an
// older invoice, with two lines of it.
struct LedgerDatabase
{
    QString path;
    QString product;
};

const LedgerDatabase &ledgerDatabase()
{
    static const LedgerDatabase db = [] {
        LedgerDatabase d;
        d.product = Connection::openSqlite(DemoFixture::path())
                        ->execute(u"select ProductId from SalesBody group by ProductId "
                                  u"order by count(*) desc, ProductId limit 1"_s)
                        ->text(0, 0);
        const QString p = u"'"_s + d.product + u"'"_s;
        d.path = ReportChecks::demoCopy(
            u"ledgers.sqlite"_s,
            u"alter table Parties drop column CustomerName;"
            u"insert into SalesBody select SaleId, 99, ProductId, Qty + 1, Bonus, Price, "
            u"Discratio, Discvalue, stratio, stvalue, TTLValue, TTLSalestax from SalesBody "
            u"where rowid = (select min(sb.rowid) from SalesBody sb join Sales s on "
            u"s.SaleId = sb.SaleId where sb.ProductId = "_s +
                p +
                u" and s.SaleDate between '2026-03-01' and '2026-05-31');"
                u"insert into SaleReturns select 900001, '2026-03-05', SaleId, CustomerId, "
                u"SectorId, 0, 0, 0, 0, 0 from Sales where SaleId = (select min(SaleId) from "
                u"Sales where SaleDate < '2026-02-01');"
                u"insert into SaleReturnsBody values (900001, 1, "_s +
                p + u", 2, 0, 100, 5, 1, 10, 0, 0, 0, 1), (900001, 2, "_s + p +
                u", 3, 1, 90, 0, 0, 0, 2, 0, 0, 1);"_s);
        return d;
    }();
    return db;
}

struct Line
{
    qint64 document = 0;
    double qty = 0, bonus = 0, price = 0, gross = 0, discount = 0, tax = 0, net = 0;
    bool operator<(const Line &o) const
    {
        return std::tie(document, qty, net) < std::tie(o.document, o.qty, o.net);
    }
};

// The lines of a product, worked out from the raw columns: document, Bonus, Qty, Price,
// Discratio, Discvalue, stratio, stvalue.
std::vector<Line> computed(const ResultTable &raw)
{
    std::vector<Line> lines;
    for (int r = 0; r < raw.rowCount(); ++r) {
        const LineFigures f = LineFigures::of(raw, 2, r);
        lines.push_back({qint64(raw.number(0, r)), raw.number(2, r), raw.number(1, r),
                         raw.number(3, r), f.gross, f.discount, f.tax, f.net});
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The ledger's rows, in the order listed (by document), then sorted like the computed ones.
std::vector<Line> listed(const ResultTable &rows, const QString &documentColumn)
{
    std::vector<Line> lines;
    for (int r = 0; r < rows.rowCount(); ++r) {
        auto at = [&](const char *column) {
            return rows.number(rows.columnIndex(QString::fromLatin1(column)), r);
        };
        Line l{qint64(rows.number(rows.columnIndex(documentColumn), r)),
               at("qty"),
               at("bonus"),
               at("price"),
               at("Grossvalue"),
               at("Totaldisc"),
               at("Salestax"),
               at("NetValue")};
        if (!lines.empty()) {
            EXPECT_GE(l.document, lines.back().document); // document order
        }
        lines.push_back(l);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

void expectSameLines(const std::vector<Line> &got, const std::vector<Line> &expected)
{
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        const Line &g = got[i], &e = expected[i];
        EXPECT_EQ(std::tie(g.document, g.qty, g.bonus, g.price),
                  std::tie(e.document, e.qty, e.bonus, e.price));
        for (auto [a, b] : {std::pair(g.gross, e.gross), std::pair(g.discount, e.discount),
                            std::pair(g.tax, e.tax), std::pair(g.net, e.net)})
            EXPECT_NEAR(a, b, 1e-9) << "document " << g.document;
    }
}

} // namespace

// Built without a window (as the command builds it), a code no look-up has named is refused
// before the report's query runs.
TEST(ProductLedgerRefusals, UnfoundCodeIsRefusedBeforeAnyQuery)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    for (const ProductLedgerReport *ledger :
         {static_cast<const ProductLedgerReport *>(&ProductSalesLedgerReport::instance()),
          static_cast<const ProductLedgerReport *>(&ProductSaleReturnLedgerReport::instance())}) {
        HeadlessReport unknown(
            *ledger, productCriteria(QDate(2026, 1, 1), QDate(2026, 6, 30), u"ZZ999"_s), *db);
        EXPECT_EQ(unknown.build(), HeadlessReport::Outcome::Refused);
        EXPECT_TRUE(unknown.sqlText().isEmpty());
        EXPECT_FALSE(unknown.rows().isOpen());
    }
}

// On the described tables (no customer name on a party) the ledgers run, and every line of the
// product is listed with figures worked out here from its columns.
TEST(ProductLedgers, FiguresAgreeWithTheRawLines)
{
    const LedgerDatabase &fixture = ledgerDatabase();
    const auto db = Connection::openSqlite(fixture.path);
    const QString p = fixture.product;
    const ReportCriteria c = productCriteria(QDate(2026, 3, 1), QDate(2026, 5, 31), p);
    Recordset rows;
    rows.open(ProductSalesLedgerReport::instance().query(c, db->dialect()), *db);
    ASSERT_GT(rows.recordCount(), 10);
    const std::vector<Line> sold = listed(*rows.rows(), u"saleid"_s);
    expectSameLines(sold,
                    computed(*db->execute(
                        u"select s.SaleId, sb.Bonus, sb.Qty, sb.Price, sb.Discratio, "
                        u"sb.Discvalue, sb.stratio, sb.stvalue from SalesBody sb, Sales s "
                        u"where s.SaleId = sb.SaleId and sb.ProductId = '"_s +
                        p + u"' and s.SaleDate >= '2026-03-01' and s.SaleDate <= '2026-05-31'"_s)));
    // The invoice with two lines of the product lists both.
    EXPECT_NE(
        std::adjacent_find(sold.begin(), sold.end(),
                           [](const Line &a, const Line &b) { return a.document == b.document; }),
        sold.end());

    rows.open(ProductSaleReturnLedgerReport::instance().query(c, db->dialect()), *db);
    const std::vector<Line> returned = listed(*rows.rows(), u"salereturnid"_s);
    expectSameLines(
        returned,
        computed(*db->execute(
            u"select r.SaleReturnId, rb.Bonus, rb.Qty, rb.Price, rb.Discratio, "
            u"rb.Discvalue, rb.stratio, rb.stvalue from SaleReturnsBody rb, "
            u"SaleReturns r where r.SaleReturnId = rb.SaleReturnId and rb.ProductId = '"_s +
            p + u"' and r.SaleReturnDate >= '2026-03-01' and r.SaleReturnDate <= '2026-05-31'"_s)));
    // Only the return's date counts: the March return against a January invoice is listed,
    // with both its lines.
    EXPECT_EQ(std::count_if(returned.begin(), returned.end(),
                            [](const Line &l) { return l.document == 900001; }),
              2);
}
