#include "presentation/PageTextLayout.h"

#include "presentation/Report.h"

#include <QPaintDevice>
#include <algorithm>

namespace {

constexpr double kPadding = 1.0; // points between a text and the edge of its box
// A row's amount too wide for its box is set no smaller than this share of its type.
constexpr double kSmallestRowAmount = 0.85;

} // namespace

PageTextLayout::PageTextLayout(const Report &report, const QPaintDevice *device, double scale)
    : m_report(report), m_device(device), m_scale(scale), m_faces(report.objects().size())
{
}

const PageTextLayout::Face &PageTextLayout::face(int object)
{
    std::optional<Face> &slot = m_faces[size_t(object)];
    if (!slot) {
        const FontDesign &design = m_report.objects()[size_t(object)]->layout().font;
        QFont font(design.family);
        // Pages are drawn at m_scale device pixels per point: the font must come out at
        // design.size * m_scale pixels, and Qt converts point sizes with the device's resolution.
        const int dpi = m_device ? m_device->logicalDpiY() : 72;
        font.setPointSizeF(design.size * m_scale * 72.0 / dpi);
        font.setBold(design.bold);
        font.setItalic(design.italic);
        font.setHintingPreference(QFont::PreferNoHinting);
        // A raw font is sized for the screen; size it for this device.
        QRawFont raw = QRawFont::fromFont(font);
        raw.setPixelSize(design.size * m_scale);
        // QFontMetricsF takes a non-const device but only reads its resolution.
        slot.emplace(Face{font, QFontMetricsF(font, const_cast<QPaintDevice *>(m_device)), raw});
    }
    return *slot;
}

// Points: the smallest type an amount may be set in to fit its box.
double PageTextLayout::smallestAmount(const LayoutObject &object) const
{
    const double own = object.font.size;
    if (object.font.smallest > 0)
        return object.font.smallest;
    if (object.type == ObjectType::Summary)
        return std::min(own, m_report.layout().font.size);
    return own * kSmallestRowAmount;
}

PageTextLayout::Placement PageTextLayout::place(const PageItem &item, const QRectF &rect,
                                                Qt::Alignment align)
{
    const LayoutObject &layout = m_report.objects()[size_t(item.object)]->layout();
    const double s = m_scale;
    Placement p;
    p.face = &face(item.object);
    const Face &f = *p.face;
    const QRectF inner = rect.adjusted(kPadding * s, 0, -kPadding * s, 0);
    // An amount is never cut short. Its box should hold it; when it does not, it is set a
    // little smaller (a total never below the body type), and beyond that runs to the left.
    // Only texts end in an ellipsis.
    const bool amount = layout.format.kind == ValueFormat::Kind::Number;
    p.run = amount ? TextRun::amount(f.raw, item.text, inner.width(), smallestAmount(layout) * s)
                   : TextRun(f.raw, item.text, inner.width());
    qreal width;
    if (p.run.isValid()) {
        width = p.run.width();
    } else {
        p.text = item.text;
        width = f.metrics.horizontalAdvance(p.text);
        if (!amount && width > inner.width()) {
            p.text = f.metrics.elidedText(p.text, Qt::ElideRight, inner.width());
            width = f.metrics.horizontalAdvance(p.text);
        }
    }
    p.x = inner.left();
    if (!align)
        align = layout.align;
    if (align & Qt::AlignRight)
        p.x = inner.right() - width;
    else if (align & Qt::AlignHCenter)
        p.x = inner.left() + (inner.width() - width) / 2;
    p.baseline = rect.top() + (rect.height() - f.metrics.height()) / 2 + f.metrics.ascent();
    return p;
}
