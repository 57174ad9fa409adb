#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The distinct texts of one result column, stored once each as UTF-8 in one block. A cell
// holds a 32-bit index into the pool, so a register that repeats a few hundred customer and
// product names over a million lines stores each name once.
class TextPool
{
public:
    TextPool();

    // Index of the text, adding it on first sight. While the pool de-duplicates, equal texts
    // always get the same index.
    uint32_t intern(std::string_view utf8);
    // For columns whose texts are nearly all different (ids, addresses): storing each text as
    // it comes is cheaper than looking every one up. Equal texts may then have two indices.
    void stopDeduplicating();
    [[nodiscard]] bool deduplicates() const { return m_deduplicate; }
    // Stops interning: frees the lookup table once the column is complete.
    void finish();

    [[nodiscard]] std::string_view view(uint32_t index) const
    {
        return std::string_view(m_bytes).substr(m_offsets[index],
                                                m_offsets[index + 1] - m_offsets[index]);
    }
    [[nodiscard]] QString string(uint32_t index) const
    {
        const std::string_view v = view(index);
        return QString::fromUtf8(v.data(), qsizetype(v.size()));
    }
    [[nodiscard]] uint32_t size() const { return uint32_t(m_offsets.size() - 1); }
    [[nodiscard]] size_t byteSize() const;

private:
    void grow();

    std::string m_bytes;
    std::vector<uint32_t> m_offsets; // size() + 1 entries
    std::vector<uint32_t> m_slots;   // open addressing; index + 1, 0 = empty
    std::vector<uint32_t> m_hashes;  // hash of each text, kept while interning
    bool m_deduplicate = true;
};
