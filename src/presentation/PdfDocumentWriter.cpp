#include "presentation/PdfDocumentWriter.h"

#include "db/Failure.h"

#include <QIODevice>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr size_t kFlushAt = 256 << 10; // bytes gathered before they go to the device

[[noreturn]] void fail(const QString &message)
{
    throw Failure(message, Failure::exportSource());
}

} // namespace

PdfDocumentWriter::PdfDocumentWriter(QIODevice &device, int level)
    : m_device(device), m_deflater(level)
{
    m_buffer.reserve(kFlushAt + 4096);
    // Binary marker bytes in a comment: file transfers must treat the file as binary.
    put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
}

int PdfDocumentWriter::reserveObject()
{
    m_offsets.push_back(-1);
    return int(m_offsets.size());
}

void PdfDocumentWriter::put(std::string_view bytes)
{
    m_buffer.append(bytes);
    m_offset += static_cast<long long>(bytes.size());
    if (m_buffer.size() >= kFlushAt)
        flush();
}

void PdfDocumentWriter::flush()
{
    if (m_buffer.empty())
        return;
    if (m_device.write(m_buffer.data(), qint64(m_buffer.size())) != qint64(m_buffer.size()))
        fail(u"Cannot write the PDF: %1"_s.arg(m_device.errorString()));
    m_buffer.clear();
}

void PdfDocumentWriter::beginObject(int object)
{
    if (object < 1 || size_t(object) > m_offsets.size() || m_offsets[size_t(object - 1)] >= 0)
        fail(u"PDF object %1 written twice or never reserved"_s.arg(object));
    m_offsets[size_t(object - 1)] = m_offset;
    m_scratch.clear();
    appendInteger(m_scratch, object);
    m_scratch += " 0 obj\n";
    put(m_scratch);
}

void PdfDocumentWriter::writeObject(int object, std::string_view body)
{
    beginObject(object);
    put(body);
    put("\nendobj\n");
}

void PdfDocumentWriter::writeStream(int object, std::string_view dictionary,
                                    std::string_view data, bool compress)
{
    if (compress) {
        m_deflater.deflate(data, m_compressed);
        writeDeflatedStream(object, dictionary, m_compressed);
        return;
    }
    beginObject(object);
    m_scratch.clear();
    m_scratch += "<<";
    m_scratch += dictionary;
    m_scratch += " /Length ";
    appendInteger(m_scratch, static_cast<long long>(data.size()));
    m_scratch += " >>\nstream\n";
    put(m_scratch);
    put(data);
    put("\nendstream\nendobj\n");
}

void PdfDocumentWriter::writeDeflatedStream(int object, std::string_view dictionary,
                                            std::string_view deflated)
{
    beginObject(object);
    m_scratch.clear();
    m_scratch += "<<";
    m_scratch += dictionary;
    m_scratch += " /Length ";
    appendInteger(m_scratch, static_cast<long long>(deflated.size()));
    m_scratch += " /Filter /FlateDecode >>\nstream\n";
    put(m_scratch);
    put(deflated);
    put("\nendstream\nendobj\n");
}

void PdfDocumentWriter::finish(int catalog, int info)
{
    const long long xref = m_offset;
    m_scratch.clear();
    m_scratch += "xref\n0 ";
    appendInteger(m_scratch, static_cast<long long>(m_offsets.size()) + 1);
    m_scratch += "\n0000000000 65535 f \n";
    put(m_scratch);
    char entry[32];
    for (size_t i = 0; i < m_offsets.size(); ++i) {
        if (m_offsets[i] < 0)
            fail(u"PDF object %1 reserved but never written"_s.arg(i + 1));
        std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", m_offsets[i]);
        put(std::string_view(entry, 20));
    }
    m_scratch.clear();
    m_scratch += "trailer\n<< /Size ";
    appendInteger(m_scratch, static_cast<long long>(m_offsets.size()) + 1);
    m_scratch += " /Root ";
    appendInteger(m_scratch, catalog);
    m_scratch += " 0 R /Info ";
    appendInteger(m_scratch, info);
    m_scratch += " 0 R >>\nstartxref\n";
    appendInteger(m_scratch, xref);
    m_scratch += "\n%%EOF\n";
    put(m_scratch);
    flush();
}

void PdfDocumentWriter::appendInteger(std::string &out, long long value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

void PdfDocumentWriter::appendNumber(std::string &out, double value, int decimals)
{
    static constexpr long long kPowers[] = {1, 10, 100, 1000, 10000, 100000};
    const long long unit = kPowers[std::clamp(decimals, 0, 5)];
    long long scaled = std::llround(value * double(unit));
    if (scaled < 0) {
        out += '-';
        scaled = -scaled;
    }
    appendInteger(out, scaled / unit);
    long long fraction = scaled % unit;
    if (fraction == 0)
        return;
    int places = decimals;
    while (fraction % 10 == 0) {
        fraction /= 10;
        --places;
    }
    char digits[8];
    for (int i = places - 1; i >= 0; --i) {
        digits[i] = char('0' + fraction % 10);
        fraction /= 10;
    }
    out += '.';
    out.append(digits, size_t(places));
}

void PdfDocumentWriter::appendTextString(std::string &out, const QString &text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "<FEFF";
    for (QChar c : text) {
        const ushort u = c.unicode();
        out += kHex[(u >> 12) & 15];
        out += kHex[(u >> 8) & 15];
        out += kHex[(u >> 4) & 15];
        out += kHex[u & 15];
    }
    out += '>';
}

void PdfDocumentWriter::appendName(std::string &out, std::string_view name)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= ' ' || c >= 0x7F || std::string_view("#/()<>[]{}%").find(ch) != std::string_view::npos) {
            out += '#';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
}
