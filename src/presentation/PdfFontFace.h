#pragma once

#include <QByteArray>
#include <QRawFont>
#include <cstdint>
#include <vector>

struct hb_face_t;

// A font as HarfBuzz reads it to cut a subset. Mapped from the font's own file when fontconfig
// names a file holding the very same font: only the pages of the glyphs a report uses are ever
// read. Otherwise (a font loaded from memory, a file changed since) put together in memory from
// the tables Qt reads of it.
class PdfFontFace
{
public:
    explicit PdfFontFace(const QRawFont &font);
    ~PdfFontFace();
    PdfFontFace(const PdfFontFace &) = delete;
    PdfFontFace &operator=(const PdfFontFace &) = delete;

    [[nodiscard]] hb_face_t *face() const { return m_face; }
    // The face was mapped from the font's file rather than copied into memory.
    [[nodiscard]] bool mapped() const { return m_file.isEmpty(); }
    // The tags of the face's tables that a PDF viewer never reads (shaping, naming, bitmaps):
    // a subset leaves them out.
    [[nodiscard]] std::vector<uint32_t> unreadTables() const;

private:
    [[nodiscard]] static hb_face_t *mapFile(const QRawFont &font);

    QByteArray m_file; // the font put together from its tables, when not mapped
    hb_face_t *m_face = nullptr;
};
