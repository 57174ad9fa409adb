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

struct PageContent
{
    QSizeF size; // points
    std::vector<PageItem> items;
};
