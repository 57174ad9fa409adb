#pragma once

#include "presentation/PageContent.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QRawFont>
#include <optional>
#include <vector>

class QPainter;
struct LayoutObject;
class Report;

// Draws laid-out pages onto any painter: screen, printer, PDF. Texts too long for their box
// end in an ellipsis instead of running into the next column; amounts are never cut. Colours are
// read from the report objects as they are now.
class PageRenderer
{
public:
    // scale: device pixels per point. The renderer keeps fonts for one scale and device.
    PageRenderer(const Report &report, QPainter &painter, double scale);

    void render(const PageContent &page, QPointF origin = QPointF());

private:
    struct Face
    {
        QFont font;
        QFontMetricsF metrics;
        QRawFont raw;
    };
    const Face &face(int object);
    [[nodiscard]] double smallestAmount(const LayoutObject &object) const;

    const Report &m_report;
    QPainter &m_painter;
    double m_scale;
    std::vector<std::optional<Face>> m_faces;
};
