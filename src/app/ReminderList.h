#pragma once

#include "storage/DataFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

class TIniFile;

// What the reminder rules need of one item; the message and sound are read
// from the file only when the item fires.
struct ItemSchedule {
    int32_t year = 2000, month = 1, day = 1, hour = 1, min = 1;
    int32_t rdBefore = 0, mindMethod = 0;
};

// The in-memory copy of the reminders and the main window's list lines:
// items[k - 1] and lines[k - 1] belong to item k.
struct ReminderList {
    std::vector<ItemSchedule> items;
    std::vector<std::string> lines;
    int32_t count() const { return static_cast<int32_t>(items.size()); }
};

// Reads every item of the data file (list defaults for missing keys).
ReminderList loadReminderList(const TIniFile& data);

// The list line of an item, e.g. "2005 年 10 月 1 日 8 时 30 分 0 方式，提醒为：开会".
std::string listLine(const ReminderItem& item);

} // namespace kelvo
