#include "presentation/XlsxChart.h"

#include "presentation/ChartPlot.h"
#include "presentation/DataBinding.h"

#include <xlsxwriter.h>

namespace {

const LayoutObject *chartOf(const ReportLayout &layout)
{
    for (const Band &band : layout.bands) {
        for (const LayoutObject &o : band.objects) {
            if (o.type == ObjectType::Chart)
                return &o;
        }
    }
    return nullptr;
}

int columnOf(const std::vector<XlsxSheetLayout::Column> &columns, int reference)
{
    for (size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].reference == reference)
            return int(c);
    }
    return -1;
}

// The sheet's colours are 0xRRGGBB; the layout's OLE colours 0xBBGGRR.
lxw_color_t rgb(int ole)
{
    return lxw_color_t(((ole & 0xFF) << 16) | (ole & 0xFF00) | ((ole >> 16) & 0xFF));
}

} // namespace

bool XlsxChart::insert(lxw_workbook *workbook, lxw_worksheet *sheet, const ReportLayout &layout,
                       const DataBinding &binding,
                       const std::vector<XlsxSheetLayout::Column> &columns, const Rows &rows)
{
    const LayoutObject *object = chartOf(layout);
    if (!object || !layout.groups.empty() || rows.last < rows.first)
        return false;
    const ChartDesign &design = *object->chart;
    if (design.seriesAreRows)
        return false; // its series are the sheet's rows: not drawn in the workbook yet
    const int category = columnOf(columns, binding.reference(design.category));
    if (category < 0)
        return false;

    static const uint8_t types[] = {LXW_CHART_BAR, LXW_CHART_COLUMN, LXW_CHART_LINE};
    lxw_chart *chart = workbook_add_chart(workbook, types[int(design.kind)]);
    if (!chart)
        return false;
    const QByteArray name = rows.sheetName.toUtf8();
    const auto first = lxw_row_t(rows.first), last = lxw_row_t(rows.last);
    size_t drawn = 0;
    for (const ChartDesign::Series &s : design.series) {
        if (s.optional && !binding.hasColumn(s.column))
            continue;
        const int column = columnOf(columns, binding.reference(s.column));
        if (column < 0)
            continue;
        lxw_chart_series *series = chart_add_series(chart, nullptr, nullptr);
        chart_series_set_categories(series, name.constData(), first, lxw_col_t(category), last,
                                    lxw_col_t(category));
        chart_series_set_values(series, name.constData(), first, lxw_col_t(column), last,
                                lxw_col_t(column));
        chart_series_set_name_range(series, name.constData(), lxw_row_t(rows.header),
                                    lxw_col_t(column));
        lxw_chart_fill fill{};
        fill.color = rgb(ChartPlot::seriesColour(drawn));
        lxw_chart_line line{};
        line.color = 0x202020;
        line.width = design.kind == ChartDesign::Kind::Line ? 2.0 : 0.5;
        if (design.kind == ChartDesign::Kind::Line)
            line.color = fill.color;
        else
            chart_series_set_fill(series, &fill);
        chart_series_set_line(series, &line);
        ++drawn;
    }
    if (drawn == 0)
        return false;
    chart_legend_set_position(chart, drawn > 1 ? LXW_CHART_LEGEND_TOP : LXW_CHART_LEGEND_NONE);
    // Bars swap the axes; a format on the category axis is not used by text categories.
    chart_axis_set_num_format(chart->x_axis, "#,##0");
    chart_axis_set_num_format(chart->y_axis, "#,##0");

    lxw_chart_options options{};
    options.x_scale = 1.6;
    options.y_scale = 1.8;
    return worksheet_insert_chart_opt(sheet, lxw_row_t(rows.header), lxw_col_t(columns.size() + 1),
                                      chart, &options) == LXW_NO_ERROR;
}
