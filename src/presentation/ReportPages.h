#pragma once

#include "presentation/ChartData.h"
#include "presentation/DataBinding.h"
#include "presentation/PageContent.h"
#include "presentation/Paginator.h"
#include "presentation/RunningTotals.h"

#include <map>
#include <memory>
#include <vector>

class Report;

// The pages of a bound report: paginates lazily, keeps the running totals at each page start
// (so any page can be built again on its own), and builds a page's display list from the
// placed bands, the bound rows and the report object's current texts and values.
class ReportPages
{
public:
    ReportPages(const Report &report, std::unique_ptr<DataBinding> binding);
    // The same bound rows, paginated again for the report's page and band heights as they are
    // now; this object gives up its rows.
    [[nodiscard]] std::unique_ptr<ReportPages> relaid();
    // The same bound rows for a copy of the report, paginated from the start.
    [[nodiscard]] std::unique_ptr<ReportPages> copyFor(const Report &report) const;

    bool hasPage(int n) { return m_paginator.hasPage(n); }
    int pageCount() { return m_paginator.pageCount(); }
    [[nodiscard]] bool isComplete() const { return m_paginator.isComplete(); }
    [[nodiscard]] int knownPages() const { return m_paginator.knownPages(); }
    [[nodiscard]] const DataBinding &binding() const { return *m_binding; }
    [[nodiscard]] const std::vector<uint8_t> &groupBreaks() const
    {
        return m_paginator.groupBreaks();
    }

    PageContent page(int n);

    // A horizontal strip a band leaves out (points): objects whose top is at or below `from`
    // move up by `height`, those reaching across it shrink by it, and the band is that much
    // shorter.
    struct Strip
    {
        double from = 0;
        double height = 0;
    };

private:
    // binding is taken over (a reference, so that the group breaks can be read off it first).
    ReportPages(const Report &report, std::unique_ptr<DataBinding> &&binding,
                std::vector<uint8_t> groupBreaks);
    RunningTotals::State stateAtPage(int n);
    const ChartData &chartData(int object);
    // A computed column's value over the totals of its inputs, which follow its own slot.
    QString ofTotals(int reference, size_t slot, const RunningTotals::State &state,
                     const ValueFormat &format) const;
    QString textOf(int object, const PlacedBand &band, const RunningTotals::State &state, int page);

    const Report &m_report;
    std::unique_ptr<DataBinding> m_binding;
    std::vector<int> m_references;  // per object: bound column, or -1
    std::vector<int> m_summarySlot; // per object: index into the totals, or -1 (filled first)
    std::vector<std::vector<Strip>> m_strips; // per layout band, down the band
    Paginator m_paginator;
    RunningTotals m_totals;
    std::vector<RunningTotals::State> m_snapshots; // totals before each page's first row
    int m_cursorRow = 0;
    RunningTotals::State m_cursor;
    std::map<int, std::unique_ptr<ChartData>> m_charts; // by object, read when first drawn
};
