#pragma once

#include "presentation/PdfDeflater.h"

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

// Writes the objects of a PDF file one after another to a device, keeps their offsets and ends
// the file with its cross-reference table. Streams are deflated by one compressor that lives as
// long as the writer, into one buffer that is reused: a page costs no allocation once the first
// pages have sized the buffers.
class PdfDocumentWriter
{
public:
    // level: libdeflate's compression level (1 fastest ... 12 smallest).
    PdfDocumentWriter(QIODevice &device, int level);
    PdfDocumentWriter(const PdfDocumentWriter &) = delete;
    PdfDocumentWriter &operator=(const PdfDocumentWriter &) = delete;

    // A number for an object written later; objects may be written in any order.
    [[nodiscard]] int reserveObject();
    // body: what stands between "obj" and "endobj".
    void writeObject(int object, std::string_view body);
    // A stream; dictionary: its entries other than /Length and /Filter.
    void writeStream(int object, std::string_view dictionary, std::string_view data,
                     bool compress = true);
    // A stream already deflated (zlib format).
    void writeDeflatedStream(int object, std::string_view dictionary, std::string_view deflated);
    // Ends the file. Every reserved object must have been written.
    void finish(int catalog, int info);

    // PDF syntax helpers, appending to out.
    // A real number with at most `decimals` decimals, without trailing zeros ("12.5", "-3").
    static void appendNumber(std::string &out, double value, int decimals = 3);
    static void appendInteger(std::string &out, long long value);
    // A text string (document information, annotations): UTF-16 with its byte order mark.
    static void appendTextString(std::string &out, const QString &text);
    // A name object's characters after the slash, with delimiters escaped.
    static void appendName(std::string &out, std::string_view name);

private:
    void beginObject(int object);
    void put(std::string_view bytes);
    void flush();

    QIODevice &m_device;
    PdfDeflater m_deflater;
    std::string m_buffer;     // bytes not yet handed to the device
    std::string m_compressed; // reused for every stream
    std::string m_scratch;
    long long m_offset = 0;   // bytes written so far
    std::vector<long long> m_offsets; // per object (index = number - 1); -1 until written
};
