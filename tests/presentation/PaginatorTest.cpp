#include "presentation/Paginator.h"

#include <gtest/gtest.h>
#include <random>

namespace {

PaginatorBands plain(double body, double detail, double pageHeader = 0, double pageFooter = 0)
{
    PaginatorBands b;
    b.pageBody = body;
    b.detail = detail;
    b.pageHeader = pageHeader;
    b.pageFooter = pageFooter;
    return b;
}

PaginatorBands grouped(PaginatorBands b, std::vector<double> headers, std::vector<double> footers,
                       std::vector<bool> reprint = {})
{
    b.groupHeader = std::move(headers);
    b.groupFooter = std::move(footers);
    b.reprintHeader = std::move(reprint);
    return b;
}

// Breaks for consecutive groups of the given sizes, one group level.
std::vector<uint8_t> groupsOf(std::initializer_list<int> sizes)
{
    std::vector<uint8_t> breaks;
    for (int size : sizes) {
        for (int i = 0; i < size; ++i)
            breaks.push_back(i == 0 ? 0 : 1);
    }
    return breaks;
}

std::vector<int> startRows(Paginator &p)
{
    std::vector<int> rows;
    for (int n = 0; n < p.pageCount(); ++n)
        rows.push_back(p.pageStart(n).row);
    return rows;
}

struct Case
{
    const char *name;
    PaginatorBands bands;
    std::vector<uint8_t> breaks;
    std::vector<int> startRows;
};

} // namespace

TEST(Paginator, SplitsRowsByBandHeights)
{
    PaginatorBands withReportHeader = plain(100, 10, 10, 10);
    withReportHeader.reportHeader = 20;
    PaginatorBands tallFooter = plain(100, 10, 10, 10);
    tallFooter.reportFooter = 30;
    const std::vector<Case> cases = {
        {"eight rows a page", plain(100, 10, 10, 10), std::vector<uint8_t>(17, 0), {0, 8, 16}},
        {"report header on the first page only",
         withReportHeader,
         std::vector<uint8_t>(17, 0),
         {0, 6, 14}},
        {"the report footer takes the last row with it",
         tallFooter,
         std::vector<uint8_t>(16, 0),
         {0, 8, 15}},
        {"a group footer takes its group's last row with it",
         grouped(plain(50, 10), {10}, {10}),
         groupsOf({4}),
         {0, 3}},
        {"a row with totals taller than a page still prints",
         grouped(plain(30, 10), {10}, {25}),
         groupsOf({1, 1}),
         {0, 1, 1, 2}},
        {"a band taller than a page gets its own",
         plain(100, 120),
         std::vector<uint8_t>(3, 0),
         {0, 1, 2}},
        {"no rows still makes a page", plain(100, 10, 10, 10), {}, {0}},
        // The header of the second group would fit at the foot of page 1, its row would not.
        {"a group header travels with its first row",
         grouped(plain(50, 10), {10}, {10}),
         groupsOf({2, 2}),
         {0, 2}},
        {"groups that fit share the page",
         grouped(plain(80, 10), {10}, {10}),
         groupsOf({2, 2}),
         {0}},
    };
    for (const Case &c : cases) {
        Paginator p(c.bands, c.breaks);
        EXPECT_EQ(startRows(p), c.startRows) << c.name;
    }
}

TEST(Paginator, IsLazyAndRepeatsOpenGroupHeaders)
{
    const std::vector<uint8_t> breaks(100000, 0);
    Paginator lazy(plain(100, 10), breaks);
    EXPECT_TRUE(lazy.hasPage(1));
    EXPECT_EQ(lazy.knownPages(), 2);
    EXPECT_FALSE(lazy.isComplete());
    EXPECT_EQ(lazy.pageCount(), 10000);
    EXPECT_FALSE(lazy.hasPage(10000));

    // One group of six rows over two pages: the header comes again, marked as repeated, and
    // the footer follows the last row.
    Paginator p(grouped(plain(50, 10), {10}, {10}, {true}), groupsOf({6}));
    ASSERT_EQ(p.pageCount(), 2);
    const std::vector<PlacedBand> second = p.bands(1);
    std::vector<BandKind> kinds;
    for (const PlacedBand &b : second)
        kinds.push_back(b.kind);
    EXPECT_EQ(kinds,
              (std::vector<BandKind>{BandKind::PageHeader, BandKind::GroupHeader, BandKind::Detail,
                                     BandKind::Detail, BandKind::GroupFooter,
                                     BandKind::ReportFooter, BandKind::PageFooter}));
    EXPECT_TRUE(second[1].repeated);
    EXPECT_EQ(second[2].row, 4);
    EXPECT_EQ(second[4].row, 5); // the footer shows the group's last row
}

// Random layouts and groupings: every row is printed once, in order; no group header is left
// without its first row on the same page, and no total without its group's last row; a page
// that continues groups repeats their headers (where the layout asks for it), outermost first;
// nothing runs past the page footer unless it is the only thing on its page.
TEST(Paginator, KeepsItsPromisesOnRandomReports)
{
    std::mt19937 random(20261206);
    for (int trial = 0; trial < 400; ++trial) {
        const int groups = int(random() % 4);
        PaginatorBands b = plain(0, 3 + random() % 12, random() % 15, random() % 15);
        b.reportHeader = random() % 30;
        b.reportFooter = random() % 40;
        for (int g = 0; g < groups; ++g) {
            b.groupHeader.push_back(random() % 14);
            b.groupFooter.push_back(random() % 14);
            b.reprintHeader.push_back(random() % 2 == 0);
        }
        // Tall enough for a row with every header (repeated too) and every total, and for the
        // report header: only such pages can keep every promise.
        double tallestRow =
            b.reportHeader + b.pageHeader + b.pageFooter + b.detail + b.reportFooter;
        for (int g = 0; g < groups; ++g)
            tallestRow += 2 * b.groupHeader[size_t(g)] + b.groupFooter[size_t(g)];
        b.pageBody = tallestRow + random() % 150;

        const int rows = int(random() % 400);
        std::vector<uint8_t> breaks(static_cast<size_t>(rows), static_cast<uint8_t>(groups));
        for (int r = 0; r < rows; ++r) {
            if (r == 0)
                breaks[0] = 0;
            else if (groups > 0 && random() % 4 == 0)
                breaks[size_t(r)] = uint8_t(random() % groups);
        }
        // The first row of the level-g group that row r belongs to.
        auto groupStart = [&](int g, int r) {
            while (r > 0 && breaks[size_t(r)] > g)
                --r;
            return r;
        };

        Paginator p(b, breaks);
        int nextRow = 0;
        for (int n = 0; n < p.pageCount(); ++n) {
            SCOPED_TRACE(testing::Message() << "trial " << trial << ", page " << n);
            const std::vector<PlacedBand> bands = p.bands(n);
            const double bottom = b.pageBody - b.pageFooter;
            bool firstBodyBand = true;
            std::vector<int> rowsHere;
            std::vector<int> repeated;
            for (size_t i = 0; i < bands.size(); ++i) {
                const PlacedBand &band = bands[i];
                if (band.kind == BandKind::Detail) {
                    ASSERT_EQ(band.row, nextRow);
                    ++nextRow;
                    rowsHere.push_back(band.row);
                }
                if (band.repeated) {
                    ASSERT_EQ(band.kind, BandKind::GroupHeader);
                    EXPECT_TRUE(firstBodyBand) << "a repeated header below the page's rows";
                    repeated.push_back(band.group);
                    // It shows the group carried over: the page's first row is in it.
                    ASSERT_LT(nextRow, rows);
                    EXPECT_EQ(groupStart(band.group, band.row), groupStart(band.group, nextRow));
                }
                if (band.kind == BandKind::GroupHeader && !band.repeated) {
                    size_t k = i + 1;
                    while (k < bands.size() && bands[k].kind == BandKind::GroupHeader)
                        ++k;
                    ASSERT_LT(k, bands.size());
                    EXPECT_EQ(bands[k].kind, BandKind::Detail) << "orphaned header";
                }
                if (band.kind == BandKind::GroupFooter ||
                    (band.kind == BandKind::ReportFooter && rows > 0)) {
                    EXPECT_TRUE(!rowsHere.empty() && rowsHere.back() == band.row)
                        << "a total without its group's last row";
                }
                const bool body = band.kind != BandKind::PageHeader &&
                                  band.kind != BandKind::PageFooter &&
                                  band.kind != BandKind::ReportHeader && !band.repeated;
                if (body) {
                    const double height = band.kind == BandKind::Detail         ? b.detail
                                          : band.kind == BandKind::ReportFooter ? b.reportFooter
                                          : band.kind == BandKind::GroupHeader
                                              ? b.groupHeader[size_t(band.group)]
                                              : b.groupFooter[size_t(band.group)];
                    if (!firstBodyBand && height > 0) {
                        EXPECT_LE(band.y + height, bottom + 0.01);
                    }
                    firstBodyBand = false;
                }
            }
            // The groups this page continues, those begun before its first row, and only those.
            std::vector<int> continued;
            if (!rowsHere.empty()) {
                for (int g = 0; g < groups; ++g) {
                    if (groupStart(g, rowsHere.front()) < rowsHere.front() &&
                        b.reprintHeader[size_t(g)])
                        continued.push_back(g);
                }
            }
            EXPECT_EQ(repeated, continued);
        }
        EXPECT_EQ(nextRow, rows) << "trial " << trial;
    }
}
