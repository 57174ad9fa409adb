#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

// One laid-out page as plain data: what to draw and where, in points from the page's top-left
// corner. Styles and colours are looked up from the report object at drawing time, so colour
// changes made after preparation show.
struct PageItem
{
    enum class Kind : uint8_t { Text, Box, Line };
    Kind kind;
    int object; // index of the report object drawn
    QRectF rect;
    QString text;
};

// Where a detail band shows a row of the report's data, so that a point on the page leads
// back to the row: the band's height across the page's width.
struct PageRow
{
    QRectF rect;
    int tableRow; // row of the bound table
};

struct PageContent
{
    QSizeF size; // points
    std::vector<PageItem> items;
    std::vector<PageRow> rows;

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
