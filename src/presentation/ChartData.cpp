#include "presentation/ChartData.h"

#include "presentation/DataBinding.h"

#include <algorithm>
#include <cmath>
#include <numeric>

ChartData::ChartData(const ChartDesign &design, const DataBinding &binding, const Labels &labelOf)
{
    if (design.seriesAreRows)
        readRows(design, binding, labelOf);
    else
        readColumns(design, binding);
    for (const Category &c : m_categories) {
        for (double v : c.values) {
            m_low = std::min(m_low, v);
            m_high = std::max(m_high, v);
        }
    }
}

std::vector<int> ChartData::largestFirst(const std::vector<double> &values, int largest)
{
    std::vector<int> order(values.size());
    std::iota(order.begin(), order.end(), 0);
    if (largest > 0 && int(values.size()) > largest) {
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return values[size_t(a)] > values[size_t(b)]; });
    }
    return order;
}

void ChartData::readColumns(const ChartDesign &design, const DataBinding &binding)
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

    std::vector<double> first(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r)
        first[size_t(r)] = figure(0, r);
    const std::vector<int> order = largestFirst(first, design.largest);
    size_t shown = order.size();
    if (design.largest > 0 && rows > design.largest)
        shown = size_t(design.largest);
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
}

void ChartData::readRows(const ChartDesign &design, const DataBinding &binding,
                         const Labels &labelOf)
{
    const int rows = binding.rowCount();
    const int name = binding.reference(design.category);
    const int orderBy = binding.reference(design.order);
    std::vector<double> size(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r)
        size[size_t(r)] = binding.isNull(orderBy, r) ? 0.0 : binding.number(orderBy, r);
    std::vector<int> chosen = largestFirst(size, design.largest);
    if (design.largest > 0 && rows > design.largest)
        chosen.resize(size_t(design.largest));
    const int key = design.key.isEmpty() ? -1 : binding.reference(design.key);
    auto text = [&](int ref, int row) {
        return ref < 0 || binding.isNull(ref, row) ? QString()
                                                   : binding.value(ref, row).toString().trimmed();
    };
    for (int row : chosen)
        m_captions.push_back(QStringList{text(key, row), text(name, row)}.join(u' ').trimmed());
    if (!design.total.isEmpty())
        m_captions.push_back(design.total);

    for (const ChartDesign::Point &p : design.points) {
        const int ref = binding.reference(p.column);
        bool any = false;
        double total = 0;
        for (int r = 0; r < rows; ++r) {
            if (binding.isNull(ref, r))
                continue;
            any = true;
            total += asPrinted(binding.number(ref, r));
        }
        if (!any)
            continue;
        Category c{labelOf && !p.labelObject.isEmpty() ? labelOf(p.labelObject) : p.column, {}};
        for (int row : chosen)
            c.values.push_back(binding.isNull(ref, row) ? 0.0
                                                        : asPrinted(binding.number(ref, row)));
        if (!design.total.isEmpty())
            c.values.push_back(asPrinted(total));
        m_categories.push_back(std::move(c));
    }
}

double ChartData::asPrinted(double amount)
{
    return std::round(amount * 100.0) / 100.0;
}
