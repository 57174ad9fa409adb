#include "presentation/PdfPageEncoder.h"

#include "presentation/PdfDocumentWriter.h"
#include "presentation/PdfFontSet.h"
#include "presentation/PdfFontSubset.h"
#include "presentation/Report.h"

#include <QGlyphRun>
#include <QTextLayout>
#include <cmath>

namespace {

// Device pixels per point the texts are laid out at: the resolution the report's PDFs were
// always laid out at, so that cuts and shrunken amounts come out as they always have.
constexpr double kScale = 1200.0 / 72.0;

constexpr char kHex[] = "0123456789ABCDEF";

void appendHex16(std::string &out, unsigned v)
{
    out += kHex[(v >> 12) & 15];
    out += kHex[(v >> 8) & 15];
    out += kHex[(v >> 4) & 15];
    out += kHex[v & 15];
}

QImage resolutionDevice()
{
    QImage image(1, 1, QImage::Format_Mono);
    const int dotsPerMeter = qRound(1200 / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

} // namespace

PdfPageEncoder::PdfPageEncoder(const Report &report, PdfFontSet &fonts)
    : m_report(report), m_fontSet(fonts), m_device(resolutionDevice()),
      m_text(report, &m_device, kScale)
{
}

PdfPageEncoder::~PdfPageEncoder() = default;

PdfPageEncoder::Font PdfPageEncoder::fontFor(const QRawFont &font, const void *face)
{
    if (face) {
        const auto found = m_fontOfFace.find(face);
        if (found != m_fontOfFace.end())
            return found->second;
    }
    const int index = m_fontSet.fontFor(font);
    const Font f{&m_fontSet.font(index), index};
    if (size_t(index) >= m_use.size())
        m_use.resize(size_t(index) + 1);
    if (m_use[size_t(index)].empty())
        m_use[size_t(index)].assign(f.subset->glyphCount(), 0);
    if (face)
        m_fontOfFace.emplace(face, f);
    return f;
}

void PdfPageEncoder::mergeGlyphUse()
{
    for (size_t i = 0; i < m_use.size(); ++i)
        if (!m_use[i].empty())
            m_fontSet.font(int(i)).merge(m_use[i]);
}

void PdfPageEncoder::appendColour(int ole, bool stroke)
{
    int &current = stroke ? m_stroke : m_fill;
    if (current == ole)
        return;
    current = ole;
    std::string &out = *m_out;
    for (int shift : {0, 8, 16}) {
        PdfDocumentWriter::appendNumber(out, ((ole >> shift) & 0xFF) / 255.0, 3);
        out += ' ';
    }
    out += stroke ? "RG\n" : "rg\n";
}

// x, baseline: points from the page's top-left corner to the run's origin. characters: the
// text the glyphs were set from one for one (the last glyph may be an ellipsis), or null.
void PdfPageEncoder::appendGlyphs(const QGlyphRun &run, double x, double baseline,
                                  const void *face, const QString *characters)
{
    const QRawFont raw = run.rawFont();
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    if (glyphs.isEmpty() || positions.size() != glyphs.size())
        return;
    const Font f = fontFor(raw, face);
    const PdfFontSubset &font = *f.subset;
    std::vector<char32_t> &use = m_use[size_t(f.index)];
    const double size = raw.pixelSize() / kScale; // points
    std::string &out = *m_out;
    out += "BT /";
    out += font.resourceName(); // letters, figures and hyphens only
    out += ' ';
    PdfDocumentWriter::appendNumber(out, size, 3);
    out += " Tf ";
    const double x0 = x + positions.front().x() / kScale;
    PdfDocumentWriter::appendNumber(out, x0, 3);
    out += ' ';
    PdfDocumentWriter::appendNumber(out, m_pageHeight - (baseline + positions.front().y() / kScale),
                                    3);
    out += " Td [<";

    // A glyph that the cut of a long text put in place of its last character is the ellipsis.
    const qsizetype n = glyphs.size();
    bool lastIsEllipsis = false;
    if (characters) {
        if (n > characters->size()) {
            lastIsEllipsis = true;
        } else {
            quint32 own = 0;
            int count = 1;
            const QChar c = characters->at(n - 1);
            lastIsEllipsis = !raw.glyphIndexesForChars(&c, 1, &own, &count) ||
                             own != glyphs.back();
        }
    }
    // Pen position in thousandths of the type size from the run's start: the font's advances
    // plus the adjustments written so far. An adjustment is written where the layout's position
    // differs from it by a thousandth or more.
    double pen = 0;
    const double origin = positions.front().x();
    for (qsizetype i = 0; i < n; ++i) {
        const double target = (positions[i].x() - origin) / kScale * 1000.0 / size;
        const double adjust = std::round(pen - target);
        if (adjust != 0) {
            out += '>';
            PdfDocumentWriter::appendInteger(out, static_cast<long long>(adjust));
            out += '<';
            pen -= adjust;
        }
        char32_t unicode = 0;
        if (characters)
            unicode = i == n - 1 && lastIsEllipsis ? U'\u2026' : char32_t(characters->at(i).unicode());
        const uint32_t glyph = glyphs[i] < font.glyphCount() ? glyphs[i] : 0;
        PdfFontSubset::note(use, glyph, unicode);
        appendHex16(out, glyph);
        pen += font.advance(glyph);
    }
    out += ">] TJ ET\n";
}

void PdfPageEncoder::encode(const PageContent &page, std::string &out)
{
    out.clear();
    m_out = &out;
    m_fill = m_stroke = -2;
    m_lineWidth = -1;
    m_pageHeight = m_report.pageLayout().fullRectPoints().height();
    auto lineWidth = [&](double width) {
        if (width == m_lineWidth)
            return;
        if (m_lineWidth < 0)
            out += "2 J 2 j\n"; // square caps and bevelled joins, as the screen draws them
        m_lineWidth = width;
        PdfDocumentWriter::appendNumber(out, width, 3);
        out += " w\n";
    };
    auto rectangle = [&](const QRectF &r) {
        PdfDocumentWriter::appendNumber(out, r.x(), 3);
        out += ' ';
        PdfDocumentWriter::appendNumber(out, m_pageHeight - r.bottom(), 3);
        out += ' ';
        PdfDocumentWriter::appendNumber(out, r.width(), 3);
        out += ' ';
        PdfDocumentWriter::appendNumber(out, r.height(), 3);
        out += " re ";
    };
    for (const PageItem &item : page.items) {
        const ReportObject &object = *m_report.objects()[size_t(item.object)];
        const LayoutObject &layout = object.layout();
        const ItemStyle *style = item.style >= 0 ? &page.styles[size_t(item.style)] : nullptr;
        const double lineWidthOf = style ? style->lineWidth : layout.lineWidth;
        const int lineColour = style ? style->stroke : layout.lineColor;
        switch (item.kind) {
        case PageItem::Kind::Box: {
            const bool stroke = lineWidthOf > 0;
            const int fillColour = style ? style->fill : object.FillColor();
            const bool fill = fillColour != -1;
            if (!stroke && !fill)
                break;
            if (stroke) {
                lineWidth(lineWidthOf);
                appendColour(lineColour, true);
            }
            if (fill)
                appendColour(fillColour, false);
            rectangle(item.rect);
            out += stroke && fill ? "B\n" : stroke ? "S\n" : "f\n";
            break;
        }
        case PageItem::Kind::Line:
        case PageItem::Kind::Polyline: {
            lineWidth(std::max(0.1, lineWidthOf));
            appendColour(lineColour, true);
            const QRectF &r = item.rect;
            const QPolygonF points = item.kind == PageItem::Kind::Line
                                         ? QPolygonF({r.topLeft(), r.bottomRight()})
                                         : page.paths[size_t(item.path)];
            for (qsizetype k = 0; k < points.size(); ++k) {
                PdfDocumentWriter::appendNumber(out, points[k].x(), 3);
                out += ' ';
                PdfDocumentWriter::appendNumber(out, m_pageHeight - points[k].y(), 3);
                out += k == 0 ? " m " : " l ";
            }
            out += "S\n";
            break;
        }
        case PageItem::Kind::Text: {
            if (object.BackColor() != -1) {
                appendColour(object.BackColor(), false);
                rectangle(item.rect);
                out += "f\n";
            }
            if (item.text.isEmpty())
                break;
            const QRectF device(item.rect.x() * kScale, item.rect.y() * kScale,
                                item.rect.width() * kScale, item.rect.height() * kScale);
            appendColour(style ? style->stroke : layout.color, false);
            for (const PageTextLayout::Placement &p :
                 m_text.placeLines(item, device, style ? style->align : Qt::Alignment())) {
                if (p.run.isValid()) {
                    appendGlyphs(p.run.glyphs(), p.x / kScale, p.baseline / kScale, p.face,
                                 p.text.isEmpty() ? &item.text : &p.text);
                } else {
                    appendShaped(p);
                }
            }
            break;
        }
        }
    }
    m_out = nullptr;
}

// Text the fast path cannot set: shaped by Qt's text engine (other scripts, fallback fonts),
// marked with the text it stands for, since its glyphs need not match its characters one for
// one.
void PdfPageEncoder::appendShaped(const PageTextLayout::Placement &p)
{
    QTextLayout layout(p.text, p.face->font, &m_device);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return;
    }
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    std::string &out = *m_out;
    out += "/Span << /ActualText ";
    PdfDocumentWriter::appendTextString(out, p.text);
    out += " >> BDC\n";
    const double top = (p.baseline - line.ascent()) / kScale;
    for (const QGlyphRun &run : layout.glyphRuns())
        appendGlyphs(run, p.x / kScale, top, nullptr, nullptr);
    out += "EMC\n";
}

