#include "presentation/Report.h"
#include "RegionSales.h"
#include "ReportChecks.h"
#include "db/Failure.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/DataBinding.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>

#include "presentation/PageRenderer.h"

using namespace Qt::StringLiterals;

namespace {

using RegionSales::Sale;
using ReportChecks::amount;
using ReportChecks::printed;

std::vector<Sale> sales(int count, unsigned seed)
{
    return RegionSales::random(count, seed);
}

std::shared_ptr<const ReportLayout> fixture(const QString &name)
{
    return RegionSales::layout(name);
}

std::shared_ptr<ResultTable> tableOf(const std::vector<Sale> &rows, bool withAmount = true)
{
    return RegionSales::table(rows, withAmount);
}

QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &f) {
        return f.description();
    }
    return QString();
}

} // namespace

TEST(Report, GroupAndReportTotalsEqualTheSumsOfTheBoundRows)
{
    const std::vector<Sale> rows = sales(900, 7);
    Recordset rs;
    rs.open(tableOf(rows));
    Report report(fixture(u"twoGroups"_s));
    report.Database().SetDataSource(rs, 3, 1);
    ASSERT_GT(report.pageCount(), 5);

    std::vector<double> customerSums, regionSums, regionValues;
    std::vector<int> customerCounts;
    double total = 0, totalValue = 0;
    qint64 totalQty = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const bool newRegion = i == 0 || rows[i].region != rows[i - 1].region;
        const bool newCustomer = newRegion || rows[i].customer != rows[i - 1].customer;
        if (newRegion) {
            regionSums.push_back(0);
            regionValues.push_back(0);
        }
        if (newCustomer) {
            customerSums.push_back(0);
            customerCounts.push_back(0);
        }
        customerSums.back() += rows[i].amount;
        customerCounts.back() += 1;
        regionSums.back() += rows[i].amount;
        regionValues.back() += double(rows[i].qty) * rows[i].price;
        total += rows[i].amount;
        totalValue += double(rows[i].qty) * rows[i].price;
        totalQty += rows[i].qty;
    }

    const QStringList customers = printed(report, u"sumCustomerAmount"_s);
    const QStringList counts = printed(report, u"cntCustomerLines"_s);
    ASSERT_EQ(size_t(customers.size()), customerSums.size());
    for (qsizetype i = 0; i < customers.size(); ++i) {
        EXPECT_NEAR(amount(customers[i]), customerSums[size_t(i)], 0.005) << i;
        EXPECT_EQ(counts[i].toInt(), customerCounts[size_t(i)]) << i;
    }
    const QStringList regions = printed(report, u"sumRegionAmount"_s);
    const QStringList values = printed(report, u"sumRegionValue"_s);
    ASSERT_EQ(size_t(regions.size()), regionSums.size());
    for (qsizetype i = 0; i < regions.size(); ++i) {
        EXPECT_NEAR(amount(regions[i]), regionSums[size_t(i)], 0.005);
        EXPECT_NEAR(amount(values[i]), regionValues[size_t(i)], 0.005);
    }
    EXPECT_NEAR(amount(printed(report, u"sumAmount"_s).at(0)), total, 0.005);
    EXPECT_NEAR(amount(printed(report, u"sumValue"_s).at(0)), totalValue, 0.005);
    EXPECT_EQ(amount(printed(report, u"sumQty"_s).at(0)), double(totalQty));

    // Every row once, in order; "Page N of M" right on every page, the last included.
    EXPECT_EQ(size_t(printed(report, u"fldAmount"_s).size()), rows.size());
    const QStringList pages = printed(report, u"fldPage"_s);
    ASSERT_EQ(int(pages.size()), report.pageCount());
    EXPECT_EQ(pages.back(), u"Page %1 of %1"_s.arg(report.pageCount()));
    EXPECT_EQ(pages.front(), u"Page 1 of %1"_s.arg(report.pageCount()));
}

// Any page can be built on its own, in any order, and comes out as it does when the pages
// before it were built first: same texts, totals and places.
TEST(Report, BuildsAnyPageOutOfOrderAsInOrder)
{
    const auto table = tableOf(sales(900, 11));
    auto bound = [&](Report &report) {
        Recordset rs;
        rs.open(table);
        report.setCriteriaLine(u"Period 01-Jul-2026 to 06-Dec-2026"_s);
        report.Database().SetDataSource(rs);
    };
    Report inOrder(fixture(u"twoGroups"_s));
    bound(inOrder);
    const int count = inOrder.pageCount();
    ASSERT_GT(count, 8);
    std::vector<std::vector<std::tuple<int, QRectF, QString>>> pages;
    for (int n = 0; n < count; ++n) {
        pages.emplace_back();
        for (const PageItem &item : inOrder.page(n).items)
            pages.back().emplace_back(item.object, item.rect, item.text);
    }

    Report outOfOrder(fixture(u"twoGroups"_s));
    bound(outOfOrder);
    for (int n : {count - 1, count / 2, 1, count - 2, count / 2 + 1, 0, count - 1}) {
        std::vector<std::tuple<int, QRectF, QString>> items;
        for (const PageItem &item : outOfOrder.page(n).items)
            items.emplace_back(item.object, item.rect, item.text);
        EXPECT_EQ(items, pages[size_t(n)]) << "page " << n;
    }
}

// The rows are printed in the layout's sort order, each key in its own direction, texts
// without regard to case.
TEST(Report, SortsByEachKeyInItsOwnDirection)
{
    std::vector<Sale> rows = sales(300, 5);
    for (size_t i = 0; i < rows.size(); i += 3)
        rows[i].region = rows[i].region.toUpper();
    ReportLayout layout = *fixture(u"twoGroups"_s);
    layout.groups.clear();
    layout.sortBy = {{u"region"_s, true}, {u"amount"_s, false}};
    for (Band &band : layout.bands)
        std::erase_if(band.objects, [](const LayoutObject &o) { return o.scopeGroup >= 0; });
    std::erase_if(layout.bands, [](const Band &b) { return b.group >= 0; });

    const auto table = tableOf(rows);
    const std::vector<int> order = DataBinding(table, {}, true, layout).printOrder();
    ASSERT_EQ(order.size(), rows.size());
    for (size_t i = 1; i < order.size(); ++i) {
        const Sale &a = rows[size_t(order[i - 1])], &b = rows[size_t(order[i])];
        const int regions = a.region.compare(b.region, Qt::CaseInsensitive);
        EXPECT_GE(regions, 0) << i;
        if (regions == 0) {
            EXPECT_LE(a.amount, b.amount) << i;
        }
    }
    EXPECT_EQ(rows[size_t(order.front())].region.toLower(), u"region 3"_s);
}

TEST(Report, PrintsTheCriteriaLineOnEveryPageAndMarksContinuedGroups)
{
    const auto table = tableOf(sales(600, 9));
    const QString criteria = u"Period 01-Jul-2026 to 06-Dec-2026 \u00B7 Customer C0317 Khan"_s;
    Report report(fixture(u"twoGroups"_s));
    report.setCriteriaLine(criteria);
    Recordset rs;
    rs.open(table);
    report.Database().SetDataSource(rs);
    const int pages = report.pageCount();
    const QStringList criteriaLines = printed(report, u"fldCriteria"_s);
    EXPECT_EQ(criteriaLines.size(), pages);
    EXPECT_EQ(criteriaLines.count(u"For "_s + criteria), pages);

    // A region carried over to a new page has its header again, marked; a region that begins
    // on a page has it once, unmarked.
    QString lastRegion;
    int continued = 0;
    for (int n = 0; n < pages; ++n) {
        std::vector<QString> regions, markers;
        for (const PageItem &item : report.page(n).items) {
            const QString &name = report.objects()[size_t(item.object)]->Name();
            if (name == u"fldRegion"_s)
                regions.push_back(item.text);
            else if (name == u"fldRegionContinued"_s)
                markers.push_back(item.text);
        }
        ASSERT_FALSE(regions.empty()) << "page " << n;
        const bool carriedOver = regions.front() == lastRegion;
        EXPECT_EQ(markers,
                  carriedOver ? std::vector<QString>{u"(continued)"_s} : std::vector<QString>())
            << "page " << n;
        continued += carriedOver;
        lastRegion = regions.back();
    }
    EXPECT_GT(continued, 2);

    // Without a criteria line the page header gives up the line's strip: everything below it
    // moves up, and pages hold more rows. Setting one afterwards puts it back.
    Report plain(fixture(u"twoGroups"_s));
    plain.Database().SetDataSource(rs);
    auto top = [](Report &r, const QString &name) {
        for (const PageItem &item : r.page(1).items) {
            if (r.objects()[size_t(item.object)]->Name() == name)
                return item.rect.top();
        }
        return -1.0;
    };
    constexpr double strip = 5 * LayoutUnits::pointsPerMillimetre;
    EXPECT_TRUE(printed(plain, u"fldCriteria"_s).empty());
    EXPECT_NEAR(top(plain, u"Nobox"_s), top(report, u"Nobox"_s) - strip, 0.01);
    EXPECT_NEAR(top(plain, u"fldRegion"_s), top(report, u"fldRegion"_s) - strip, 0.01);
    EXPECT_LT(plain.pageCount(), pages);
    plain.setCriteriaLine(criteria);
    EXPECT_EQ(plain.pageCount(), pages);
    EXPECT_NEAR(top(plain, u"Nobox"_s), top(report, u"Nobox"_s), 0.01);
}

TEST(Report, NamesWhatIsMissing)
{
    Report report(fixture(u"twoGroups"_s));
    EXPECT_TRUE(failureOf([&] {
                    report.textObject(u"txtCompName"_s).SetText(u"x"_s);
                }).contains(u"txtCompName"_s));
    EXPECT_TRUE(failureOf([&] {
                    report.ParameterFields(3).AddCurrentValue(u"x"_s);
                }).contains(u"parameter field 3"_s));
    EXPECT_TRUE(failureOf([&] { report.ParameterFields(0); }).contains(u"parameter field 0"_s));
    // A field object is not a text object.
    EXPECT_TRUE(failureOf([&] { report.textObject(u"fldRegion"_s); }).contains(u"fldRegion"_s));

    Recordset lacking;
    lacking.open(tableOf(sales(10, 1), false));
    const QString unbound = failureOf([&] { report.Database().SetDataSource(lacking); });
    EXPECT_TRUE(unbound.contains(u"amount"_s, Qt::CaseInsensitive)) << unbound.toStdString();
    EXPECT_FALSE(report.isBound());
    EXPECT_FALSE(failureOf([&] { report.pageCount(); }).isEmpty());

    Recordset closed;
    EXPECT_FALSE(failureOf([&] { report.Database().SetDataSource(closed); }).isEmpty());
    Recordset rs;
    rs.open(tableOf(sales(10, 1)));
    EXPECT_FALSE(failureOf([&] { report.Database().SetDataSource(rs, 3, 2); }).isEmpty());
    EXPECT_FALSE(failureOf([&] { report.SetPaperOrientation(3); }).isEmpty());
}

TEST(Report, CarriesTextsParametersAndItsSections)
{
    Report report(fixture(u"twoGroups"_s));
    report.textObject(u"TXTTITLE"_s).SetText(u"Norvale Agro"_s);
    report.ParameterFields(1).AddCurrentValue(u"From 01/07/2026"_s);
    report.ParameterFields(2).AddCurrentValue(u"All"_s);
    report.setPrintDate(QDate(2026, 12, 6));
    Recordset rs;
    rs.open(tableOf(sales(30, 2)));
    report.Database().SetDataSource(rs);
    EXPECT_EQ(printed(report, u"txtTitle"_s).front(), u"Norvale Agro"_s);
    EXPECT_EQ(printed(report, u"prmPeriod"_s).front(), u"From 01/07/2026"_s);
    EXPECT_EQ(printed(report, u"prmScope"_s).front(), u"Scope: All"_s);
    EXPECT_EQ(printed(report, u"fldPrinted"_s).front(), u"Printed 06/12/2026"_s);

    std::map<QString, ReportObject::Kind> kinds;
    QStringList sections;
    for (const ReportSection &section : report.Sections()) {
        sections.append(section.Name());
        for (const ReportObject *o : section.ReportObjects())
            kinds[o->Name()] = o->kind();
    }
    EXPECT_EQ(
        sections,
        (QStringList{u"ReportHeaderSection"_s, u"PageHeaderSection"_s, u"GroupHeaderSection1"_s,
                     u"GroupHeaderSection2"_s, u"DetailSection"_s, u"GroupFooterSection2"_s,
                     u"GroupFooterSection1"_s, u"ReportFooterSection"_s, u"PageFooterSection"_s}));
    EXPECT_EQ(kinds[u"NOTE1"_s], ReportObject::Kind::Text);
    EXPECT_EQ(kinds[u"fldAmount"_s], ReportObject::Kind::Field);
    EXPECT_EQ(kinds[u"sumAmount"_s], ReportObject::Kind::Field);
    EXPECT_EQ(kinds[u"Nobox"_s], ReportObject::Kind::Box);
    EXPECT_EQ(kinds[u"lineHeading"_s], ReportObject::Kind::Other);

    // Landscape: a wider, shorter page, paginated again.
    const int portraitPages = report.pageCount();
    report.SetPaperOrientation(2);
    EXPECT_EQ(report.PaperOrientation(), 2);
    EXPECT_GT(report.pageSize().width(), report.pageSize().height());
    EXPECT_GE(report.pageCount(), portraitPages);
}

TEST(Report, ExportsTheBoundRowsAndRendersOffTheGuiThread)
{
    QTemporaryDir folder;
    const auto table = tableOf(sales(400, 3));
    Recordset rs;
    rs.open(table);
    rs.setFilter(u"Region = 'Region 1'"_s);
    Report report(fixture(u"twoGroups"_s));
    report.Database().SetDataSource(rs);
    report.exportCsv(folder.filePath(u"rows.csv"_s));
    QFile csv(folder.filePath(u"rows.csv"_s));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    EXPECT_EQ(lines.front(), QByteArray("REGION,Customer,qty,price,Amount\r"));
    EXPECT_EQ(lines.size() - 2,
              rs.recordCount()); // header, and the empty piece after the last line

    // A cancelled export leaves nothing behind.
    EXPECT_FALSE(
        report.exportPdf(folder.filePath(u"cancelled.pdf"_s), [](int, int) { return false; }));
    EXPECT_FALSE(QFile::exists(folder.filePath(u"cancelled.pdf"_s)));

    // The engine needs no widgets and no GUI thread: prepare, render and export in a worker.
    bool ok = false;
    QImage image;
    QThread *worker = QThread::create([&] {
        Report threaded(fixture(u"twoGroups"_s));
        Recordset rows;
        rows.open(table);
        threaded.Database().SetDataSource(rows);
        image = QImage(600, 850, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PageRenderer(threaded, painter, 600.0 / threaded.pageSize().width())
            .render(threaded.page(0));
        painter.end();
        ok = threaded.exportPdf(folder.filePath(u"worker.pdf"_s));
    });
    worker->start();
    ASSERT_TRUE(worker->wait(60000));
    delete worker;
    EXPECT_TRUE(ok);
    EXPECT_GT(QFile(folder.filePath(u"worker.pdf"_s)).size(), 1000);
    int inked = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            inked += image.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(inked, 500);
}

// A point on a page leads back to the bound row shown there, in any print order; points
// outside the detail rows lead nowhere.
TEST(Report, MapsAPointOnAPageToTheRowItShows)
{
    std::vector<Sale> rows = sales(200, 11);
    std::shuffle(rows.begin(), rows.end(), std::mt19937(3)); // the layout sorts them again
    Recordset rs;
    rs.open(tableOf(rows));
    Report report(fixture(u"twoGroups"_s));
    report.Database().SetDataSource(rs, 3, 1);

    std::vector<int> seen(rows.size(), 0);
    for (int n = 0; n < report.pageCount(); ++n) {
        const PageContent page = report.page(n);
        EXPECT_EQ(page.rowAt(QPointF(1, 1)), -1) << "the page's corner shows no row";
        for (const PageRow &r : page.rows) {
            ASSERT_GE(r.tableRow, 0);
            ASSERT_LT(r.tableRow, int(rows.size()));
            ++seen[size_t(r.tableRow)];
            EXPECT_EQ(page.rowAt(r.rect.center()), r.tableRow);
            // The amount printed inside the row's area is that row's.
            for (const PageItem &item : page.items) {
                if (report.objects()[size_t(item.object)]->Name() == u"fldAmount"_s &&
                    r.rect.contains(item.rect.center())) {
                    EXPECT_DOUBLE_EQ(amount(item.text), rows[size_t(r.tableRow)].amount);
                }
            }
        }
    }
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int k) { return k == 1; }));
}
