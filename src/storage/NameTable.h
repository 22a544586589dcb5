#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kelvo {

// Hash and equality of names that ignore ASCII letter case.
uint32_t caseInsensitiveHash(std::string_view s);

inline char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool caseInsensitiveEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

// An index from names (ASCII case ignored) to record numbers. The names live
// in the caller's records; `nameOf(number)` returns the name of a record.
// Open addressing keeps it one flat array, cheap to build and to drop.
class NameTable {
public:
    bool empty() const { return m_used == 0; }
    void clear() {
        m_slots.clear();
        m_used = 0;
    }
    // Makes room for `count` names without growing on the way.
    void reserve(size_t count);

    template <typename NameOf>
    std::optional<uint32_t> find(std::string_view name, NameOf nameOf) const {
        if (m_slots.empty())
            return std::nullopt;
        const uint32_t hash = caseInsensitiveHash(name);
        for (size_t i = hash & mask();; i = (i + 1) & mask()) {
            const Slot& slot = m_slots[i];
            if (slot.number == kEmpty)
                return std::nullopt;
            if (slot.hash == hash && caseInsensitiveEqual(nameOf(slot.number), name))
                return slot.number;
        }
    }

    // Adds the record unless one of an equal name is there: the first wins.
    // Returns whether it was added.
    template <typename NameOf> bool insert(std::string_view name, uint32_t number, NameOf nameOf) {
        if ((m_used + 1) * 2 > m_slots.size())
            grow();
        const uint32_t hash = caseInsensitiveHash(name);
        size_t i = hash & mask();
        for (; m_slots[i].number != kEmpty; i = (i + 1) & mask()) {
            if (m_slots[i].hash == hash && caseInsensitiveEqual(nameOf(m_slots[i].number), name))
                return false;
        }
        m_slots[i] = Slot{hash, number};
        ++m_used;
        return true;
    }

private:
    static constexpr uint32_t kEmpty = UINT32_MAX;
    struct Slot {
        uint32_t hash = 0;
        uint32_t number = kEmpty;
    };

    size_t mask() const { return m_slots.size() - 1; }
    void grow();
    void rehash(size_t size);

    std::vector<Slot> m_slots; // a power of two in size, at most half used
    size_t m_used = 0;
};

} // namespace kelvo
