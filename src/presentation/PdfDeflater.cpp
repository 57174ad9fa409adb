#include "presentation/PdfDeflater.h"

#include "db/Failure.h"

#include <libdeflate.h>

using namespace Qt::StringLiterals;

PdfDeflater::PdfDeflater(int level) : m_compressor(libdeflate_alloc_compressor(level))
{
    if (!m_compressor)
        throw Failure(u"Cannot start compressing the PDF"_s, Failure::exportSource());
}

PdfDeflater::~PdfDeflater()
{
    libdeflate_free_compressor(m_compressor);
}

void PdfDeflater::deflate(std::string_view data, std::string &out)
{
    out.resize(libdeflate_zlib_compress_bound(m_compressor, data.size()));
    const size_t size =
        libdeflate_zlib_compress(m_compressor, data.data(), data.size(), out.data(), out.size());
    if (size == 0)
        throw Failure(u"Cannot compress a PDF stream"_s, Failure::exportSource());
    out.resize(size);
}
