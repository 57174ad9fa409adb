#pragma once

#include "presentation/ReportLayout.h"

#include <QString>
#include <vector>

class Report;

// How a bound report lays out as a worksheet, worked out once from its layout before any row
// is written: the heading lines over the table (the report header's texts, parameter values,
// title and the criteria line), the columns (the group headers' fields, outermost first, then
// the detail fields, each under the caption printed beside or over it) and the total rows
// that close each group level and the report, with the summaries they carry.
class XlsxSheetLayout
{
public:
    // What a column's cells are: typed as the layout prints them.
    enum class CellKind { Text, Number, WholeNumber, Date };

    struct Column
    {
        int reference = 0; // DataBinding reference
        QString caption;
        CellKind kind = CellKind::Text;
        ValueFormat format;
        double width = 10; // characters of the sheet's standard type
    };

    // One summary of a total row, in the sheet column of the rows it sums.
    struct Summary
    {
        int column = 0;
        int reference = 0;
        SummaryFunction function = SummaryFunction::Sum;
        ValueFormat format;
        int decimals = 0; // places its rows are rounded to, as their cells hold them
    };

    struct TotalRow
    {
        QString label;
        int keyColumn = -1; // sheet column of the group's key, shown after the label; -1 none
        std::vector<Summary> summaries; // by column
    };

    struct HeadingLine
    {
        QString text;
        double size = 10; // points
        bool bold = false;
    };

    explicit XlsxSheetLayout(const Report &report);

    [[nodiscard]] const std::vector<HeadingLine> &heading() const { return m_heading; }
    [[nodiscard]] const std::vector<Column> &columns() const { return m_columns; }
    // Per group level (0 outermost), then the report's at index groups.
    [[nodiscard]] const std::vector<TotalRow> &totals() const { return m_totals; }

    // The sheet's number format for values of a layout format: #,##0.00, quantities whole.
    [[nodiscard]] static QString numberFormat(const ValueFormat &format, CellKind kind);
    // The characters of the sheet's standard type that a length of the layout (points) holds.
    [[nodiscard]] static double characters(double points) { return points / 4.0; }

private:
    std::vector<HeadingLine> m_heading;
    std::vector<Column> m_columns;
    std::vector<TotalRow> m_totals;
};
