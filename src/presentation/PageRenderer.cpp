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
        switch (item.kind) {
        case PageItem::Kind::Box: {
            currentColour = -2;
            const QPen pen = layout.lineWidth > 0
                                 ? QPen(oleColour(layout.lineColor), layout.lineWidth * s)
                                 : QPen(Qt::NoPen);
            m_painter.setPen(pen);
            m_painter.setBrush(object.FillColor() == -1 ? QBrush(Qt::NoBrush)
                                                        : QBrush(oleColour(object.FillColor())));
            m_painter.drawRect(rect);
            break;
        }
        case PageItem::Kind::Line:
            currentColour = -2;
            m_painter.setPen(
                QPen(oleColour(layout.lineColor), std::max(0.1, layout.lineWidth) * s));
            m_painter.drawLine(rect.topLeft(), rect.bottomRight());
            break;
        case PageItem::Kind::Text: {
            if (object.BackColor() != -1)
                m_painter.fillRect(rect, oleColour(object.BackColor()));
            if (item.text.isEmpty())
                break;
            const PageTextLayout::Placement p = m_text.place(item, rect);
            if (currentFont != &p.face->font) {
                m_painter.setFont(p.face->font);
                currentFont = &p.face->font;
            }
            // A device that records drawing writes every pen change: set it only when it changes.
            if (currentColour != layout.color) {
                m_painter.setPen(oleColour(layout.color));
                currentColour = layout.color;
            }
            if (p.run.isValid())
                m_painter.drawGlyphRun(QPointF(p.x, p.baseline), p.run.glyphs());
            else
                m_painter.drawText(QPointF(p.x, p.baseline), p.text);
            break;
        }
        }
    }
    m_painter.restore();
}
