#pragma once

#include "presentation/PageContent.h"
#include "presentation/PageTextLayout.h"

#include <QPointF>

class QPainter;
class Report;

// Draws laid-out pages onto any painter: screen and printer. Texts too long for their box
// end in an ellipsis instead of running into the next column; amounts are never cut. Colours are
// read from the report objects as they are now.
class PageRenderer
{
public:
    // scale: device pixels per point. The renderer keeps fonts for one scale and device.
    PageRenderer(const Report &report, QPainter &painter, double scale);

    void render(const PageContent &page, QPointF origin = QPointF());

private:
    const Report &m_report;
    QPainter &m_painter;
    double m_scale;
    PageTextLayout m_text;
};
