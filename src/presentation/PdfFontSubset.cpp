#include "presentation/PdfFontSubset.h"

#include "db/Failure.h"
#include "presentation/PdfDocumentWriter.h"
#include "presentation/PdfFontFace.h"

#include <QtEndian>
#include <algorithm>
#include <hb-subset.h>
#include <hb.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

quint16 be16(const QByteArray &table, int at)
{
    return at + 2 <= table.size()
               ? qFromBigEndian<quint16>(reinterpret_cast<const uchar *>(table.constData()) + at)
               : 0;
}

qint16 be16s(const QByteArray &table, int at)
{
    return static_cast<qint16>(be16(table, at));
}

} // namespace

PdfFontSubset::PdfFontSubset(const QRawFont &font, std::string resourceName)
    : m_resourceName(std::move(resourceName)), m_family(font.familyName()),
      m_style(font.styleName()), m_italic(font.style() != QFont::StyleNormal),
      m_head(font.fontTable("head")), m_hhea(font.fontTable("hhea")),
      m_os2(font.fontTable("OS/2")), m_post(font.fontTable("post")),
      m_face(std::make_unique<PdfFontFace>(font))
{
    hb_face_t *face = m_face->face();
    auto hasTable = [face](hb_tag_t tag) {
        hb_blob_t *blob = hb_face_reference_table(face, tag);
        const bool has = hb_blob_get_length(blob) > 0;
        hb_blob_destroy(blob);
        return has;
    };
    m_cff = hasTable(HB_TAG('C', 'F', 'F', ' '));
    const unsigned glyphs = hb_face_get_glyph_count(face);
    m_unitsPerEm = hb_face_get_upem(face);
    if (glyphs == 0 || glyphs > 0xFFFF || (!m_cff && !hasTable(HB_TAG('g', 'l', 'y', 'f'))))
        throw Failure(u"The font %1 cannot be embedded in a PDF"_s.arg(font.familyName()),
                      Failure::exportSource());
    // Design units straight from the font: the widths viewers lay the glyphs out with.
    hb_font_t *hbFont = hb_font_create(face);
    hb_font_set_scale(hbFont, int(m_unitsPerEm), int(m_unitsPerEm));
    m_widths.resize(glyphs);
    for (unsigned g = 0; g < glyphs; ++g)
        m_widths[g] = hb_font_get_glyph_h_advance(hbFont, g) * 1000.0 / m_unitsPerEm;
    hb_font_destroy(hbFont);
    m_use.assign(glyphs, 0);
}

PdfFontSubset::~PdfFontSubset() = default;

void PdfFontSubset::merge(const Use &use)
{
    for (size_t g = 0; g < use.size() && g < m_use.size(); ++g)
        if (use[g] != 0 && (m_use[g] == 0 || use[g] < m_use[g]))
            m_use[g] = use[g];
}

std::string PdfFontSubset::baseName() const
{
    // A subset's name starts with a tag of six capitals, the same for the same glyphs.
    quint32 hash = 2166136261u;
    for (size_t g = 0; g < m_use.size(); ++g)
        if (m_use[g] != 0)
            hash = (hash ^ quint32(g)) * 16777619u;
    std::string name;
    for (int i = 0; i < 6; ++i) {
        name += char('A' + hash % 26);
        hash /= 26;
    }
    name += '+';
    QString family = m_family + u'-' + m_style;
    family.remove(u' ');
    std::string rest = family.toStdString();
    PdfDocumentWriter::appendName(name, rest);
    return name;
}

std::string PdfFontSubset::toUnicode() const
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    auto hex16 = [](std::string &out, unsigned v) {
        for (int shift = 12; shift >= 0; shift -= 4)
            out += kHex[(v >> shift) & 15];
    };
    std::string out =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    std::vector<size_t> mapped;
    for (size_t g = 1; g < m_use.size(); ++g)
        if (m_use[g] != 0 && m_use[g] != kNoCharacter)
            mapped.push_back(g);
    for (size_t start = 0; start < mapped.size(); start += 100) {
        const size_t n = std::min<size_t>(100, mapped.size() - start);
        PdfDocumentWriter::appendInteger(out, static_cast<long long>(n));
        out += " beginbfchar\n";
        for (size_t i = start; i < start + n; ++i) {
            out += '<';
            hex16(out, unsigned(mapped[i]));
            out += "> <";
            const char32_t u = m_use[mapped[i]];
            if (u > 0xFFFF) {
                hex16(out, unsigned(0xD800 + ((u - 0x10000) >> 10)));
                hex16(out, unsigned(0xDC00 + ((u - 0x10000) & 0x3FF)));
            } else {
                hex16(out, unsigned(u));
            }
            out += ">\n";
        }
        out += "endbfchar\n";
    }
    out += "endcmap\nCMapName currentdict /CIDInit /ProcSet findresource pop end end\n";
    return out;
}

int PdfFontSubset::write(PdfDocumentWriter &document) const
{
    // Cut the font down to the glyphs used, renumbered; codes map to the new numbers.
    hb_subset_input_t *input = hb_subset_input_create_or_fail();
    if (!input)
        throw Failure(u"Cannot subset a font"_s, Failure::exportSource());
    hb_set_t *glyphs = hb_subset_input_glyph_set(input);
    hb_set_add(glyphs, 0);
    uint32_t last = 0;
    for (uint32_t g = 0; g < m_use.size(); ++g)
        if (m_use[g] != 0) {
            hb_set_add(glyphs, g);
            last = g;
        }
    hb_set_clear(hb_subset_input_unicode_set(input));
    hb_set_t *dropped = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const uint32_t tag : m_face->unreadTables())
        hb_set_add(dropped, tag);
    // A CFF font's glyphs are chosen by code with no map between: keep their numbers there.
    hb_subset_input_set_flags(input, m_cff ? HB_SUBSET_FLAGS_RETAIN_GIDS : HB_SUBSET_FLAGS_DEFAULT);
    hb_subset_plan_t *plan = hb_subset_plan_create_or_fail(m_face->face(), input);
    hb_subset_input_destroy(input);
    hb_face_t *subset = plan ? hb_subset_plan_execute_or_fail(plan) : nullptr;
    if (!subset) {
        hb_subset_plan_destroy(plan);
        throw Failure(u"Cannot subset the font %1"_s.arg(m_family),
                      Failure::exportSource());
    }
    const hb_map_t *oldToNew = hb_subset_plan_old_to_new_glyph_mapping(plan);
    // Codes are the glyphs' numbers in the whole font.
    std::string cidToGid;
    cidToGid.reserve((last + 1) * 2);
    for (uint32_t old = 0; old <= last; ++old) {
        const hb_codepoint_t g = m_use[old] != 0 ? hb_map_get(oldToNew, old) : 0;
        const unsigned v = g == HB_MAP_VALUE_INVALID ? 0 : g;
        cidToGid += char(v >> 8);
        cidToGid += char(v & 0xFF);
    }
    hb_blob_t *blob = hb_face_reference_blob(subset);
    unsigned length = 0;
    const char *data = hb_blob_get_data(blob, &length);
    const std::string fontFile(data, length);
    hb_blob_destroy(blob);
    hb_face_destroy(subset);
    hb_subset_plan_destroy(plan);

    const int type0 = document.reserveObject();
    const int descendant = document.reserveObject();
    const int descriptor = document.reserveObject();
    const int file = document.reserveObject();
    const int unicode = document.reserveObject();
    const int map = m_cff ? 0 : document.reserveObject();
    const std::string name = baseName();
    auto ref = [](std::string &out, int object) {
        PdfDocumentWriter::appendInteger(out, object);
        out += " 0 R";
    };
    auto em = [this](double units) { return units * 1000.0 / m_unitsPerEm; };

    std::string s = "<< /Type /Font /Subtype /Type0 /BaseFont /" + name +
                    " /Encoding /Identity-H /DescendantFonts [";
    ref(s, descendant);
    s += "] /ToUnicode ";
    ref(s, unicode);
    s += " >>";
    document.writeObject(type0, s);

    s = "<< /Type /Font /Subtype /";
    s += m_cff ? "CIDFontType0" : "CIDFontType2";
    s += " /BaseFont /" + name +
         " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
         " /FontDescriptor ";
    ref(s, descriptor);
    if (!m_cff) {
        s += " /CIDToGIDMap ";
        ref(s, map);
    }
    // Widths of each run of consecutive glyphs used: first [w1 w2 ...].
    s += " /DW 0 /W [";
    for (uint32_t g = 1; g <= last; ++g) {
        if (m_use[g] == 0)
            continue;
        PdfDocumentWriter::appendInteger(s, g);
        s += " [";
        for (; g <= last && m_use[g] != 0; ++g) {
            PdfDocumentWriter::appendNumber(s, m_widths[g], 1);
            s += ' ';
        }
        s.back() = ']';
        s += ' ';
    }
    s += "] >>";
    document.writeObject(descendant, s);

    const QByteArray &head = m_head, &hhea = m_hhea, &os2 = m_os2, &post = m_post;
    const double italicAngle = post.size() >= 8 ? be16s(post, 4) + be16(post, 6) / 65536.0 : 0.0;
    const double ascent = em(be16s(hhea, 4));
    const double capHeight = be16(os2, 0) >= 2 ? em(be16s(os2, 88)) : ascent;
    int flags = 32; // non-symbolic: the standard Latin character set
    if (italicAngle != 0 || m_italic)
        flags |= 64;
    s = "<< /Type /FontDescriptor /FontName /" + name;
    PdfDocumentWriter::appendInteger(s += " /Flags ", flags);
    s += " /FontBBox [";
    for (int at : {36, 38, 40, 42}) {
        PdfDocumentWriter::appendNumber(s, em(be16s(head, at)), 0);
        s += at == 42 ? "]" : " ";
    }
    PdfDocumentWriter::appendNumber(s += " /ItalicAngle ", italicAngle, 2);
    PdfDocumentWriter::appendNumber(s += " /Ascent ", ascent, 0);
    PdfDocumentWriter::appendNumber(s += " /Descent ", em(be16s(hhea, 6)), 0);
    PdfDocumentWriter::appendNumber(s += " /CapHeight ", capHeight, 0);
    s += " /StemV 80 ";
    s += m_cff ? "/FontFile3 " : "/FontFile2 ";
    ref(s, file);
    s += " >>";
    document.writeObject(descriptor, s);

    std::string dictionary = m_cff ? " /Subtype /OpenType" : " /Length1 ";
    if (!m_cff)
        PdfDocumentWriter::appendInteger(dictionary, static_cast<long long>(fontFile.size()));
    document.writeStream(file, dictionary, fontFile);
    document.writeStream(unicode, {}, toUnicode());
    if (!m_cff)
        document.writeStream(map, {}, cidToGid);
    return type0;
}
