#pragma once

#include "reminders/Schedule.h"

#include <cstdint>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

namespace kelvo {

// One occasion that fired: which item (its identity in this run, and the key
// of its content, which finds it again in a later run), the local minute
// number of the occasion and the real time it fired at.
struct FiredOccasion {
    uint32_t id = 0;  // 0: not yet bound to an item of this run
    uint64_t key = 0; // ItemSchedule::key
    int64_t minute = 0;
    FiringKind kind = FiringKind::SetTime;
    int64_t firedAt = 0; // seconds since 1970-01-01 00:00 UTC
    bool operator==(const FiredOccasion&) const = default;
};

// The occasions fired in the last days, so that a clock set back (or a
// restart after one) checks its minutes again without firing anything twice.
class FiredOccasions {
public:
    // How far back a set clock may reach and still find what fired.
    static constexpr int64_t kKeepSeconds = 7 * 24 * 3600;

    bool contains(uint32_t id, int64_t minute, FiringKind kind) const;
    void add(const FiredOccasion& fired);
    // Forgets what fired more than kKeepSeconds before `nowUtc`.
    void prune(int64_t nowUtc);
    // Takes over occasions read from the file, not yet bound to an item.
    void load(std::vector<FiredOccasion> entries);
    // Binds each unbound occasion to the first item with its key (ids[i]
    // and keys[i] belong to one item) that has no such occasion yet;
    // occasions of items that are gone stay unbound and are not matched.
    void bind(const std::vector<uint32_t>& ids, const std::vector<uint64_t>& keys);
    const std::vector<FiredOccasion>& entries() const { return m_entries; }

private:
    using Slot = std::tuple<uint32_t, int64_t, FiringKind>;
    void reindex();

    std::vector<FiredOccasion> m_entries;
    std::set<Slot> m_bound; // the bound entries' (id, minute, kind)
    std::optional<int64_t> m_prunedAt;
};

} // namespace kelvo
