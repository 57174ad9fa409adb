#include "presentation/PdfFontSet.h"

#include "presentation/PdfDocumentWriter.h"
#include "presentation/PdfFontSubset.h"

#include <algorithm>

PdfFontSet::PdfFontSet() = default;
PdfFontSet::~PdfFontSet() = default;

int PdfFontSet::fontFor(const QRawFont &font)
{
    const QString key = font.familyName() + u'-' + font.styleName() + u'-' +
                        QString::number(font.weight()) + u'-' + QString::number(font.style());
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i].key == key)
            return int(i);
    // The resource name: the font's family and style, letters and figures only.
    std::string name;
    const QString words = font.familyName() + u'-' + font.styleName();
    for (QChar c : words)
        if (c.isLetterOrNumber() && c.unicode() < 0x80)
            name += char(c.unicode());
    name += '-' + std::to_string(font.weight()) + '-' + std::to_string(int(font.style()));
    m_fonts.push_back({key, std::make_unique<PdfFontSubset>(font, name)});
    return int(m_fonts.size() - 1);
}

PdfFontSubset &PdfFontSet::font(int index)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return *m_fonts[size_t(index)].subset;
}

std::string PdfFontSet::write(PdfDocumentWriter &document)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<const PdfFontSubset *> fonts;
    for (const Entry &e : m_fonts)
        fonts.push_back(e.subset.get());
    std::sort(fonts.begin(), fonts.end(), [](const PdfFontSubset *a, const PdfFontSubset *b) {
        return a->resourceName() < b->resourceName();
    });
    std::string entries;
    for (const PdfFontSubset *font : fonts) {
        const int object = font->write(document);
        entries += '/';
        PdfDocumentWriter::appendName(entries, font->resourceName());
        entries += ' ';
        PdfDocumentWriter::appendInteger(entries, object);
        entries += " 0 R ";
    }
    return entries;
}
