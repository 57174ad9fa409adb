#include "presentation/PdfFontFace.h"

#include <algorithm>
#include <array>
#include <fontconfig/fontconfig.h>
#include <hb.h>
#include <utility>
#include <vector>

namespace {

// The tables a PDF viewer reads from an embedded TrueType or OpenType font; shaping and naming
// tables are left out, the document has already placed every glyph.
constexpr std::array<const char *, 12> kTables = {"CFF ", "OS/2", "cmap", "cvt ", "fpgm", "glyf",
                                                  "head", "hhea", "hmtx", "loca", "maxp", "prep"};

void put16(QByteArray &out, quint16 v)
{
    out.append(char(v >> 8)).append(char(v & 0xFF));
}

void put32(QByteArray &out, quint32 v)
{
    put16(out, quint16(v >> 16));
    put16(out, quint16(v & 0xFFFF));
}

quint32 checksum(const QByteArray &data)
{
    quint32 sum = 0;
    for (int i = 0; i < data.size(); i += 4) {
        quint32 word = 0;
        for (int k = 0; k < 4; ++k)
            word = (word << 8) | (i + k < data.size() ? uchar(data[i + k]) : 0u);
        sum += word;
    }
    return sum;
}

// An sfnt file holding the given tables (tags in ascending order).
QByteArray sfnt(const std::vector<std::pair<const char *, QByteArray>> &tables, bool cff)
{
    const auto count = quint16(tables.size());
    quint16 power = 1, log = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log;
    }
    QByteArray out;
    put32(out, cff ? 0x4F54544Fu : 0x00010000u);
    put16(out, count);
    put16(out, quint16(power * 16));
    put16(out, log);
    put16(out, quint16(count * 16 - power * 16));
    quint32 offset = 12 + 16u * count;
    for (const auto &[tag, data] : tables) {
        out.append(tag, 4);
        put32(out, checksum(data));
        put32(out, offset);
        put32(out, quint32(data.size()));
        offset += (quint32(data.size()) + 3) & ~3u;
    }
    for (const auto &entry : tables) {
        out.append(entry.second);
        while (out.size() % 4)
            out.append('\0');
    }
    return out;
}

// The face's table as bytes, or empty.
QByteArray table(hb_face_t *face, const char *tag)
{
    hb_blob_t *blob = hb_face_reference_table(face, hb_tag_from_string(tag, 4));
    unsigned length = 0;
    const char *data = hb_blob_get_data(blob, &length);
    QByteArray bytes(data, qsizetype(length));
    hb_blob_destroy(blob);
    return bytes;
}

} // namespace

PdfFontFace::PdfFontFace(const QRawFont &font) : m_face(mapFile(font))
{
    if (m_face)
        return;
    std::vector<std::pair<const char *, QByteArray>> tables;
    bool cff = false;
    for (const char *tag : kTables) {
        QByteArray data = font.fontTable(tag);
        if (data.isEmpty())
            continue;
        cff = cff || qstrcmp(tag, "CFF ") == 0;
        tables.emplace_back(tag, std::move(data));
    }
    m_file = sfnt(tables, cff);
    hb_blob_t *blob = hb_blob_create(m_file.constData(), unsigned(m_file.size()),
                                     HB_MEMORY_MODE_READONLY, nullptr, nullptr);
    m_face = hb_face_create(blob, 0);
    hb_blob_destroy(blob);
}

PdfFontFace::~PdfFontFace()
{
    hb_face_destroy(m_face);
}

std::vector<uint32_t> PdfFontFace::unreadTables() const
{
    std::vector<uint32_t> unread;
    std::array<hb_tag_t, 64> tags{};
    unsigned offset = 0, count = 0;
    do {
        count = unsigned(tags.size());
        hb_face_get_table_tags(m_face, offset, &count, tags.data());
        for (unsigned i = 0; i < count; ++i) {
            const bool read = std::any_of(kTables.begin(), kTables.end(), [&](const char *tag) {
                return hb_tag_from_string(tag, 4) == tags[i];
            });
            if (!read)
                unread.push_back(tags[i]);
        }
        offset += count;
    } while (count == tags.size());
    return unread;
}

hb_face_t *PdfFontFace::mapFile(const QRawFont &font)
{
    // The font's files as fontconfig lists them under its family; the right one is the one
    // whose header (dates, checksum, design) is the raw font's, byte for byte.
    const QByteArray head = font.fontTable("head");
    const QByteArray family = font.familyName().toUtf8();
    if (head.isEmpty() || family.isEmpty())
        return nullptr;
    FcPattern *pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.constData()));
    FcObjectSet *objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    FcFontSet *files = FcFontList(nullptr, pattern, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    hb_face_t *found = nullptr;
    for (int i = 0; files && i < files->nfont && !found; ++i) {
        FcChar8 *path = nullptr;
        int index = 0;
        if (FcPatternGetString(files->fonts[i], FC_FILE, 0, &path) != FcResultMatch)
            continue;
        FcPatternGetInteger(files->fonts[i], FC_INDEX, 0, &index);
        hb_blob_t *blob = hb_blob_create_from_file_or_fail(reinterpret_cast<const char *>(path));
        if (!blob)
            continue;
        hb_face_t *face = hb_face_create(blob, unsigned(index & 0xFFFF));
        hb_blob_destroy(blob);
        if (table(face, "head") == head)
            found = face;
        else
            hb_face_destroy(face);
    }
    if (files)
        FcFontSetDestroy(files);
    return found;
}
