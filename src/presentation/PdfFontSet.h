#pragma once

#include <QRawFont>
#include <QString>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class PdfDocumentWriter;
class PdfFontSubset;

// The fonts of one PDF, shared by the page encoders of every thread: a font is taken in when a
// page first uses it, under a name derived from the font itself so that the pages read the same
// whichever encoder met it first.
class PdfFontSet
{
public:
    PdfFontSet();
    ~PdfFontSet();
    PdfFontSet(const PdfFontSet &) = delete;
    PdfFontSet &operator=(const PdfFontSet &) = delete;

    // The font's index in the set. The subset it names stays in place for the set's life.
    [[nodiscard]] int fontFor(const QRawFont &font);
    [[nodiscard]] PdfFontSubset &font(int index);

    // Writes every font (in the order of their names) and returns the entries of the resource
    // dictionary's font dictionary ("/Name 12 0 R ...").
    [[nodiscard]] std::string write(PdfDocumentWriter &document);

private:
    struct Entry
    {
        QString key;
        std::unique_ptr<PdfFontSubset> subset;
    };
    std::mutex m_mutex;
    std::vector<Entry> m_fonts;
};
