#pragma once

#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

// One laid-out page as plain data: what to draw and where, in points from the page's top-left
// corner. Styles and colours are looked up from the report object at drawing time, so colour
// changes made after preparation show.
struct PageItem
{
    enum class Kind : uint8_t { Text, Box, Line, Polyline };
    Kind kind;
    int object; // index of the report object drawn
    QRectF rect;
    QString text;
    int style = -1; // index into PageContent::styles; -1: the object's own
    int path = -1;  // Polyline: index into PageContent::paths
};

// What an item draws in where it is one of many parts of one object (a chart's bars, lines and
// labels), rather than in its object's own colours. Colours are OLE values, -1 for none.
struct ItemStyle
{
    int fill = -1;
    int stroke = 0;
    double lineWidth = 0.5;         // points; 0 for no outline
    Qt::Alignment align = {};       // texts; none: the object's own
    bool operator==(const ItemStyle &) const = default;
};

// Where a detail band shows a row of the report's data, so that a point on the page leads
// back to the row: the band's height across the page's width.
struct PageRow
{
    QRectF rect;
    int tableRow; // row of the bound table
};

// Where a detail band shows one figure of a row, for reports whose figures each lead to the
// lines behind them (a month of a row) rather than the row as a whole.
struct PageCell
{
    QRectF rect;
    int tableRow; // row of the bound table
    int object;   // index of the field object drawn
};

struct PageContent
{
    QSizeF size; // points
    std::vector<PageItem> items;
    std::vector<PageRow> rows;
    std::vector<PageCell> cells; // only for a report whose links are per cell
    std::vector<ItemStyle> styles;
    std::vector<QPolygonF> paths; // points, as the items' rects

    // The index of a style in styles, added when new.
    int styleIndex(const ItemStyle &style)
    {
        for (size_t i = 0; i < styles.size(); ++i) {
            if (styles[i] == style)
                return int(i);
        }
        styles.push_back(style);
        return int(styles.size() - 1);
    }

    // The bound table's row shown at the point (points); -1 where the point shows none.
    [[nodiscard]] int rowAt(QPointF point) const
    {
        for (const PageRow &r : rows) {
            if (r.rect.contains(point))
                return r.tableRow;
        }
        return -1;
    }
};
