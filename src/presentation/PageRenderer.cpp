#include "presentation/PageRenderer.h"

#include "presentation/Report.h"

#include <QPaintDevice>
#include <QPainter>

namespace {

QColor oleColour(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

} // namespace

PageRenderer::PageRenderer(const Report &report, QPainter &painter, double scale)
    : m_report(report), m_painter(painter), m_scale(scale),
      m_text(report, painter.device(), scale)
{
}

void PageRenderer::render(const PageContent &page, QPointF origin)
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    const double s = m_scale;
    auto toDevice = [&](const QRectF &r) {
        return QRectF(origin.x() + r.x() * s, origin.y() + r.y() * s, r.width() * s,
                      r.height() * s);
    };
    const QFont *currentFont = nullptr;
    int currentColour = -2;
    for (const PageItem &item : page.items) {
        const ReportObject &object = *m_report.objects()[size_t(item.object)];
        const LayoutObject &layout = object.layout();
        const QRectF rect = toDevice(item.rect);
        const ItemStyle *style = item.style >= 0 ? &page.styles[size_t(item.style)] : nullptr;
        const double lineWidth = style ? style->lineWidth : layout.lineWidth;
        const int lineColour = style ? style->stroke : layout.lineColor;
        switch (item.kind) {
        case PageItem::Kind::Box: {
            currentColour = -2;
            const int fill = style ? style->fill : object.FillColor();
            const QPen pen = lineWidth > 0 ? QPen(oleColour(lineColour), lineWidth * s)
                                           : QPen(Qt::NoPen);
            m_painter.setPen(pen);
            m_painter.setBrush(fill == -1 ? QBrush(Qt::NoBrush) : QBrush(oleColour(fill)));
            m_painter.drawRect(rect);
            break;
        }
        case PageItem::Kind::Line:
            currentColour = -2;
            m_painter.setPen(QPen(oleColour(lineColour), std::max(0.1, lineWidth) * s));
            m_painter.drawLine(rect.topLeft(), rect.bottomRight());
            break;
        case PageItem::Kind::Polyline: {
            currentColour = -2;
            QPolygonF points = page.paths[size_t(item.path)];
            for (QPointF &p : points)
                p = origin + p * s;
            m_painter.setPen(QPen(oleColour(lineColour), std::max(0.1, lineWidth) * s,
                                  Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            m_painter.setBrush(Qt::NoBrush);
            m_painter.drawPolyline(points);
            break;
        }
        case PageItem::Kind::Text: {
            if (object.BackColor() != -1)
                m_painter.fillRect(rect, oleColour(object.BackColor()));
            if (item.text.isEmpty())
                break;
            for (const PageTextLayout::Placement &p :
                 m_text.placeLines(item, rect, style ? style->align : Qt::Alignment())) {
                if (currentFont != &p.face->font) {
                    m_painter.setFont(p.face->font);
                    currentFont = &p.face->font;
                }
                // A device that records drawing writes every pen change: set it only when it
                // changes.
                const int colour = style ? style->stroke : layout.color;
                if (currentColour != colour) {
                    m_painter.setPen(oleColour(colour));
                    currentColour = colour;
                }
                if (p.run.isValid())
                    m_painter.drawGlyphRun(QPointF(p.x, p.baseline), p.run.glyphs());
                else
                    m_painter.drawText(QPointF(p.x, p.baseline), p.text);
            }
            break;
        }
        }
    }
    m_painter.restore();
}
