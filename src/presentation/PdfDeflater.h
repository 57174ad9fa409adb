#pragma once

#include <string>
#include <string_view>

struct libdeflate_compressor;

// One zlib-format compressor, kept for many streams: no set-up per page.
class PdfDeflater
{
public:
    // level: libdeflate's compression level (1 fastest ... 12 smallest).
    explicit PdfDeflater(int level);
    ~PdfDeflater();
    PdfDeflater(const PdfDeflater &) = delete;
    PdfDeflater &operator=(const PdfDeflater &) = delete;

    // Compresses data into out, replacing its contents (its capacity is kept).
    void deflate(std::string_view data, std::string &out);

private:
    libdeflate_compressor *m_compressor;
};
