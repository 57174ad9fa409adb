#pragma once

#include "presentation/ReportLayout.h"

#include <vector>

class DataBinding;

// The sums and counts a layout prints, kept incrementally: one addition per row and summary,
// restarted when the summary's group begins again.
class RunningTotals
{
public:
    struct Summary
    {
        int reference; // DataBinding reference of the column
        SummaryFunction function;
        int scopeGroup; // -1 = whole report
    };
    using State = std::vector<double>;

    explicit RunningTotals(std::vector<Summary> summaries) : m_summaries(std::move(summaries)) {}

    [[nodiscard]] State initial() const { return State(m_summaries.size(), 0.0); }
    // Groups at this level and inside it begin: their totals start again from zero.
    void beginGroups(State &state, int level) const;
    void add(State &state, const DataBinding &data, int row) const;
    [[nodiscard]] size_t size() const { return m_summaries.size(); }

private:
    std::vector<Summary> m_summaries;
};
