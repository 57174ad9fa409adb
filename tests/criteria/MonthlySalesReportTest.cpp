#include "reports/MonthlySalesReport.h"
#include "CommandRun.h"
#include "DemoFixture.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/PageContent.h"
#include "presentation/Report.h"
#include "reports/SaleReturnRegisterReport.h"
#include "reports/SalesRegisterReport.h"
#include "reports/StandardFields.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <numeric>
#include <tuple>
#include <map>

using namespace Qt::StringLiterals;

namespace {

const MonthlySalesReport &monthly()
{
    return MonthlySalesReport::instance();
}

ReportCriteria criteria(QDate from, QDate to, QHash<QString, QString> texts = {})
{
    return {from, to, std::move(texts), {}};
}

std::shared_ptr<const ResultTable> run(const ReportDefinition &report, const ReportCriteria &c,
                                       const Connection &db)
{
    Recordset rows;
    rows.open(report.query(c, db.dialect()), db);
    return rows.rows();
}

// A register's NetValue per key of its lines (the key read from the line's product id), for
// lines whose product id starts with the company given.
std::map<QString, double> registerNet(const ReportDefinition &reg, const ReportCriteria &c,
                                      const Connection &db, int keyLength = 0,
                                      const QString &company = {})
{
    const auto t = run(reg, c, db);
    const int product = t->columnIndex(u"productid");
    const int net = t->columnIndex(u"NetValue");
    std::map<QString, double> sums;
    for (int r = 0; r < t->rowCount(); ++r) {
        const QString id = t->text(product, r).trimmed();
        if (company.isEmpty() || id.startsWith(company))
            sums[keyLength ? id.left(keyLength) : QString()] += t->number(net, r);
    }
    return sums;
}

// Sales less returns by the registers' own definitions, per product-id key.
std::map<QString, double> registersNet(const ReportCriteria &c, const Connection &db,
                                       int keyLength = 0, const QString &company = {})
{
    ReportCriteria plain = c;
    plain.texts.remove(StandardFields::companyKey);
    plain.texts.remove(MonthlySalesReport::byKey);
    std::map<QString, double> net =
        registerNet(SalesRegisterReport::instance(), plain, db, keyLength, company);
    for (const auto &[key, value] :
         registerNet(SaleReturnRegisterReport::instance(), plain, db, keyLength, company))
        net[key] -= value;
    return net;
}

double column(const ResultTable &t, const QString &name)
{
    const int c = t.columnIndex(name);
    double sum = 0;
    for (int r = 0; r < t.rowCount(); ++r)
        sum += t.number(c, r);
    return sum;
}

} // namespace

// The report's total over any period and criteria is the sales register's net less the sale
// return register's, and so is each month's column against the registers run on that month.
TEST(MonthlySalesReport, TotalsAreTheRegistersNetDifference)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    const auto some =
        run(SalesRegisterReport::instance(), criteria({2026, 3, 1}, {2026, 3, 31}), *db);
    ASSERT_GT(some->rowCount(), 0);
    // A customer, a sector and a town that have sales, and a company.
    const QString customer =
        db->execute(u"select CustomerId from Sales order by SaleId"_s)->text(0, 0);
    const auto place = db->execute(
        u"select s.SectorId, sr.TownId from Sales s join Sectors sr on sr.SectorId = s.SectorId "
        u"where s.SaleDate between '2026-03-01' and '2026-03-31' order by s.SaleId"_s);
    const QString sector = place->text(0, 0), town = place->text(1, 0);
    const QString company = some->text(some->columnIndex(u"productid"), 0).trimmed().left(2);
    struct Case
    {
        const char *what;
        QDate from, to;
        QHash<QString, QString> texts;
    };
    const Case cases[] = {
        {"whole year", {2025, 1, 1}, {2025, 12, 31}, {}},
        {"year across two calendar years", {2025, 7, 1}, {2026, 6, 30}, {{u"by"_s, u"customer"_s}}},
        {"single month", {2026, 3, 1}, {2026, 3, 31}, {{u"by"_s, u"product"_s}}},
        {"part months at both ends", {2025, 11, 17}, {2026, 2, 9}, {{u"by"_s, u"sector"_s}}},
        {"customer", {2025, 1, 1}, {2025, 12, 31}, {{u"customer"_s, customer}}},
        {"sector", {2026, 1, 1}, {2026, 6, 30}, {{u"sector"_s, sector}, {u"by"_s, u"product"_s}}},
        {"town", {2026, 1, 1}, {2026, 6, 30}, {{u"town"_s, town}, {u"by"_s, u"customer"_s}}},
        {"company",
         {2025, 1, 1},
         {2025, 12, 31},
         {{u"company"_s, company}, {u"by"_s, u"sector"_s}}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.what);
        const ReportCriteria c = criteria(k.from, k.to, k.texts);
        const auto t = run(monthly(), c, *db);
        ASSERT_GT(t->rowCount(), 0);
        const QString only = c.text(u"company"_s);
        const double expected = registersNet(c, *db, 0, only)[QString()];
        EXPECT_NEAR(column(*t, u"Total"_s), expected, 0.01);
        const int months = MonthlySalesReport::monthCount(c);
        double monthsTotal = 0;
        for (int m = 0; m < months; ++m) {
            const QDate first =
                std::max(QDate(k.from.year(), k.from.month(), 1).addMonths(m), k.from);
            const QDate last =
                std::min(QDate(first.year(), first.month(), 1).addMonths(1).addDays(-1), k.to);
            const double month = column(*t, MonthlySalesReport::monthColumn(m));
            EXPECT_NEAR(month,
                        registersNet(criteria(first, last, k.texts), *db, 0, only)[QString()], 0.01)
                << first.toString(u"yyyy-MM"_s).toStdString();
            monthsTotal += month;
        }
        EXPECT_NEAR(monthsTotal, column(*t, u"Total"_s), 0.01);
        for (int m = months; m < MonthlySalesReport::maxMonths; ++m)
            EXPECT_TRUE(t->text(t->columnIndex(MonthlySalesReport::monthColumn(m)), 0).isEmpty());
    }
}

TEST(MonthlySalesReport, RefusesWhatItCannotShow)
{
    struct Case
    {
        QDate from, to;
        QString by;
        bool refused;
        const char *word; // in the message
    };
    const Case cases[] = {
        {{2024, 7, 1}, {2026, 6, 30}, u"product"_s, false, ""},
        {{2024, 7, 31}, {2026, 6, 1}, {}, false, ""},
        {{2024, 6, 30}, {2026, 6, 30}, {}, true, "25 months"},
        {{2026, 3, 2}, {2026, 3, 1}, {}, true, "From date"},
        {{2026, 3, 1}, {2026, 3, 31}, u"region"_s, true, "region"},
    };
    for (const Case &k : cases) {
        const auto refusal =
            monthly().refusal(criteria(k.from, k.to, {{u"by"_s, k.by}}), ReportAction::Preview);
        ASSERT_EQ(refusal.has_value(), k.refused) << k.from.toString().toStdString();
        if (k.refused) {
            EXPECT_TRUE(refusal->text.contains(QString::fromUtf8(k.word)))
                << refusal->text.toStdString();
        }
    }
    // The command line says the same, as bad arguments.
    struct Line
    {
        QStringList arguments;
        int status;
    };
    const Line lines[] = {
        {{u"--from"_s, u"2024-06-30"_s, u"--to"_s, u"2026-06-30"_s}, 2},
        {{u"--from"_s, u"2026-03-01"_s, u"--to"_s, u"2026-03-31"_s, u"--by"_s, u"town"_s}, 2},
        {{u"--from"_s, u"2026-03-01"_s, u"--to"_s, u"2026-03-31"_s, u"--by"_s, u"sector"_s,
          u"--csv"_s, u"-"_s},
         0},
    };
    for (const Line &l : lines) {
        const CommandRun::Outcome o = CommandRun::report(u"monthly-sales"_s, l.arguments);
        EXPECT_EQ(o.status, l.status)
            << l.arguments.join(u' ').toStdString() << o.err.toStdString();
        if (l.status == 0) {
            EXPECT_TRUE(o.out.section(u'\n', 0, 0).contains(u"M01"_s))
                << o.out.left(200).toStdString();
        }
    }
}

// Each figure of a row opens the sales register of its month (the total: of the period) and
// of the row's company, customer, sector or product: exactly the figure's sale lines, which
// less the returns of the same month and key are the figure; the headings name the months.
TEST(MonthlySalesReport, AFigureOpensTheRegisterOfItsMonthAndRow)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    const QDate from(2025, 11, 17), to(2026, 3, 9);
    // The figures tried, and the part of the period each one covers.
    const struct
    {
        const char *field;
        QDate from, to;
    } figures[] = {{"fldM01", from, {2025, 11, 30}},
                   {"fldM03", {2026, 1, 1}, {2026, 1, 31}},
                   {"fldM05", {2026, 3, 1}, to},
                   {"fldTotal", from, to}};
    const QString company =
        db->execute(u"select min(LEFT(ProductId, 2)) from Products"_s)->text(0, 0);
    const struct
    {
        QString by;
        QString key; // of a sale or return line (h: its document, b: the line)
        QString company;
    } cases[] = {{u"company"_s, u"LEFT(b.ProductId, 2)"_s, {}},
                 {u"customer"_s, u"h.CustomerId"_s, {}},
                 {u"customer"_s, u"h.CustomerId"_s, company},
                 {u"sector"_s, u"h.SectorId"_s, {}},
                 {u"product"_s, u"b.ProductId"_s, {}}};
    // The net value and count of the lines of a key in a part of the period, from the tables.
    auto lines = [&](const QString &head, const QString &body, const QString &number,
                     const QString &date, const QString &key, const QString &id,
                     const QString &only, QDate first, QDate last) {
        const QString sql =
            u"select ISNULL(sum(b.Qty*(b.Price-(b.Price*b.Discratio/100+b.Discvalue)+"
            u"(b.Price*b.stratio/100+b.stvalue))), 0), count(*) from %1 h join %2 b on "
            u"b.%3=h.%3 where h.%4 between '%5' and '%6' and %7='%8'"_s.arg(
                head, body, number, date, first.toString(Qt::ISODate),
                last.toString(Qt::ISODate), key, id) +
            (only.isEmpty() ? QString() : u" and LEFT(b.ProductId, 2)='%1'"_s.arg(only));
        const auto t = db->execute(sql);
        return std::pair{t->number(0, 0), int(t->number(1, 0))};
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(QString(k.by + u' ' + k.company).toStdString());
        QHash<QString, QString> texts{{u"by"_s, k.by}};
        if (!k.company.isEmpty())
            texts.insert(StandardFields::companyKey, k.company);
        const ReportCriteria c = criteria(from, to, texts);
        Recordset rows;
        rows.open(monthly().query(c, db->dialect()), *db);
        const auto report = monthly().makeReport(c, rows, *db);
        const PageContent page = report->page(0);
        ASSERT_FALSE(page.cells.empty());
        const ResultTable &t = *rows.rows();
        for (const int row : {page.cells.front().tableRow, page.cells.back().tableRow}) {
            const QString id = t.text(t.columnIndex(u"ID"), row).trimmed();
            SCOPED_TRACE(id.toStdString());
            for (const auto &f : figures) {
                SCOPED_TRACE(f.field);
                // The figure's place on the page leads to it, as a click there would.
                const auto cell = std::find_if(page.cells.begin(), page.cells.end(), [&](auto &p) {
                    return p.tableRow == row &&
                           report->objects()[size_t(p.object)]->Name() ==
                               QLatin1StringView(f.field);
                });
                ASSERT_NE(cell, page.cells.end());
                const std::optional<RowLink> link = report->link(row, cell->object);
                ASSERT_TRUE(link.has_value());
                EXPECT_TRUE(link->description.contains(u"sale return register"_s))
                    << link->description.toStdString();
                const auto [sold, count] =
                    lines(u"Sales"_s, u"SalesBody"_s, u"SaleId"_s, u"SaleDate"_s, k.key, id,
                          k.company, f.from, f.to);
                const double returned =
                    lines(u"SaleReturns"_s, u"SaleReturnsBody"_s, u"SaleReturnId"_s,
                          u"SaleReturnDate"_s, k.key, id, k.company, f.from, f.to)
                        .first;
                const QString figure = report->objects()[size_t(cell->object)]->layout().column;
                EXPECT_NEAR(sold - returned, t.number(t.columnIndex(figure), row), 0.01);
                QString message;
                const std::unique_ptr<Report> detail = link->open(message);
                if (count == 0) {
                    EXPECT_EQ(detail, nullptr);
                    continue;
                }
                ASSERT_NE(detail, nullptr) << message.toStdString();
                EXPECT_EQ(detail->rowCount(), count);
                EXPECT_NEAR(column(*detail->rows(), u"NetValue"_s), sold, 0.01);
                // The register says which company or product it was narrowed to.
                if (k.by == u"company" || k.by == u"product") {
                    EXPECT_TRUE(detail->criteriaLine().contains(
                        (k.by == u"company" ? u"Company "_s : u"Product "_s) + id))
                        << detail->criteriaLine().toStdString();
                }
            }
        }
    }
}

// The months are headed from the period; a period of a year or less takes one line a row.
TEST(MonthlySalesReport, MonthsAreHeadedAndShortPeriodsTakeOneLineARow)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    Recordset rows;
    const ReportCriteria c = criteria({2025, 11, 20}, {2026, 2, 3});
    rows.open(monthly().query(c, db->dialect()), *db);
    const auto report = monthly().makeReport(c, rows, *db);
    const QStringList expected{u"2025-11"_s, u"2025-12"_s, u"2026-01"_s, u"2026-02"_s, {}};
    for (int k = 0; k < expected.size(); ++k)
        EXPECT_EQ(report->textObject(u"hdr"_s + MonthlySalesReport::monthColumn(k)).text(),
                  expected[k]);
    EXPECT_EQ(report->PaperOrientation(), 2);

    // The first row of the first page, and where its first and thirteenth months stand.
    struct Row
    {
        QRectF rect, first, thirteenth, headings;
        std::vector<QRectF> cells;
    };
    auto firstRow = [&](QDate from, QDate to) {
        const ReportCriteria period = criteria(from, to);
        Recordset found;
        found.open(monthly().query(period, db->dialect()), *db);
        const auto built = monthly().makeReport(period, found, *db);
        const PageContent page = built->page(0);
        Row r;
        r.rect = page.rows.at(0).rect;
        for (const PageItem &i : page.items) {
            if (built->objects()[size_t(i.object)]->Name() == u"boxColumnHeadings")
                r.headings = i.rect;
        }
        for (const PageCell &cell : page.cells) {
            if (cell.tableRow != page.rows[0].tableRow)
                continue;
            r.cells.push_back(cell.rect);
            const QString name = built->objects()[size_t(cell.object)]->Name();
            if (name == u"fldM01")
                r.first = cell.rect;
            if (name == u"fldM13")
                r.thirteenth = cell.rect;
        }
        return r;
    };
    const Row year = firstRow({2025, 7, 1}, {2026, 6, 30});
    const Row longer = firstRow({2025, 6, 1}, {2026, 6, 30});
    EXPECT_LT(year.rect.height(), longer.rect.height());
    EXPECT_TRUE(year.thirteenth.isNull()); // no place for a month past the period
    EXPECT_LE(longer.first.bottom(), longer.thirteenth.top() + 0.01);
    EXPECT_NEAR(longer.first.left(), longer.thirteenth.left(), 0.01);
    for (const Row *r : {&year, &longer}) {
        EXPECT_FALSE(r->headings.isEmpty());
        EXPECT_LE(r->headings.bottom(), r->rect.top() + 0.01); // the headings' box, whole

        // Id, name, the months of the period and the total.
        EXPECT_EQ(r->cells.size(), r == &year ? 15u : 27u);
        for (const QRectF &cell : r->cells)
            EXPECT_TRUE(r->rect.adjusted(-0.01, -0.01, 0.01, 0.01).contains(cell))
                << cell.left() << ' ' << cell.right() << " in " << r->rect.left() << ' '
                << r->rect.right();
    }
}

// The chart after the totals: a line for each of the five largest rows by total and one for
// all rows, a point for each month of the period at its figure, the months and rows named,
// all on one page.
TEST(MonthlySalesReport, ChartsTheLargestRowsAndAllRowsByMonth)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    const std::tuple<QDate, QDate, QString> cases[] = {
        {{2026, 2, 10}, {2026, 4, 30}, u"product"_s}, {{2025, 1, 1}, {2026, 6, 30}, u"company"_s}};
    for (const auto &[from, to, by] : cases) {
        SCOPED_TRACE(by.toStdString());
        const ReportCriteria c = criteria(from, to, {{u"by"_s, by}});
        Recordset rows;
        rows.open(monthly().query(c, db->dialect()), *db);
        const auto report = monthly().makeReport(c, rows, *db);
        const ResultTable &t = *rows.rows();
        const int months = MonthlySalesReport::monthCount(c);

        // Expected: rows by total, largest first, the first five, then every row summed.
        std::vector<int> order(size_t(t.rowCount()));
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return t.number(t.columnIndex(u"Total"), a) > t.number(t.columnIndex(u"Total"), b);
        });
        order.resize(std::min<size_t>(order.size(), 5));
        std::vector<std::vector<double>> expected;
        QStringList captions;
        for (int r : order) {
            captions.append(t.text(t.columnIndex(u"ID"), r).trimmed() + u' ' +
                            t.text(t.columnIndex(u"Name"), r).trimmed());
            std::vector<double> values;
            for (int m = 0; m < months; ++m)
                values.push_back(t.number(t.columnIndex(MonthlySalesReport::monthColumn(m)), r));
            expected.push_back(values);
        }
        std::vector<double> all(size_t(months), 0.0);
        for (int r = 0; r < t.rowCount(); ++r)
            for (int m = 0; m < months; ++m)
                all[size_t(m)] += t.number(t.columnIndex(MonthlySalesReport::monthColumn(m)), r);
        expected.push_back(all);

        int chart = -1;
        for (size_t i = 0; i < report->objects().size(); ++i)
            if (report->objects()[i]->layout().type == ObjectType::Chart)
                chart = int(i);
        ASSERT_GE(chart, 0);
        int pagesWithChart = 0;
        for (int n = 0; n < report->pageCount(); ++n) {
            const PageContent page = report->page(n);
            std::vector<QPolygonF> lines; // runs left to right through every month
            QStringList texts;
            double zero = 0, zeroWidth = 0;
            for (const PageItem &i : page.items) {
                if (i.object != chart)
                    continue;
                if (i.kind == PageItem::Kind::Text)
                    texts.append(i.text);
                if (i.kind == PageItem::Kind::Line && i.rect.height() == 0 &&
                    page.styles[size_t(i.style)].lineWidth > 0.5 && i.rect.width() > zeroWidth) {
                    zero = i.rect.top();
                    zeroWidth = i.rect.width();
                }
                if (i.kind != PageItem::Kind::Polyline)
                    continue;
                const QPolygonF &path = page.paths[size_t(i.path)];
                const bool rightwards = std::is_sorted(
                    path.begin(), path.end(),
                    [](const QPointF &a, const QPointF &b) { return a.x() <= b.x(); });
                if (path.size() == months && rightwards)
                    lines.push_back(path);
            }
            if (texts.isEmpty())
                continue;
            ++pagesWithChart;
            ASSERT_EQ(lines.size(), expected.size());
            // Heights in proportion to the figures, on one scale for every line.
            const auto busiest = size_t(std::max_element(all.begin(), all.end()) - all.begin());
            const double perUnit = (zero - lines.back()[qsizetype(busiest)].y()) / all[busiest];
            EXPECT_GT(perUnit, 0);
            for (size_t s = 0; s < lines.size(); ++s)
                for (int m = 0; m < months; ++m)
                    EXPECT_NEAR(zero - lines[s][m].y(), expected[s][size_t(m)] * perUnit, 0.05)
                        << s << ' ' << m;
            for (int m = 0; m < months; ++m)
                EXPECT_TRUE(texts.contains(MonthlySalesReport::monthName(c, m))) << m;
            for (const QString &caption : captions)
                EXPECT_TRUE(texts.contains(caption)) << caption.toStdString();
        }
        EXPECT_EQ(pagesWithChart, 1);
    }
}
