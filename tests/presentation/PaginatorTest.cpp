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
    const auto rows = [](size_t n) { return std::vector<uint8_t>(n, 0); }; // no groups
    // One group level, headers of 10 and footers as given, under rows of 10.
    const auto oneGroup = [](double body, double footer = 10) {
        return grouped(plain(body, 10), {10}, {footer});
    };
    const std::vector<Case> cases = {
        {"eight rows a page", plain(100, 10, 10, 10), rows(17), {0, 8, 16}},
        {"report header on the first page only", withReportHeader, rows(17), {0, 6, 14}},
        {"the report footer takes the last row with it", tallFooter, rows(16), {0, 8, 15}},
        {"a group footer takes its group's last row", oneGroup(50), groupsOf({4}), {0, 3}},
        {"totals taller than a page still print", oneGroup(30, 25), groupsOf({1, 1}), {0, 1, 1, 2}},
        {"a band taller than a page gets its own", plain(100, 120), rows(3), {0, 1, 2}},
        {"no rows still makes a page", plain(100, 10, 10, 10), {}, {0}},
        // The header of the second group would fit at the foot of page 1, its row would not.
        {"a group header travels with its first row", oneGroup(50), groupsOf({2, 2}), {0, 2}},
        {"groups that fit share the page", oneGroup(80), groupsOf({2, 2}), {0}},
    };
    for (const Case &c : cases) {
        Paginator p(c.bands, c.breaks);
        EXPECT_EQ(startRows(p), c.startRows) << c.name;
    }
}

// Random layouts and groupings: every row is printed once, in order; no group header is left
// without its first row on the same page, and no total without its group's last row; nothing
// runs past the page footer unless it is the only thing on its page.
TEST(Paginator, KeepsItsPromisesOnRandomReports)
{
    std::mt19937 random(20261206);
    for (int trial = 0; trial < 400; ++trial) {
        const int groups = int(random() % 4);
        PaginatorBands b = plain(0, 3 + random() % 12, random() % 15, random() % 15);
        b.reportHeader = random() % 30;
        b.reportFooter = random() % 40;
        // Tall enough for a row with every header (repeated too), every total and the report
        // header: only such pages can keep every promise.
        double tallestRow =
            b.reportHeader + b.pageHeader + b.pageFooter + b.detail + b.reportFooter;
        for (int g = 0; g < groups; ++g) {
            b.groupHeader.push_back(random() % 14);
            b.groupFooter.push_back(random() % 14);
            b.reprintHeader.push_back(random() % 2 == 0);
            tallestRow += 2 * b.groupHeader.back() + b.groupFooter.back();
        }
        b.pageBody = tallestRow + random() % 150;
        const int rows = int(random() % 400);
        std::vector<uint8_t> breaks(static_cast<size_t>(rows), static_cast<uint8_t>(groups));
        for (int r = 0; r < rows; ++r) {
            if (r == 0 || (groups > 0 && random() % 4 == 0))
                breaks[size_t(r)] = r == 0 ? 0 : uint8_t(random() % groups);
        }

        // Whether row r continues the level-g group of the row before it.
        auto continues = [&](int g, int r) { return r > 0 && r < rows && breaks[size_t(r)] > g; };

        Paginator p(b, breaks);
        int nextRow = 0;
        for (int n = 0; n < p.pageCount(); ++n) {
            SCOPED_TRACE(testing::Message() << "trial " << trial << ", page " << n);
            const std::vector<PlacedBand> bands = p.bands(n);
            bool firstBodyBand = true;
            int lastRowHere = -1;
            for (size_t i = 0; i < bands.size(); ++i) {
                const PlacedBand &band = bands[i];
                if (band.kind == BandKind::Detail) {
                    ASSERT_EQ(band.row, nextRow++);
                    lastRowHere = band.row;
                }
                if (band.repeated) { // only for a group carried over, above the page's rows
                    EXPECT_TRUE(firstBodyBand && b.reprintHeader[size_t(band.group)]);
                    EXPECT_TRUE(continues(band.group, nextRow));
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
                    EXPECT_TRUE(lastRowHere >= 0 && band.row == lastRowHere)
                        << "a total without its group's last row";
                }
                if (band.kind == BandKind::PageHeader || band.kind == BandKind::PageFooter ||
                    band.kind == BandKind::ReportHeader || band.repeated)
                    continue;
                const double height = band.kind == BandKind::Detail         ? b.detail
                                      : band.kind == BandKind::ReportFooter ? b.reportFooter
                                      : band.kind == BandKind::GroupHeader
                                          ? b.groupHeader[size_t(band.group)]
                                          : b.groupFooter[size_t(band.group)];
                if (!firstBodyBand && height > 0) {
                    EXPECT_LE(band.y + height, b.pageBody - b.pageFooter + 0.01);
                }
                firstBodyBand = false;
            }
        }
        EXPECT_EQ(nextRow, rows) << "trial " << trial;
    }
}
