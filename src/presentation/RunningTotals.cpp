#include "presentation/RunningTotals.h"

#include "presentation/DataBinding.h"
#include "presentation/FixedDecimal.h"

int RunningTotals::decimalsOf(const ReportLayout &layout, const DataBinding &binding,
                              const LayoutObject &summary)
{
    if (summary.function == SummaryFunction::Count)
        return 0;
    const int reference = binding.reference(summary.column);
    if (const Band *detail = layout.band(BandKind::Detail)) {
        for (const LayoutObject &o : detail->objects) {
            if (o.type == ObjectType::Field && o.format.kind == ValueFormat::Kind::Number &&
                binding.reference(o.column) == reference)
                return o.format.decimals;
        }
    }
    return summary.format.decimals;
}

void RunningTotals::beginGroups(State &state, int level) const
{
    for (size_t i = 0; i < m_summaries.size(); ++i) {
        if (m_summaries[i].scopeGroup >= level)
            state[i] = 0;
    }
}

std::optional<qint64> RunningTotals::rowUnits(const Summary &summary, const DataBinding &data,
                                              int row)
{
    if (summary.function == SummaryFunction::Count)
        return data.isNull(summary.reference, row) ? 0 : 1;
    if (data.isNull(summary.reference, row))
        return 0;
    return FixedDecimal::units(data.number(summary.reference, row), summary.decimals);
}

void RunningTotals::accumulate(qint64 &total, std::optional<qint64> units)
{
    if (total == overflowed)
        return;
    if (!units || __builtin_add_overflow(total, *units, &total) || total == overflowed)
        total = overflowed;
}

void RunningTotals::add(State &state, const DataBinding &data, int row) const
{
    for (size_t i = 0; i < m_summaries.size(); ++i)
        accumulate(state[i], rowUnits(m_summaries[i], data, row));
}

std::optional<qint64> RunningTotals::figure(const State &state, size_t i)
{
    return state[i] == overflowed ? std::nullopt : std::optional<qint64>(state[i]);
}
