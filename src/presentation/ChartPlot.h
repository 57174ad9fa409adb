#pragma once

#include "presentation/PageContent.h"

#include <QRectF>
#include <vector>

class ChartData;
struct ChartDesign;

// Lays a chart out as plain page items: the value axis with its grid and grouped-thousands
// labels, one bar per category and series (or a line per series), the category labels, and a
// legend when there is more than one series. Series differ in grey level, so that a chart
// printed in black and white still tells them apart.
class ChartPlot
{
public:
    // object: the chart's report object; rect: its box on the page (points); fontSize: of its
    // labels (points).
    ChartPlot(int object, QRectF rect, double fontSize)
        : m_object(object), m_rect(rect), m_font(fontSize)
    {
    }

    void draw(const ChartDesign &design, const ChartData &data, PageContent &page) const;

    // The fill of series k: dark, light and between, far apart in lightness.
    [[nodiscard]] static int seriesColour(size_t k);
    // The stroke of line k: all dark enough to read as a line, apart in lightness and width,
    // and each with a marker shape of its own where several lines share a chart.
    [[nodiscard]] static int lineColour(size_t k);
    [[nodiscard]] static double lineWidth(size_t k);
    // Evenly spaced axis values from at or below low to at or above high, steps of 1, 2 or 5
    // times a power of ten.
    [[nodiscard]] static std::vector<double> ticks(double low, double high);

private:
    // The marker of line k around a point (a closed outline: square, diamond, triangles ...).
    void marker(PageContent &page, QPointF at, size_t k) const;
    void text(PageContent &page, const QRectF &rect, const QString &text,
              Qt::Alignment align) const;

    int m_object;
    QRectF m_rect;
    double m_font;
};
