#pragma once

#include "reminders/ReminderItem.h"

#include <array>
#include <string>

namespace kelvo {

// The parts of a reminder that sync compares and merges one by one: a
// change to one on this computer and to another on the server are both
// kept.
enum class SyncField {
    Date,
    Time,
    Before,
    Method,
    Message,
    Music,
    Lunar,
    Official,
    Interval,
    Warnings
};
inline constexpr size_t kSyncFieldCount = 10;

// Each part as a short text (the texts hashed): what the last common
// version keeps of an item.
struct ItemFields {
    std::array<std::string, kSyncFieldCount> values;
    bool operator==(const ItemFields&) const = default;
};
ItemFields fieldsOf(const ReminderItem& item);

struct MergedItem {
    ReminderItem item;
    bool conflict = false; // a part changed on both sides differently: the server's is kept
};
// The three-way merge of a reminder changed here (`local`) and on the
// server (`remote`) since their last common version `base`: each part is
// the side's that changed it; where both changed one differently, the
// server's.
MergedItem mergeItems(const ItemFields& base, const ReminderItem& local,
                      const ReminderItem& remote);

// 16 hexadecimal digits of the text's FNV-1a hash.
std::string textHash(const std::string& text);

// The text a conflict copy's message gets.
inline constexpr std::string_view kConflictMark = "（冲突副本）";

} // namespace kelvo
