#include "presentation/Report.h"
#include "RegionSales.h"
#include "ReportChecks.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using namespace Qt::StringLiterals;

namespace {

using RegionSales::Sale;
using ReportChecks::amount;
using ReportChecks::printed;

std::unique_ptr<Report> bound(const std::shared_ptr<ResultTable> &table,
                              const QString &criteria = {})
{
    auto report = std::make_unique<Report>(RegionSales::layout(u"twoGroups"_s));
    Recordset rs;
    rs.open(table);
    if (!criteria.isEmpty())
        report->setCriteriaLine(criteria);
    report->Database().SetDataSource(rs, 3, 1);
    return report;
}

std::vector<std::tuple<int, QRectF, QString>> itemsOf(const PageContent &page)
{
    std::vector<std::tuple<int, QRectF, QString>> items;
    for (const PageItem &item : page.items)
        items.emplace_back(item.object, item.rect, item.text);
    return items;
}

} // namespace

// Every total is the sum of its rows, and a point on a page leads back to the row shown there,
// whatever order the rows were bound in.
TEST(Report, TotalsEqualTheSumsOfTheBoundRowsAndPointsLeadToTheirRows)
{
    const std::vector<Sale> rows = RegionSales::random(900, 7);
    auto report = bound(RegionSales::table(rows));
    ASSERT_GT(report->pageCount(), 5);

    std::vector<std::pair<double, int>> customers;  // amount, lines
    std::vector<std::pair<double, double>> regions; // amount, value
    double total = 0, totalValue = 0, totalQty = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Sale &s = rows[i];
        const bool newRegion = i == 0 || s.region != rows[i - 1].region;
        if (newRegion)
            regions.emplace_back();
        if (newRegion || s.customer != rows[i - 1].customer)
            customers.emplace_back();
        customers.back().first += s.amount;
        ++customers.back().second;
        regions.back().first += s.amount;
        regions.back().second += double(s.qty) * s.price;
        total += s.amount;
        totalValue += double(s.qty) * s.price;
        totalQty += s.qty;
    }
    const QStringList customerSums = printed(*report, u"sumCustomerAmount"_s);
    const QStringList counts = printed(*report, u"cntCustomerLines"_s);
    ASSERT_EQ(size_t(customerSums.size()), customers.size());
    for (qsizetype i = 0; i < customerSums.size(); ++i) {
        EXPECT_NEAR(amount(customerSums[i]), customers[size_t(i)].first, 0.005) << i;
        EXPECT_EQ(counts[i].toInt(), customers[size_t(i)].second) << i;
    }
    const QStringList regionSums = printed(*report, u"sumRegionAmount"_s);
    const QStringList values = printed(*report, u"sumRegionValue"_s);
    ASSERT_EQ(size_t(regionSums.size()), regions.size());
    for (qsizetype i = 0; i < regionSums.size(); ++i) {
        EXPECT_NEAR(amount(regionSums[i]), regions[size_t(i)].first, 0.005) << i;
        EXPECT_NEAR(amount(values[i]), regions[size_t(i)].second, 0.005) << i;
    }
    EXPECT_NEAR(amount(printed(*report, u"sumAmount"_s).at(0)), total, 0.005);
    EXPECT_NEAR(amount(printed(*report, u"sumValue"_s).at(0)), totalValue, 0.005);
    EXPECT_EQ(amount(printed(*report, u"sumQty"_s).at(0)), totalQty);
    EXPECT_EQ(printed(*report, u"fldPage"_s).back(), u"Page %1 of %1"_s.arg(report->pageCount()));

    // Bound in another order, each point still leads to the row printed there.
    std::vector<Sale> shuffled = rows;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(3));
    report = bound(RegionSales::table(shuffled));
    std::vector<int> seen(rows.size(), 0);
    for (int n = 0; n < report->pageCount(); ++n) {
        const PageContent page = report->page(n);
        EXPECT_EQ(page.rowAt(QPointF(1, 1)), -1) << "the page's corner shows no row";
        for (const PageRow &r : page.rows) {
            ASSERT_GE(r.tableRow, 0);
            ASSERT_LT(r.tableRow, int(rows.size()));
            ++seen[size_t(r.tableRow)];
            EXPECT_EQ(page.rowAt(r.rect.center()), r.tableRow);
            for (const PageItem &item : page.items) {
                if (report->objects()[size_t(item.object)]->Name() == u"fldAmount"_s &&
                    r.rect.contains(item.rect.center())) {
                    EXPECT_DOUBLE_EQ(amount(item.text), shuffled[size_t(r.tableRow)].amount);
                }
            }
        }
    }
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int k) { return k == 1; }));
}

// Any page can be built on its own, in any order, and comes out as it does when the pages
// before it were built first: same texts, totals and places.
TEST(Report, BuildsAnyPageOutOfOrderAsInOrder)
{
    const auto table = RegionSales::table(RegionSales::random(900, 11));
    auto inOrder = bound(table, u"Period 01-Jul-2026 to 06-Dec-2026"_s);
    const int count = inOrder->pageCount();
    ASSERT_GT(count, 8);
    std::vector<std::vector<std::tuple<int, QRectF, QString>>> pages;
    for (int n = 0; n < count; ++n)
        pages.push_back(itemsOf(inOrder->page(n)));

    auto outOfOrder = bound(table, u"Period 01-Jul-2026 to 06-Dec-2026"_s);
    for (int n : {count - 1, count / 2, 1, count - 2, count / 2 + 1, 0, count - 1})
        EXPECT_EQ(itemsOf(outOfOrder->page(n)), pages[size_t(n)]) << "page " << n;
}

// The criteria line heads every page; a region carried over to a new page has its header again,
// marked, and a region that begins on a page has it once, unmarked.
TEST(Report, PrintsTheCriteriaLineOnEveryPageAndMarksContinuedGroups)
{
    const QString criteria = u"Period 01-Jul-2026 to 06-Dec-2026 \u00B7 Customer C0317 Khan"_s;
    auto report = bound(RegionSales::table(RegionSales::random(600, 9)), criteria);
    const int pages = report->pageCount();
    EXPECT_EQ(printed(*report, u"fldCriteria"_s), QStringList(pages, u"For "_s + criteria));

    QString lastRegion;
    int continued = 0;
    for (int n = 0; n < pages; ++n) {
        std::vector<QString> regions, markers;
        for (const PageItem &item : report->page(n).items) {
            const QString &name = report->objects()[size_t(item.object)]->Name();
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
}
