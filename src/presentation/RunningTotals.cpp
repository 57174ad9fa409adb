#include "presentation/RunningTotals.h"

#include "presentation/DataBinding.h"

void RunningTotals::beginGroups(State &state, int level) const
{
    for (size_t i = 0; i < m_summaries.size(); ++i) {
        if (m_summaries[i].scopeGroup >= level)
            state[i] = 0.0;
    }
}

void RunningTotals::add(State &state, const DataBinding &data, int row) const
{
    for (size_t i = 0; i < m_summaries.size(); ++i) {
        const Summary &s = m_summaries[i];
        if (s.function == SummaryFunction::Count)
            state[i] += data.isNull(s.reference, row) ? 0.0 : 1.0;
        else
            state[i] += data.number(s.reference, row);
    }
}
