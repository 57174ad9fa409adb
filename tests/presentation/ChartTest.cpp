#include "CommandRun.h"
#include "DemoFixture.h"
#include "ReferenceQueries.h"
#include "RegionSales.h"
#include "XlsxReader.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/LayoutError.h"
#include "presentation/LayoutParser.h"
#include "presentation/Report.h"
#include "presentation/XlsxExporter.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString kChart = u"chtNetSales"_s;

struct Expected
{
    QString label;
    std::vector<double> values; // per series
};

// The company-wise sale of a period, with the net sales of an earlier period in a column of its
// own when one is given, as a comparison would add it.
QString query(const QString &from, const QString &to, const QString &earlierFrom,
              const QString &earlierTo)
{
    const QString now = ReferenceQueries::companyWiseSale(from, to, {});
    if (earlierFrom.isEmpty())
        return now;
    return u"select q.*, isnull(e.SaleValue - e.ReturnValue, 0) as EarlierNetSales from ("_s + now +
           u") q left join ("_s + ReferenceQueries::companyWiseSale(earlierFrom, earlierTo, {}) +
           u") e on e.CompanyID = q.CompanyID"_s;
}

double cents(double v)
{
    return std::round(v * 100) / 100;
}

// The ten largest companies by net sales, largest first, and the others summed.
std::vector<Expected> expectedBars(const ResultTable &t, bool compare)
{
    std::vector<Expected> rows;
    for (int r = 0; r < t.rowCount(); ++r) {
        Expected e{t.text(t.columnIndex(u"CompanyName"_s), r).trimmed(),
                   {cents(t.number(t.columnIndex(u"SaleValue"_s), r) -
                          t.number(t.columnIndex(u"ReturnValue"_s), r))}};
        if (compare)
            e.values.push_back(cents(t.number(t.columnIndex(u"EarlierNetSales"_s), r)));
        rows.push_back(e);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Expected &a, const Expected &b) {
        return a.values[0] > b.values[0];
    });
    if (rows.size() > 10) {
        Expected others{u"Others"_s, std::vector<double>(rows[0].values.size(), 0.0)};
        for (size_t k = 10; k < rows.size(); ++k)
            for (size_t s = 0; s < others.values.size(); ++s)
                others.values[s] += rows[k].values[s];
        rows.resize(10);
        rows.push_back(others);
    }
    return rows;
}

struct Drawn
{
    int page = -1;
    std::vector<const PageItem *> texts, boxes;
    PageContent content;
};

// The chart's items, and the page they are on; fails when they are on more than one.
Drawn chartOf(Report &report, int chartObject)
{
    Drawn d;
    for (int n = 0; n < report.pageCount(); ++n) {
        PageContent page = report.page(n);
        const bool here = std::any_of(page.items.begin(), page.items.end(),
                                      [&](const PageItem &i) { return i.object == chartObject; });
        if (!here)
            continue;
        EXPECT_EQ(d.page, -1) << "the chart is split across pages " << d.page << " and " << n;
        d.page = n;
        d.content = std::move(page);
    }
    for (const PageItem &i : d.content.items) {
        if (i.object != chartObject)
            continue;
        if (i.kind == PageItem::Kind::Text)
            d.texts.push_back(&i);
        else if (i.kind == PageItem::Kind::Box)
            d.boxes.push_back(&i);
    }
    return d;
}

int objectIndex(const Report &report, const QString &name)
{
    for (size_t i = 0; i < report.objects().size(); ++i) {
        if (report.objects()[i]->Name() == name)
            return int(i);
    }
    return -1;
}

} // namespace

// The company-wise sale's chart, read off its page: a row of bars per company of the ten
// largest and one for the others, in order, each as long as its net sales in proportion, one bar
// per company and period, a legend only when two periods are drawn, grouped figures on the value
// axis; the whole chart on one page however many rows come before it.
TEST(Chart, DrawsTheLargestCompaniesInProportionOnOnePage)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    const struct
    {
        QString from, to, earlierFrom, earlierTo;
        int copies; // the rows repeated, to push the chart further down or onto a later page
    } cases[] = {
        {u"2026-01-01"_s, u"2026-06-30"_s, u"2025-07-01"_s, u"2025-12-31"_s, 1},
        {u"2026-03-01"_s, u"2026-03-31"_s, u"2025-10-01"_s, u"2025-10-31"_s, 4},
        {u"2025-01-01"_s, u"2025-12-31"_s, {}, {}, 7},
    };
    const QRegularExpression grouped(u"^-?\\d{1,3}(,\\d{3})+$"_s);
    for (const auto &c : cases) {
        SCOPED_TRACE(QString(c.from + u" copies "_s + QString::number(c.copies)).toStdString());
        const bool compare = !c.earlierFrom.isEmpty();
        const QString sql = query(c.from, c.to, c.earlierFrom, c.earlierTo);
        const auto once = db->execute(sql);
        ASSERT_GT(once->rowCount(), 10);
        std::vector<Expected> expected = expectedBars(*once, compare);
        Recordset rs;
        QString repeated = u"select q.* from ("_s + sql + u") q"_s;
        for (int k = 1; k < c.copies; ++k)
            repeated += u" union all select q.* from ("_s + sql + u") q"_s;
        if (c.copies > 1) {
            // The others now hold every copy but the first of each company above them.
            const auto all = db->execute(repeated);
            expected = expectedBars(*all, compare);
        }
        rs.open(repeated, *db);
        auto report = Report::fromLayout(u"CrpCompanyWiseSale"_s);
        report->Database().SetDataSource(rs, 3, 1);
        const int chart = objectIndex(*report, kChart);
        ASSERT_GE(chart, 0);
        const Drawn d = chartOf(*report, chart);
        ASSERT_GE(d.page, 0);
        EXPECT_EQ(d.page, report->pageCount() - 1);

        const size_t series = compare ? 2 : 1;
        if (compare) { // the earlier period has sales: its bars are there to measure
            ASSERT_TRUE(std::any_of(expected.begin(), expected.end(),
                                    [](const Expected &e) { return e.values[1] >= 1; }));
        }
        const QSizeF page = d.content.size;
        for (const PageItem *i : d.texts)
            EXPECT_TRUE(QRectF(QPointF(0, 0), page).contains(i->rect)) << i->text.toStdString();
        const auto hasText = [&](const QString &t) {
            return std::any_of(d.texts.begin(), d.texts.end(),
                               [&](const PageItem *i) { return i->text == t; });
        };
        EXPECT_EQ(hasText(u"Earlier period"_s), compare);
        EXPECT_EQ(hasText(u"Net sales"_s), compare);
        EXPECT_EQ(d.boxes.size(), expected.size() * series + (compare ? series : 0));

        // Labels top to bottom in the order of the figures (a company repeated is a label
        // repeated); the bars of a row lie across it.
        std::vector<const PageItem *> texts = d.texts;
        std::stable_sort(texts.begin(), texts.end(), [](const PageItem *a, const PageItem *b) {
            return a->rect.top() < b->rect.top();
        });
        std::vector<const PageItem *> labels;
        auto from = texts.begin();
        for (const Expected &e : expected) {
            const auto it = std::find_if(from, texts.end(), [&](const PageItem *i) {
                return i->text == e.label &&
                       (labels.empty() || i->rect.top() > labels.back()->rect.top());
            });
            ASSERT_NE(it, texts.end()) << e.label.toStdString();
            labels.push_back(*it);
            from = it + 1;
        }
        double perUnit = 0, zero = -1;
        for (size_t k = 0; k < expected.size(); ++k) {
            std::vector<const PageItem *> bars;
            for (const PageItem *b : d.boxes) {
                const double y = b->rect.center().y();
                if (y > labels[k]->rect.top() && y < labels[k]->rect.bottom())
                    bars.push_back(b);
            }
            ASSERT_EQ(bars.size(), series) << expected[k].label.toStdString();
            std::sort(bars.begin(), bars.end(), [](const PageItem *a, const PageItem *b) {
                return a->rect.top() < b->rect.top();
            });
            for (size_t s = 0; s < series; ++s) {
                const double v = expected[k].values[s];
                const QRectF &r = bars[s]->rect;
                const double foot = v >= 0 ? r.left() : r.right();
                if (zero < 0)
                    zero = foot;
                EXPECT_NEAR(foot, zero, 1e-6);
                if (std::abs(v) < 1)
                    continue;
                if (perUnit == 0)
                    perUnit = r.width() / std::abs(v);
                EXPECT_NEAR(r.width(), std::abs(v) * perUnit, 1e-6 * page.width())
                    << expected[k].label.toStdString() << " series " << s;
            }
        }
        std::vector<double> axis;
        for (const PageItem *i : d.texts) {
            if (grouped.match(i->text).hasMatch())
                axis.push_back(QString(i->text).remove(u',').toDouble());
        }
        ASSERT_GE(axis.size(), 2u);
        double largest = 0;
        for (const Expected &e : expected)
            for (double v : e.values)
                largest = std::max(largest, v);
        EXPECT_GE(*std::max_element(axis.begin(), axis.end()), largest);
    }
}

// The workbook's chart draws the sheet's own cells: its categories are the company cells of
// the data rows and its values the net sales cells beside them, named by their heading.
TEST(Chart, WorkbookChartIsBoundToTheDataCells)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    Recordset rs;
    rs.open(query(u"2026-01-01"_s, u"2026-06-30"_s, {}, {}), *db);
    auto report = Report::fromLayout(u"CrpCompanyWiseSale"_s);
    report->Database().SetDataSource(rs, 3, 1);
    QTemporaryDir folder(DemoFixture::temporaryFolder() + u"/chart-XXXXXX"_s);
    const QString path = folder.filePath(u"chart.xlsx"_s);
    ASSERT_TRUE(XlsxExporter(*report).write(path));
    const XlsxReader book(path);
    ASSERT_TRUE(book.isValid());
    const QString xml = QString::fromUtf8(XlsxReader::entry(path, u"xl/charts/chart1.xml"_s));
    ASSERT_FALSE(xml.isEmpty());

    static const QRegularExpression formula(u"<c:f>'?([^'<]+)'?!\\$([A-Z]+)\\$(\\d+)"
                                            u"(?::\\$([A-Z]+)\\$(\\d+))?</c:f>"_s);
    std::vector<QRegularExpressionMatch> refs;
    for (auto it = formula.globalMatch(xml); it.hasNext();)
        refs.push_back(it.next());
    ASSERT_EQ(refs.size(), 3u); // name, categories, values of the one series
    const XlsxReader::Sheet &sheet = book.sheets().front();
    const auto cell = [&](const QString &column, const QString &row) {
        int r = 0, c = 0;
        EXPECT_TRUE(XlsxReader::parseReference(column + row, r, c));
        return std::pair{r, c};
    };
    for (const auto &m : refs)
        EXPECT_EQ(m.captured(1), sheet.name);
    const auto [nameRow, nameColumn] = cell(refs[0].captured(2), refs[0].captured(3));
    ASSERT_NE(sheet.cell(nameRow, nameColumn), nullptr);
    EXPECT_EQ(sheet.cell(nameRow, nameColumn)->value, u"Net Sales"_s);

    const auto [firstRow, categoryColumn] = cell(refs[1].captured(2), refs[1].captured(3));
    const auto [lastRow, categoryEnd] = cell(refs[1].captured(4), refs[1].captured(5));
    const auto [valueFirst, valueColumn] = cell(refs[2].captured(2), refs[2].captured(3));
    const auto [valueLast, valueEnd] = cell(refs[2].captured(4), refs[2].captured(5));
    EXPECT_EQ(categoryColumn, categoryEnd);
    EXPECT_EQ(valueColumn, valueEnd);
    EXPECT_EQ(valueColumn, nameColumn);
    EXPECT_EQ(valueFirst, firstRow);
    EXPECT_EQ(valueLast, lastRow);
    EXPECT_EQ(firstRow, nameRow + 1);

    const ResultTable &t = *rs.rows();
    ASSERT_EQ(lastRow - firstRow + 1, t.rowCount());
    for (int r = 0; r < t.rowCount(); ++r) {
        const XlsxReader::Cell *name = sheet.cell(firstRow + r, categoryColumn);
        const XlsxReader::Cell *net = sheet.cell(firstRow + r, valueColumn);
        ASSERT_TRUE(name && net) << r;
        EXPECT_EQ(name->value.trimmed(), t.text(t.columnIndex(u"CompanyName"_s), r).trimmed());
        EXPECT_NEAR(net->number(),
                    t.number(t.columnIndex(u"SaleValue"_s), r) -
                        t.number(t.columnIndex(u"ReturnValue"_s), r),
                    0.005);
    }
}

// A faulty chart is named in its layout, with what is wrong.
TEST(Chart, FaultyChartsAreRefusedWithTheirPlace)
{
    const auto layoutWith = [](const QString &band, const QString &chart) {
        return (u"{\"name\": \"t\", \"page\": {\"margins\": {}}, \"bands\": ["
                u"{\"kind\": \"detail\", \"height\": 5, \"objects\": []},"
                u"{\"kind\": \"%1\", \"height\": 80, \"objects\": [{\"type\": \"chart\", "
                u"\"name\": \"c\", \"x\": 0, \"y\": 0, \"width\": 100, \"height\": 70, "
                u"\"chart\": %2}]}]}"_s)
            .arg(band, chart)
            .toUtf8();
    };
    const QString good = uR"({"category": "Name", "series": [{"column": "Net"}]})"_s;
    const struct
    {
        QString band, chart, error; // error: empty when the layout is good
    } cases[] = {
        {u"reportFooter"_s, good, {}},
        {u"reportHeader"_s, good, {}},
        {u"pageFooter"_s, good, u"report header or footer"_s},
        {u"reportFooter"_s, uR"({"category": "Name", "series": []})"_s, u"at least one series"_s},
        {u"reportFooter"_s, uR"({"series": [{"column": "Net"}]})"_s, u"category"_s},
        {u"reportFooter"_s, uR"({"kind": "pie", "category": "N", "series": [{"column": "Net"}]})"_s,
         u"unknown chart kind"_s},
        {u"reportFooter"_s,
         uR"({"category": "N", "series": [{"column": "Net", "optional": true}]})"_s,
         u"cannot be optional"_s},
        {u"reportFooter"_s, uR"({"category": "N", "largest": -1, "series": [{"column": "Net"}]})"_s,
         u"largest"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString(c.band + u" "_s + c.chart).toStdString());
        try {
            const ReportLayout layout = LayoutParser::parse(layoutWith(c.band, c.chart), u"t"_s);
            EXPECT_TRUE(c.error.isEmpty());
            EXPECT_EQ(layout.bands.back().objects.front().chart->series.front().column, u"Net"_s);
        } catch (const LayoutError &e) {
            EXPECT_FALSE(c.error.isEmpty()) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(c.error) || e.where().contains(c.error))
                << e.message().toStdString() << " at " << e.where().toStdString();
        }
    }
}

// Columns and lines rise from the zero line in proportion to their values, below it for a
// loss, one place per customer left to right (the largest few and the others where asked), the
// same whether drawn as columns or as points of a line.
TEST(Chart, ColumnsAndLinesRiseInProportionFromZero)
{
    const std::vector<RegionSales::Sale> rows = RegionSales::random(9, 11, 1, 1, -400.0);
    const struct
    {
        QString kind;
        int largest;
    } cases[] = {{u"column"_s, 0}, {u"line"_s, 0}, {u"column"_s, 4}, {u"line"_s, 3}};
    for (const auto &c : cases) {
        SCOPED_TRACE(QString(c.kind + QString::number(c.largest)).toStdString());
        std::vector<Expected> expected;
        for (const RegionSales::Sale &s : rows)
            expected.push_back({s.customer, {cents(s.amount)}});
        if (c.largest > 0) {
            std::stable_sort(
                expected.begin(), expected.end(),
                [](const Expected &a, const Expected &b) { return a.values[0] > b.values[0]; });
            Expected others{u"Rest"_s, {0.0}};
            for (size_t k = size_t(c.largest); k < expected.size(); ++k)
                others.values[0] += expected[k].values[0];
            expected.resize(size_t(c.largest));
            expected.push_back(others);
        }
        const QByteArray json =
            (u"{\"name\": \"t\", \"page\": {\"margins\": {}}, \"bands\": ["
             u"{\"kind\": \"detail\", \"height\": 5, \"objects\": []},"
             u"{\"kind\": \"reportFooter\", \"height\": 90, \"objects\": [{\"type\": \"chart\", "
             u"\"name\": \"c\", \"x\": 0, \"y\": 0, \"width\": 180, \"height\": 80, \"chart\": "
             u"{\"kind\": \"%1\", \"category\": \"customer\", \"largest\": %2, \"others\": "
             u"\"Rest\", "
             u"\"series\": [{\"column\": \"amount\"}]}}]}]}"_s)
                .arg(c.kind)
                .arg(c.largest)
                .toUtf8();
        auto report = std::make_unique<Report>(
            std::make_shared<ReportLayout>(LayoutParser::parse(json, u"t"_s)));
        Recordset rs;
        rs.open(RegionSales::table(rows));
        report->Database().SetDataSource(rs, 3, 1);
        const int chart = objectIndex(*report, u"c"_s);
        Drawn d = chartOf(*report, chart);
        ASSERT_GE(d.page, 0);

        // Where each category's value stands: a column's top or foot, or a point of the line.
        std::vector<QPointF> tips;
        double zero = 0;
        if (c.kind == u"line") {
            ASSERT_EQ(d.content.paths.size(), 1u);
            ASSERT_TRUE(d.boxes.empty());
            for (const QPointF &p : d.content.paths.front())
                tips.push_back(p);
            // The zero line is the chart's one line as wide as all the points.
            for (const PageItem &i : d.content.items) {
                if (i.object == chart && i.kind == PageItem::Kind::Line && i.rect.height() == 0 &&
                    d.content.styles[size_t(i.style)].lineWidth > 0.5)
                    zero = i.rect.top();
            }
        } else {
            ASSERT_EQ(d.boxes.size(), expected.size());
            std::vector<const PageItem *> boxes = d.boxes;
            std::sort(boxes.begin(), boxes.end(), [](const PageItem *a, const PageItem *b) {
                return a->rect.left() < b->rect.left();
            });
            for (size_t k = 0; k < boxes.size(); ++k) {
                const double v = expected[k].values[0];
                tips.emplace_back(boxes[k]->rect.center().x(),
                                  v >= 0 ? boxes[k]->rect.top() : boxes[k]->rect.bottom());
                const double foot = v >= 0 ? boxes[k]->rect.bottom() : boxes[k]->rect.top();
                if (k == 0)
                    zero = foot;
                EXPECT_NEAR(foot, zero, 1e-6) << k;
            }
        }
        ASSERT_EQ(tips.size(), expected.size());
        const double perUnit = (zero - tips[0].y()) / expected[0].values[0];
        EXPECT_GT(perUnit, 0);
        for (size_t k = 0; k < tips.size(); ++k) {
            EXPECT_NEAR(zero - tips[k].y(), expected[k].values[0] * perUnit, 1e-6) << k;
            if (k > 0) {
                EXPECT_GT(tips[k].x(), tips[k - 1].x());
            }
            // The category's label stands under its place.
            const auto label = std::find_if(d.texts.begin(), d.texts.end(), [&](const PageItem *i) {
                return i->text == expected[k].label && i->rect.left() < tips[k].x() &&
                       i->rect.right() > tips[k].x() && i->rect.top() >= zero - 1e-6;
            });
            EXPECT_NE(label, d.texts.end()) << expected[k].label.toStdString();
        }
    }
}
