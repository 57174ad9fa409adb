#pragma once

#include <QByteArray>
#include <QRawFont>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class PdfDocumentWriter;
class PdfFontFace;

// One font embedded in a PDF. Pages draw its glyphs by their numbers in the whole font (two-byte
// codes), so that pages can be encoded in any order and on any thread and still come out the
// same; at the end the font is written as a subset of the glyphs used, cut by HarfBuzz, with
// the glyph widths and a map from codes back to the characters so that text can be searched,
// copied and extracted.
class PdfFontSubset
{
public:
    // Which glyphs pages used, and the character each stands for (the lowest one met, so that
    // the order pages are encoded in does not matter): kept by each page encoder on its own and
    // merged at the end. 0: not used; kNoCharacter: used, no character known.
    using Use = std::vector<char32_t>;
    static constexpr char32_t kNoCharacter = 0xFFFFFFFF;

    // font: any size of the face. resourceName: the name pages use for it.
    PdfFontSubset(const QRawFont &font, std::string resourceName);
    ~PdfFontSubset();
    PdfFontSubset(const PdfFontSubset &) = delete;
    PdfFontSubset &operator=(const PdfFontSubset &) = delete;

    [[nodiscard]] const std::string &resourceName() const { return m_resourceName; }
    [[nodiscard]] size_t glyphCount() const { return m_widths.size(); }
    // Advance width of a glyph, in thousandths of the type size. Safe from any thread.
    [[nodiscard]] double advance(uint32_t glyph) const
    {
        return glyph < m_widths.size() ? m_widths[glyph] : 0.0;
    }
    static void note(Use &use, uint32_t glyph, char32_t unicode)
    {
        if (glyph < use.size() && (use[glyph] == 0 || (unicode != 0 && unicode < use[glyph])))
            use[glyph] = unicode == 0 ? kNoCharacter : unicode;
    }
    void merge(const Use &use);

    // Writes the font's objects: the font the pages name (returns its object number), its
    // descendant, descriptor, subset font file, widths and character map.
    [[nodiscard]] int write(PdfDocumentWriter &document) const;

private:
    [[nodiscard]] std::string baseName() const;
    [[nodiscard]] std::string toUnicode() const;

    std::string m_resourceName;
    // What is read of the font is read when it is taken in: a raw font belongs to the thread
    // that made it, which may be gone by the time the font is written.
    QString m_family;
    QString m_style;
    bool m_italic = false;
    QByteArray m_head, m_hhea, m_os2, m_post;
    std::unique_ptr<PdfFontFace> m_face;
    bool m_cff = false;
    double m_unitsPerEm = 1000;
    std::vector<double> m_widths; // by glyph
    Use m_use;
};
