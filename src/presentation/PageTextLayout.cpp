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

std::vector<PageTextLayout::Placement>
PageTextLayout::placeLines(const PageItem &item, const QRectF &rect, Qt::Alignment align)
{
    const LayoutObject &layout = m_report.objects()[size_t(item.object)]->layout();
    const Face &f = face(item.object);
    const qreal width = rect.width() - 2 * kPadding * m_scale;
    const int room = int(rect.height() / f.metrics.height());
    if (!layout.wrap || room < 2 || f.metrics.horizontalAdvance(item.text) <= width)
        return {place(item, rect, align)};
    QStringList lines;
    QString rest = item.text;
    while (!rest.isEmpty() && int(lines.size()) < room - 1) {
        // The longest run of whole criteria (parts joined by " · ") that fits, else of whole
        // words; a word wider than the line goes alone.
        qsizetype cut = -1;
        qsizetype wholePart = -1;
        for (qsizetype space = rest.indexOf(u' '); space > 0; space = rest.indexOf(u' ', space + 1)) {
            if (f.metrics.horizontalAdvance(rest.left(space)) > width)
                break;
            cut = space;
            if (rest.at(space - 1) == QChar(0x00B7))
                wholePart = space;
        }
        if (wholePart > 0)
            cut = wholePart;
        if (f.metrics.horizontalAdvance(rest) <= width)
            cut = rest.size();
        if (cut < 0) {
            const qsizetype space = rest.indexOf(u' ');
            cut = space > 0 ? space : rest.size();
        }
        lines.append(rest.left(cut).trimmed());
        rest = rest.mid(cut).trimmed();
    }
    if (!rest.isEmpty())
        lines.append(rest);
    const qreal height = f.metrics.height();
    qreal top = rect.top() + (rect.height() - height * qreal(lines.size())) / 2;
    std::vector<Placement> placed;
    for (const QString &line : lines) {
        PageItem part = item;
        part.text = line;
        Placement p = place(part, QRectF(rect.left(), top, rect.width(), height), align);
        if (p.run.isValid())
            p.text = line; // the characters the glyphs stand for
        placed.push_back(std::move(p));
        top += height;
    }
    return placed;
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
