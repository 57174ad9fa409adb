#pragma once

#include "presentation/ReportLayout.h"

#include <QString>
#include <functional>
#include <vector>

class DataBinding;

// The figures a chart draws, read once from the bound rows: a category per row, or the largest
// few by the first series with the rest summed into one more; a value per category and drawn
// series. A series whose column the result lacks is left out when the layout allows it. Or,
// for a design whose series are rows, a series per chosen row (and their total) and a
// category per column.
class ChartData
{
public:
    struct Category
    {
        QString label;
        std::vector<double> values; // per drawn series
    };

    // labelOf: the text of a text object by name, for categories labelled by one.
    using Labels = std::function<QString(const QString &objectName)>;
    ChartData(const ChartDesign &design, const DataBinding &binding, const Labels &labelOf = {});

    [[nodiscard]] const std::vector<Category> &categories() const { return m_categories; }
    [[nodiscard]] const std::vector<QString> &captions() const { return m_captions; }
    [[nodiscard]] size_t seriesCount() const { return m_captions.size(); }
    // The range every value lies in, 0 included.
    [[nodiscard]] double low() const { return m_low; }
    [[nodiscard]] double high() const { return m_high; }

    // An amount as the report prints it (two decimals, half away from zero), so that a bar
    // stands for the figure in its row and the total of "others" for the figures it sums.
    [[nodiscard]] static double asPrinted(double amount);

private:
    void readColumns(const ChartDesign &design, const DataBinding &binding);
    void readRows(const ChartDesign &design, const DataBinding &binding, const Labels &labelOf);
    // Rows in the order they are drawn in: the largest `largest` by the values given first.
    [[nodiscard]] static std::vector<int> largestFirst(const std::vector<double> &values,
                                                       int largest);

    std::vector<Category> m_categories;
    std::vector<QString> m_captions;
    double m_low = 0;
    double m_high = 0;
};
