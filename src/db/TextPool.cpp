#include "db/TextPool.h"

#include <cstring>
#include <stdexcept>

namespace {

uint32_t hashBytes(std::string_view s)
{
    // Eight bytes at a time, mixed by multiplication: names are short, and this runs once
    // per text cell of a result.
    uint64_t h = 0x9E3779B97F4A7C15ull ^ s.size();
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        h = (h ^ word) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    uint64_t tail = 0;
    std::memcpy(&tail, s.data() + i, s.size() - i);
    h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 29;
    return uint32_t(h);
}

} // namespace

TextPool::TextPool() : m_offsets{0}, m_slots(64, 0) {}

uint32_t TextPool::intern(std::string_view utf8)
{
    if (!m_deduplicate) {
        if (m_bytes.size() + utf8.size() > UINT32_MAX)
            throw std::length_error("result column text exceeds 4 GiB");
        m_bytes.append(utf8);
        m_offsets.push_back(uint32_t(m_bytes.size()));
        return size() - 1;
    }
    if (m_slots.empty())
        throw std::logic_error("TextPool::intern after finish");
    const uint32_t h = hashBytes(utf8);
    const size_t mask = m_slots.size() - 1;
    size_t slot = h & mask;
    while (m_slots[slot] != 0) {
        const uint32_t index = m_slots[slot] - 1;
        if (m_hashes[index] == h && view(index) == utf8)
            return index;
        slot = (slot + 1) & mask;
    }
    if (m_bytes.size() + utf8.size() > UINT32_MAX)
        throw std::length_error("result column text exceeds 4 GiB");
    const uint32_t index = size();
    m_bytes.append(utf8);
    m_offsets.push_back(uint32_t(m_bytes.size()));
    m_hashes.push_back(h);
    m_slots[slot] = index + 1;
    if ((size_t(size()) * 4) > m_slots.size() * 3)
        grow();
    return index;
}

void TextPool::grow()
{
    std::vector<uint32_t> slots(m_slots.size() * 2, 0);
    const size_t mask = slots.size() - 1;
    for (uint32_t index = 0; index < size(); ++index) {
        size_t slot = m_hashes[index] & mask;
        while (slots[slot] != 0)
            slot = (slot + 1) & mask;
        slots[slot] = index + 1;
    }
    m_slots.swap(slots);
}

void TextPool::stopDeduplicating()
{
    m_deduplicate = false;
    std::vector<uint32_t>().swap(m_slots);
    std::vector<uint32_t>().swap(m_hashes);
}

void TextPool::finish()
{
    std::vector<uint32_t>().swap(m_slots);
    std::vector<uint32_t>().swap(m_hashes);
    m_bytes.shrink_to_fit();
    m_offsets.shrink_to_fit();
}

size_t TextPool::byteSize() const
{
    return m_bytes.capacity() + m_offsets.capacity() * sizeof(uint32_t) +
           m_slots.capacity() * sizeof(uint32_t) + m_hashes.capacity() * sizeof(uint32_t);
}
