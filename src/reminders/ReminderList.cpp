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

void appendDay(std::string& out, int32_t day, OfficialRule official) {
    if (day == 0) {
        out += "每天 ";
    } else if (isWeekly(day) && official != OfficialRule::None) {
        out += officialRuleText(official);
    } else if (isWeekly(day)) {
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
    appendDay(line, item.day, item.official);
}

} // namespace

void PackedLines::reserve(size_t lines, size_t bytes) {
    m_ends.reserve(lines);
    m_text.reserve(bytes);
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
    if (item.acknowledged > 0)
        dismissals.push_back({count(), item.acknowledged, item.snoozedUntil});
}

std::string listLine(const ReminderItem& item) {
    std::string line;
    appendListLine(line, item);
    return line;
}

void appendListLine(std::string& line, const ReminderItem& item) {
    appendDate(line, item);
    appendNumber(line, item.hour, "时");
    appendNumber(line, item.min, "分");
    appendDigits(line, item.mindMethod);
    line += " 方式，";
    for (const std::string& rule : {intervalText(item), dayWarningsText(item.warnings)}) {
        if (!rule.empty())
            line += rule + "，";
    }
    line += "提醒为：";
    appendVisibleText(line, item.message);
}

} // namespace kelvo
