#pragma once

#include "presentation/ReportLayout.h"

#include <QtGlobal>
#include <limits>
#include <optional>
#include <vector>

class DataBinding;

// The sums and counts a layout prints, kept incrementally: one addition per row and summary,
// restarted when the summary's group begins again. A sum adds each row's amount as it is
// printed (rounded to the decimals shown) in whole units of the last place, so that every
// total is exactly the sum of the figures above it.
class RunningTotals
{
public:
    struct Summary
    {
        int reference; // DataBinding reference of the column
        SummaryFunction function;
        int scopeGroup; // -1 = whole report
        int decimals;   // places the rows' amounts are rounded to before they are added
    };
    // Per summary, units of its decimals; `overflowed` where a total cannot be held.
    using State = std::vector<qint64>;

    explicit RunningTotals(std::vector<Summary> summaries) : m_summaries(std::move(summaries)) {}

    // The decimals a summary adds its column at: those of the detail field that prints the
    // column as a figure, else the summary's own.
    [[nodiscard]] static int decimalsOf(const ReportLayout &layout, const DataBinding &binding,
                                        const LayoutObject &summary);

    [[nodiscard]] State initial() const { return State(m_summaries.size(), 0); }
    // Groups at this level and inside it begin: their totals start again from zero.
    void beginGroups(State &state, int level) const;
    void add(State &state, const DataBinding &data, int row) const;
    [[nodiscard]] size_t size() const { return m_summaries.size(); }
    [[nodiscard]] const Summary &summary(size_t i) const { return m_summaries[i]; }
    // Summary i's total in units of its decimals; nothing when it could not be held.
    [[nodiscard]] static std::optional<qint64> figure(const State &state, size_t i);

    // One row's contribution to a summary, in its units; nothing for an amount that cannot be
    // held (infinite, or too large for the units).
    [[nodiscard]] static std::optional<qint64> rowUnits(const Summary &summary,
                                                        const DataBinding &data, int row);
    // Adds units to a total, which stays lost once lost.
    static void accumulate(qint64 &total, std::optional<qint64> units);

private:
    static constexpr qint64 overflowed = std::numeric_limits<qint64>::min();

    std::vector<Summary> m_summaries;
};
