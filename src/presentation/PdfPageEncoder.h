#pragma once

#include "presentation/PageContent.h"
#include "presentation/PageTextLayout.h"

#include <QImage>
#include <string>
#include <unordered_map>
#include <vector>

class PdfFontSet;
class PdfFontSubset;
class QGlyphRun;
class Report;

// Turns a page's display list into a PDF content stream: each text one text object whose
// glyphs are one string with adjustments only where the layout's positions differ from the
// font's own advances; boxes and lines as paths. Texts are placed exactly as on screen and on
// paper. One encoder a thread; the fonts are shared, and what glyphs an encoder used is handed
// to them at the end.
class PdfPageEncoder
{
public:
    PdfPageEncoder(const Report &report, PdfFontSet &fonts);
    ~PdfPageEncoder();
    PdfPageEncoder(const PdfPageEncoder &) = delete;
    PdfPageEncoder &operator=(const PdfPageEncoder &) = delete;

    // The content stream of a page (out is replaced; its capacity is kept).
    void encode(const PageContent &page, std::string &out);

    // Hands the glyphs this encoder's pages used to the fonts; after its last page.
    void mergeGlyphUse();

private:
    struct Font
    {
        PdfFontSubset *subset;
        int index;
    };
    Font fontFor(const QRawFont &font, const void *face);
    void appendColour(int ole, bool stroke);
    void appendGlyphs(const QGlyphRun &run, double x, double baseline, const void *face,
                      const QString *characters);
    void appendShaped(const PageTextLayout::Placement &placement);

    const Report &m_report;
    PdfFontSet &m_fontSet;
    QImage m_device; // stands for the PDF's resolution when fonts are measured
    PageTextLayout m_text;
    std::unordered_map<const void *, Font> m_fontOfFace; // layout faces met so far
    std::vector<std::vector<char32_t>> m_use;            // by font of the set: glyphs used
    std::string *m_out = nullptr;
    double m_pageHeight = 0;
    int m_fill = -2;
    int m_stroke = -2;
    double m_lineWidth = -1;
};
