#pragma once

#include "reminders/ReminderItem.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// What the reminder rules need of one item; the message and sound are read
// from the file only when the item fires.
struct ItemSchedule {
    int32_t year = 2000, month = 1, day = 1, hour = 1, min = 1;
    int32_t rdBefore = 0, mindMethod = 0;
    LunarRepeat lunar = {}; // active: year, month and day are its first occurrence
    // The item's content (its rules and message) as a number: what fired
    // for it in an earlier run is found again by it.
    uint64_t key = 0;
};

ItemSchedule scheduleOf(const ReminderItem& item);

// The date match: whether the item falls on `date`, whose lunar date is
// `lunar` (converted once for a check over all items). A lunar repetition
// falls from its first occurrence on, within the lunar calendar's range.
bool fallsOn(const ItemSchedule& item, const Date& date, const TLunarDate& lunar);

// Lines of text packed into one buffer: ten thousand lines cost their
// bytes and an offset each, not an allocation each.
class PackedLines {
public:
    size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    std::string_view operator[](size_t i) const {
        const size_t begin = i == 0 ? 0 : m_ends[i - 1];
        return std::string_view(m_text).substr(begin, m_ends[i] - begin);
    }
    std::string_view back() const { return (*this)[size() - 1]; }
    void reserve(size_t lines, size_t bytes);
    // The buffer to append the next line's text to; end the line with endLine().
    std::string& text() { return m_text; }
    void endLine() { m_ends.push_back(m_text.size()); }

private:
    std::string m_text;
    std::vector<size_t> m_ends;
};

// The in-memory copy of the reminders and the main window's list lines:
// items[k - 1] and lines[k - 1] belong to item k.
struct ReminderList {
    std::vector<ItemSchedule> items;
    PackedLines lines;
    int32_t count() const { return static_cast<int32_t>(items.size()); }
    // Room for n items, so that a load allocates once.
    void reserve(int32_t n);
    // Appends the item as number count() + 1: its schedule and its line.
    void append(const ReminderItem& item);
};

// The list line of an item, e.g. "2005 年 10 月 1 日 8 时 30 分 0 方式，提醒为：开会";
// the message as visibleText() shows it.
std::string listLine(const ReminderItem& item);
// The same, appended to `out`.
void appendListLine(std::string& out, const ReminderItem& item);

} // namespace kelvo
