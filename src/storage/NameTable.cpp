#include "storage/NameTable.h"

#include <algorithm>

namespace kelvo {

uint32_t caseInsensitiveHash(std::string_view s) {
    uint32_t h = 2166136261u; // FNV-1a
    for (char c : s)
        h = (h ^ static_cast<unsigned char>(asciiLower(c))) * 16777619u;
    return h;
}

void NameTable::reserve(size_t count) {
    size_t size = 16;
    while (size < count * 2)
        size *= 2;
    if (size > m_slots.size())
        rehash(size);
}

void NameTable::grow() {
    rehash(std::max<size_t>(16, m_slots.size() * 2));
}

void NameTable::rehash(size_t size) {
    std::vector<Slot> old(size);
    old.swap(m_slots);
    for (const Slot& slot : old) {
        if (slot.number == kEmpty)
            continue;
        size_t i = slot.hash & mask();
        while (m_slots[i].number != kEmpty)
            i = (i + 1) & mask();
        m_slots[i] = slot;
    }
}

} // namespace kelvo
