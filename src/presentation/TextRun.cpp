#include "presentation/TextRun.h"

#include <QList>
#include <QPointF>
#include <algorithm>

bool TextRun::isSimple(const QString &text)
{
    // Latin, Latin-1 and Latin Extended letters, figures and punctuation, without combining
    // marks: one character, one glyph, no shaping.
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u >= 0x0250 && !(u >= 0x2010 && u <= 0x2027))
            return false;
    }
    return true;
}

TextRun::TextRun(const QRawFont &font, const QString &text, qreal maxWidth)
{
    if (!font.isValid() || !isSimple(text))
        return;
    QList<quint32> glyphs = font.glyphIndexesForString(text);
    if (glyphs.contains(0u))
        return; // the font lacks a glyph: let the text engine find a fallback font
    QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
    qreal width = 0;
    for (const QPointF &a : advances)
        width += a.x();

    if (width > maxWidth) {
        const QList<quint32> ellipsis = font.glyphIndexesForString(QStringLiteral("\u2026"));
        if (ellipsis.size() != 1 || ellipsis.front() == 0)
            return;
        const qreal ellipsisWidth = font.advancesForGlyphIndexes(ellipsis).front().x();
        while (!glyphs.isEmpty() && width + ellipsisWidth > maxWidth) {
            width -= advances.back().x();
            glyphs.removeLast();
            advances.removeLast();
        }
        glyphs.append(ellipsis.front());
        advances.append(QPointF(ellipsisWidth, 0));
        width += ellipsisWidth;
    }

    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    qreal x = 0;
    for (const QPointF &a : advances) {
        positions.append(QPointF(x, 0));
        x += a.x();
    }
    m_run.setRawFont(font);
    m_run.setGlyphIndexes(glyphs);
    m_run.setPositions(positions);
    m_width = width;
    m_valid = true;
}

TextRun TextRun::amount(const QRawFont &font, const QString &text, qreal maxWidth,
                        qreal minPixelSize)
{
    constexpr qreal unlimited = 1e9;
    TextRun run(font, text, unlimited);
    if (run.isValid() && run.width() > maxWidth && minPixelSize < font.pixelSize()) {
        QRawFont smaller = font;
        smaller.setPixelSize(
            std::max(minPixelSize, font.pixelSize() * maxWidth / run.width() * 0.98));
        run = TextRun(smaller, text, unlimited);
    }
    return run;
}
