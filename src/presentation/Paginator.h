#pragma once

#include "presentation/ReportLayout.h"

#include <cstdint>
#include <vector>

// Heights (points) of a layout's bands and of the printable page.
struct PaginatorBands
{
    double pageBody = 0; // between the top and bottom margins
    double reportHeader = 0;
    double pageHeader = 0;
    double detail = 0;
    double reportFooter = 0;
    double pageFooter = 0;
    std::vector<double> groupHeader; // per group level, 0 = outermost; 0 where there is none
    std::vector<double> groupFooter;
    std::vector<bool> reprintHeader;
};

// Where a page begins: a row, and a step within the bands that row brings (the footers of the
// groups ending before it, the headers of the groups it begins, its detail; after the last row,
// the last footers and the report footer).
struct PagePosition
{
    int row = 0;
    int step = 0;
    bool operator==(const PagePosition &) const = default;
};

struct PlacedBand
{
    BandKind kind;
    int group = -1;        // group bands: level
    int row = -1;          // the row whose values the band shows; -1 for none
    double y = 0;          // from the top margin
    bool repeated = false; // a group header printed again at the top of a continuing page
};

// Breaks rows into pages by counting fixed band heights; never lays out text. Pages are found
// lazily, as far as asked for, and only each page's starting position is kept, so any page can
// be laid out again on demand. A group header is never left at the foot of a page without the
// row it introduces, nor a group footer or the report footer carried to the top of a page
// without the group's last row; a group that runs onto a new page has its header repeated
// there (where the layout asks for it). Only a row whose headers and footers together are
// taller than a page is split from them; a band taller than a page gets a page of its own.
class Paginator
{
public:
    // groupBreaks: per row, the outermost group level beginning there (DataBinding).
    Paginator(PaginatorBands bands, std::vector<uint8_t> groupBreaks);

    // Paginates as far as needed to know whether page n (0-based) exists.
    bool hasPage(int n);
    // Paginates to the end.
    int pageCount();
    [[nodiscard]] bool isComplete() const { return m_complete; }
    [[nodiscard]] int knownPages() const { return int(m_starts.size()); }

    PagePosition pageStart(int n);
    std::vector<PlacedBand> bands(int n);

    // The bands of one row in order, for whoever walks a page (totals, rendering).
    [[nodiscard]] int rowCount() const { return m_rows; }
    [[nodiscard]] const std::vector<uint8_t> &groupBreaks() const { return m_breaks; }
    [[nodiscard]] int groupCount() const { return m_groups; }
    [[nodiscard]] int breakLevel(int row) const;
    [[nodiscard]] int footerCount(int row) const;
    [[nodiscard]] int headerCount(int row) const;
    [[nodiscard]] int stepCount(int row) const;

private:
    PagePosition fill(PagePosition start, bool firstPage, std::vector<PlacedBand> *out) const;
    double stepHeight(int row, int step, BandKind &kind, int &group) const;
    double rowAndTotals(int row) const;
    PagePosition endOfRow(int row) const;
    int groupsInProgress(PagePosition at) const;

    PaginatorBands m_bands;
    std::vector<uint8_t> m_breaks;
    int m_rows;
    int m_groups;
    std::vector<PagePosition> m_starts;
    bool m_complete = false;
};
