#pragma once

#include "reminders/ReminderItem.h"
#include "reminders/Schedule.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

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

// The last dismissal of item k and the snooze it got (ReminderItem's
// acknowledged and snoozedUntil).
struct Dismissal {
    int32_t item = 0;
    int64_t at = 0, snoozedUntil = 0;
    bool operator==(const Dismissal&) const = default;
};

// The in-memory copy of the reminders and the main window's list lines:
// items[k - 1] and lines[k - 1] belong to item k.
struct ReminderList {
    std::vector<ItemSchedule> items;
    PackedLines lines;
    std::vector<Dismissal> dismissals; // of the items that have one, in order
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
