#include "presentation/ChartData.h"

#include "presentation/DataBinding.h"

#include <algorithm>
#include <cmath>
#include <numeric>

ChartData::ChartData(const ChartDesign &design, const DataBinding &binding)
{
    const int category = binding.reference(design.category);
    std::vector<int> references;
    for (const ChartDesign::Series &s : design.series) {
        if (s.optional && !binding.hasColumn(s.column))
            continue;
        references.push_back(binding.reference(s.column));
        m_captions.push_back(s.caption);
    }
    const int rows = binding.rowCount();
    auto figure = [&](size_t series, int row) {
        const int ref = references[series];
        return binding.isNull(ref, row) ? 0.0 : asPrinted(binding.number(ref, row));
    };

    std::vector<int> order(static_cast<size_t>(rows));
    std::iota(order.begin(), order.end(), 0);
    size_t shown = order.size();
    if (design.largest > 0 && rows > design.largest) {
        std::vector<double> first(static_cast<size_t>(rows));
        for (int r = 0; r < rows; ++r)
            first[size_t(r)] = figure(0, r);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return first[size_t(a)] > first[size_t(b)]; });
        shown = size_t(design.largest);
    }
    for (size_t k = 0; k < shown; ++k) {
        const int row = order[k];
        Category c;
        c.label = binding.isNull(category, row) ? QString()
                                                : binding.value(category, row).toString().trimmed();
        for (size_t s = 0; s < references.size(); ++s)
            c.values.push_back(figure(s, row));
        m_categories.push_back(std::move(c));
    }
    if (shown < order.size()) {
        Category others{design.others, std::vector<double>(references.size(), 0.0)};
        for (size_t k = shown; k < order.size(); ++k) {
            for (size_t s = 0; s < references.size(); ++s)
                others.values[s] += figure(s, order[k]);
        }
        for (double &v : others.values)
            v = asPrinted(v); // sums of cents, without the drift of adding doubles
        m_categories.push_back(std::move(others));
    }
    for (const Category &c : m_categories) {
        for (double v : c.values) {
            m_low = std::min(m_low, v);
            m_high = std::max(m_high, v);
        }
    }
}

double ChartData::asPrinted(double amount)
{
    return std::round(amount * 100.0) / 100.0;
}
