#include "reminders/ReminderList.h"

#include "core/VisibleText.h"
#include "reminders/ItemTexts.h"

#include <charconv>
#include <string>
#include <string_view>

namespace kelvo {

namespace {

void appendDigits(std::string& out, int32_t value) {
    char digits[12];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void appendNumber(std::string& out, int32_t value, std::string_view unit) {
    appendDigits(out, value);
    out += ' ';
    out += unit;
    out += ' ';
}

void appendDay(std::string& out, int32_t day) {
    if (day == 0) {
        out += "每天 ";
    } else if (day > 31) {
        appendWeekdays(out, day);
    } else {
        appendNumber(out, day, "日");
    }
}

void appendDate(std::string& line, const ReminderItem& item) {
    if (item.lunar.active()) {
        line += lunarRepeatText(item.lunar);
        line += ' ';
        return;
    }
    if (item.year == 0)
        line += "每年 ";
    else
        appendNumber(line, item.year, "年");
    if (item.month == 0)
        line += "每月 ";
    else
        appendNumber(line, item.month, "月");
    appendDay(line, item.day);
}

} // namespace

void PackedLines::reserve(size_t lines, size_t bytes) {
    m_ends.reserve(lines);
    m_text.reserve(bytes);
}

namespace {

// FNV-1a over the fields that decide when the item fires and what it says.
uint64_t contentKey(const ReminderItem& item) {
    uint64_t hash = 14695981039346656037ull;
    const auto mix = [&hash](std::string_view bytes) {
        for (const char c : bytes) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 1099511628211ull;
        }
        hash ^= 0xFF; // ends the field: "1" "23" differs from "12" "3"
        hash *= 1099511628211ull;
    };
    for (const int32_t v :
         {item.year, item.month, item.day, item.hour, item.min, item.rdBefore, item.mindMethod,
          item.lunar.cycle, item.lunar.month, item.lunar.day, int32_t{item.lunar.leap}})
        mix(std::to_string(v));
    mix(item.message);
    return hash;
}

} // namespace

ItemSchedule scheduleOf(const ReminderItem& item) {
    return ItemSchedule{item.year,     item.month,      item.day,   item.hour,       item.min,
                        item.rdBefore, item.mindMethod, item.lunar, contentKey(item)};
}

void ReminderList::reserve(int32_t n) {
    items.reserve(static_cast<size_t>(n));
    constexpr size_t kTypicalLineBytes = 80;
    lines.reserve(static_cast<size_t>(n), static_cast<size_t>(n) * kTypicalLineBytes);
}

void ReminderList::append(const ReminderItem& item) {
    items.push_back(scheduleOf(item));
    appendListLine(lines.text(), item);
    lines.endLine();
}

std::string listLine(const ReminderItem& item) {
    std::string line;
    appendListLine(line, item);
    return line;
}

bool fallsOn(const ItemSchedule& item, const Date& date, const TLunarDate& lunar) {
    if (!item.lunar.active())
        return matchesDate(item.year, item.month, item.day, date);
    const bool fromFirst = item.year == 0 || date >= Date{item.year, item.month, item.day};
    return fromFirst && lunarRepeatFalls(item.lunar, lunar);
}

void appendListLine(std::string& line, const ReminderItem& item) {
    appendDate(line, item);
    appendNumber(line, item.hour, "时");
    appendNumber(line, item.min, "分");
    appendDigits(line, item.mindMethod);
    line += " 方式，提醒为：";
    appendVisibleText(line, item.message);
}

} // namespace kelvo
