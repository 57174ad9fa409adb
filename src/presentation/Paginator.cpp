#include "presentation/Paginator.h"

#include <stdexcept>

namespace {

constexpr double kTolerance = 0.001; // points: rounding of millimetre heights

} // namespace

Paginator::Paginator(PaginatorBands bands, std::vector<uint8_t> groupBreaks)
    : m_bands(std::move(bands)), m_breaks(std::move(groupBreaks)), m_rows(int(m_breaks.size())),
      m_groups(int(m_bands.groupHeader.size()))
{
    m_bands.groupFooter.resize(size_t(m_groups), 0.0);
    m_bands.reprintHeader.resize(size_t(m_groups), false);
    m_starts.push_back({0, 0});
}

int Paginator::breakLevel(int row) const
{
    return row < m_rows ? m_breaks[size_t(row)] : 0;
}

int Paginator::footerCount(int row) const
{
    if (row == 0 || m_rows == 0)
        return 0;
    const int level = breakLevel(row);
    return level < m_groups ? m_groups - level : 0;
}

int Paginator::headerCount(int row) const
{
    if (row >= m_rows)
        return 0;
    const int level = breakLevel(row);
    return level < m_groups ? m_groups - level : 0;
}

int Paginator::stepCount(int row) const
{
    return footerCount(row) + headerCount(row) + 1; // detail, or the report footer at the end
}

double Paginator::stepHeight(int row, int step, BandKind &kind, int &group) const
{
    const int footers = footerCount(row);
    const int headers = headerCount(row);
    if (step < footers) {
        kind = BandKind::GroupFooter;
        group = m_groups - 1 - step;
        return m_bands.groupFooter[size_t(group)];
    }
    if (step < footers + headers) {
        kind = BandKind::GroupHeader;
        group = breakLevel(row) + (step - footers);
        return m_bands.groupHeader[size_t(group)];
    }
    group = -1;
    if (row < m_rows) {
        kind = BandKind::Detail;
        return m_bands.detail;
    }
    kind = BandKind::ReportFooter;
    return m_bands.reportFooter;
}

// A row with the footers (and, after the last row, the report footer) that follow it: a total
// is never printed at the top of a page without the last row it adds up.
double Paginator::rowAndTotals(int row) const
{
    double height = m_bands.detail;
    const int next = row + 1;
    for (int step = 0; step < footerCount(next); ++step) {
        BandKind kind;
        int group;
        height += stepHeight(next, step, kind, group);
    }
    if (next == m_rows)
        height += m_bands.reportFooter;
    return height;
}

// The position after a row's detail and the footers that close on it.
PagePosition Paginator::endOfRow(int row) const
{
    const int next = row + 1;
    return {next, footerCount(next) + (next == m_rows ? 1 : 0)};
}

// Groups still open at a position, outermost first: their headers may be repeated there.
int Paginator::groupsInProgress(PagePosition at) const
{
    const int footers = footerCount(at.row);
    if (at.step < footers)
        return m_groups - 1 - at.step;
    if (at.row >= m_rows)
        return 0;
    if (at.step < footers + headerCount(at.row))
        return breakLevel(at.row) + (at.step - footers);
    return m_groups;
}

PagePosition Paginator::fill(PagePosition start, bool firstPage, std::vector<PlacedBand> *out) const
{
    double y = 0;
    auto place = [&](BandKind kind, int group, int row, double height, bool repeated) {
        if (out)
            out->push_back({kind, group, row, y, repeated});
        y += height;
    };
    if (firstPage)
        place(BandKind::ReportHeader, -1, m_rows > 0 ? 0 : -1, m_bands.reportHeader, false);
    const int firstRow = start.row < m_rows ? start.row : m_rows - 1;
    place(BandKind::PageHeader, -1, firstRow, m_bands.pageHeader, false);

    const int open = groupsInProgress(start);
    const int repeatedRow = start.step < footerCount(start.row) ? start.row - 1 : start.row;
    for (int g = 0; g < open; ++g) {
        if (m_bands.reprintHeader[size_t(g)])
            place(BandKind::GroupHeader, g, repeatedRow, m_bands.groupHeader[size_t(g)], true);
    }

    const double bottom = m_bands.pageBody - m_bands.pageFooter;
    bool placedAny = false;
    int lastRow = firstRow;
    // A row is placed with the headers it begins and the totals it ends, all on one page: once
    // they are found to fit, the bands up to keepUntil go without another check.
    PagePosition keepUntil = start;
    int headersHere = -1; // the row whose headers went onto this page
    PagePosition pos = start;
    auto before = [](PagePosition a, PagePosition b) {
        return a.row < b.row || (a.row == b.row && a.step < b.step);
    };
    while (pos.row <= m_rows) {
        if (pos.step >= stepCount(pos.row)) {
            ++pos.row;
            pos.step = 0;
            continue;
        }
        BandKind kind;
        int group;
        const double height = stepHeight(pos.row, pos.step, kind, group);
        if (!before(pos, keepUntil)) {
            const int footers = footerCount(pos.row);
            const bool rowStart = (kind == BandKind::GroupHeader && pos.step == footers) ||
                                  (kind == BandKind::Detail && headersHere != pos.row);
            double need = height;
            if (rowStart) {
                need = rowAndTotals(pos.row);
                for (int s = pos.step; s < footers + headerCount(pos.row); ++s) {
                    BandKind k;
                    int g;
                    need += stepHeight(pos.row, s, k, g);
                }
            }
            // A band that takes no room never starts a page of its own.
            const bool fits = y + need <= bottom + kTolerance;
            if (placedAny && need > 0 && !fits)
                break;
            // Taller than a page, the row keeps only what fits with it.
            if (rowStart && fits)
                keepUntil = endOfRow(pos.row);
        }
        const int row =
            kind == BandKind::GroupFooter || kind == BandKind::ReportFooter ? pos.row - 1 : pos.row;
        place(kind, group, row, height, false);
        placedAny = true;
        if (kind == BandKind::GroupHeader)
            headersHere = pos.row;
        if (row >= 0)
            lastRow = row;
        ++pos.step;
    }
    if (out) {
        y = m_bands.pageBody - m_bands.pageFooter;
        place(BandKind::PageFooter, -1, lastRow, m_bands.pageFooter, false);
    }
    if (pos.row <= m_rows && pos.step >= stepCount(pos.row)) {
        ++pos.row;
        pos.step = 0;
    }
    return pos;
}

bool Paginator::hasPage(int n)
{
    while (int(m_starts.size()) <= n && !m_complete) {
        const PagePosition next = fill(m_starts.back(), m_starts.size() == 1, nullptr);
        if (next.row > m_rows)
            m_complete = true;
        else
            m_starts.push_back(next);
    }
    return n >= 0 && n < int(m_starts.size());
}

int Paginator::pageCount()
{
    while (!m_complete)
        hasPage(int(m_starts.size()));
    return int(m_starts.size());
}

PagePosition Paginator::pageStart(int n)
{
    if (!hasPage(n))
        throw std::out_of_range("no such page");
    return m_starts[size_t(n)];
}

std::vector<PlacedBand> Paginator::bands(int n)
{
    std::vector<PlacedBand> out;
    fill(pageStart(n), n == 0, &out);
    return out;
}
