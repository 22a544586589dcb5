#include "reminders/FiredOccasions.h"

#include <algorithm>
#include <unordered_map>

namespace kelvo {

bool FiredOccasions::contains(uint32_t id, int64_t minute, FiringKind kind) const {
    return id != 0 && m_bound.contains(Slot{id, minute, kind});
}

void FiredOccasions::add(const FiredOccasion& fired) {
    m_entries.push_back(fired);
    if (fired.id != 0)
        m_bound.insert(Slot{fired.id, fired.minute, fired.kind});
}

// What fired at a later real time than now (the clock was set back) is kept:
// it is what a set-back must not fire again. Looked at once an hour.
void FiredOccasions::prune(int64_t nowUtc) {
    if (m_prunedAt && nowUtc >= *m_prunedAt && nowUtc - *m_prunedAt < 3600)
        return;
    m_prunedAt = nowUtc;
    const size_t before = m_entries.size();
    std::erase_if(m_entries,
                  [nowUtc](const FiredOccasion& f) { return f.firedAt < nowUtc - kKeepSeconds; });
    if (m_entries.size() != before)
        reindex();
}

void FiredOccasions::reindex() {
    m_bound.clear();
    for (const FiredOccasion& f : m_entries) {
        if (f.id != 0)
            m_bound.insert(Slot{f.id, f.minute, f.kind});
    }
}

void FiredOccasions::load(std::vector<FiredOccasion> entries) {
    for (FiredOccasion& f : entries)
        f.id = 0;
    m_entries.insert(m_entries.end(), entries.begin(), entries.end());
}

void FiredOccasions::bind(const std::vector<uint32_t>& ids, const std::vector<uint64_t>& keys) {
    std::unordered_multimap<uint64_t, uint32_t> byKey;
    for (size_t i = 0; i < ids.size() && i < keys.size(); ++i)
        byKey.emplace(keys[i], ids[i]);
    for (FiredOccasion& f : m_entries) {
        if (f.id != 0)
            continue;
        const auto [first, last] = byKey.equal_range(f.key);
        for (auto it = first; it != last; ++it) {
            if (!contains(it->second, f.minute, f.kind)) {
                f.id = it->second;
                m_bound.insert(Slot{f.id, f.minute, f.kind});
                break;
            }
        }
    }
}

} // namespace kelvo
