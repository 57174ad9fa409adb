#pragma once

#include <QGlyphRun>
#include <QRawFont>
#include <QString>

// A single line of report text laid out straight from a font's glyph table, without the text
// shaping engine: report texts are short runs of Latin letters and figures, and a page holds
// hundreds of them. Texts that need shaping (other scripts, combining marks, glyphs the font
// lacks) report !isValid() and are drawn the ordinary way.
class TextRun
{
public:
    TextRun() = default; // not valid
    // Lays the text out; if it is wider than maxWidth (pixels) it is cut and ends in "…".
    TextRun(const QRawFont &font, const QString &text, qreal maxWidth);

    [[nodiscard]] bool isValid() const { return m_valid; }
    [[nodiscard]] qreal width() const { return m_width; }
    [[nodiscard]] const QGlyphRun &glyphs() const { return m_run; }

    // An amount is never cut short: laid out smaller, down to minPixelSize, to fit maxWidth, and
    // wider than that when even so it does not fit.
    [[nodiscard]] static TextRun amount(const QRawFont &font, const QString &text, qreal maxWidth,
                                        qreal minPixelSize);

    // Whether the text can take the fast path at all.
    [[nodiscard]] static bool isSimple(const QString &text);

private:
    QGlyphRun m_run;
    qreal m_width = 0;
    bool m_valid = false;
};
