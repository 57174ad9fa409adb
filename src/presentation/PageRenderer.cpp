#include "presentation/PageRenderer.h"

#include "presentation/Report.h"
#include "presentation/TextRun.h"

#include <QPaintDevice>
#include <QPainter>

namespace {

QColor oleColour(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

constexpr double kPadding = 1.0; // points between a text and the edge of its box
// A row's amount too wide for its box is set no smaller than this share of its type.
constexpr double kSmallestRowAmount = 0.85;

} // namespace

PageRenderer::PageRenderer(const Report &report, QPainter &painter, double scale)
    : m_report(report), m_painter(painter), m_scale(scale), m_faces(report.objects().size())
{
}

const PageRenderer::Face &PageRenderer::face(int object)
{
    std::optional<Face> &slot = m_faces[size_t(object)];
    if (!slot) {
        const FontDesign &spec = m_report.objects()[size_t(object)]->layout().font;
        QFont font(spec.family);
        // Pages are drawn at m_scale device pixels per point: the font must come out at
        // spec.size * m_scale pixels, and Qt converts point sizes with the device's resolution.
        const int dpi = m_painter.device() ? m_painter.device()->logicalDpiY() : 72;
        font.setPointSizeF(spec.size * m_scale * 72.0 / dpi);
        font.setBold(spec.bold);
        font.setItalic(spec.italic);
        font.setHintingPreference(QFont::PreferNoHinting);
        // A raw font is sized for the screen; size it for this device.
        QRawFont raw = QRawFont::fromFont(font);
        raw.setPixelSize(spec.size * m_scale);
        slot.emplace(Face{font, QFontMetricsF(font, m_painter.device()), raw});
    }
    return *slot;
}

// Points: the smallest type an amount may be set in to fit its box.
double PageRenderer::smallestAmount(const LayoutObject &object) const
{
    const double own = object.font.size;
    if (object.type == ObjectType::Summary)
        return std::min(own, m_report.layout().font.size);
    return own * kSmallestRowAmount;
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
    int currentFont = -1;
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
            const Face &f = face(item.object);
            if (currentFont != item.object) {
                m_painter.setFont(f.font);
                currentFont = item.object;
            }
            const QRectF inner = rect.adjusted(kPadding * s, 0, -kPadding * s, 0);
            // An amount is never cut short. Its box should hold it; when it does not, it is set
            // a little smaller (a total never below the body type), and beyond that runs to the
            // left. Only texts end in an ellipsis.
            const bool amount = layout.format.kind == ValueFormat::Kind::Number;
            const TextRun run = amount ? TextRun::amount(f.raw, item.text, inner.width(),
                                                         smallestAmount(layout) * s)
                                       : TextRun(f.raw, item.text, inner.width());
            QString text;
            qreal width;
            if (run.isValid()) {
                width = run.width();
            } else {
                text = item.text;
                width = f.metrics.horizontalAdvance(text);
                if (!amount && width > inner.width()) {
                    text = f.metrics.elidedText(text, Qt::ElideRight, inner.width());
                    width = f.metrics.horizontalAdvance(text);
                }
            }
            qreal x = inner.left();
            if (layout.align & Qt::AlignRight)
                x = inner.right() - width;
            else if (layout.align & Qt::AlignHCenter)
                x = inner.left() + (inner.width() - width) / 2;
            const qreal baseline =
                rect.top() + (rect.height() - f.metrics.height()) / 2 + f.metrics.ascent();
            // The PDF engine writes every pen change into the page: set it only when it changes.
            if (currentColour != layout.color) {
                m_painter.setPen(oleColour(layout.color));
                currentColour = layout.color;
            }
            if (run.isValid())
                m_painter.drawGlyphRun(QPointF(x, baseline), run.glyphs());
            else
                m_painter.drawText(QPointF(x, baseline), text);
            break;
        }
        }
    }
    m_painter.restore();
}
