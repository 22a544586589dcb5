#pragma once

#include "reminders/ReminderItem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// Appends "周" followed by the character of every weekday whose bit is set
// in the code, Monday first ("周一三日"); "周" alone when no bit is set.
void appendWeekdays(std::string& out, int32_t code);

// "法定工作日" or "法定节假日", the list's and the view's text for the day of an
// item with that rule; empty for None.
std::string_view officialRuleText(OfficialRule rule);
// What the user is told of a year whose holiday arrangement is not known:
// "2027年的节假日安排还没有导入，将按周一至周五提醒" (for the days off: "…，这一年将不提醒").
std::string missingYearText(int32_t year, OfficialRule rule);

struct ItemSchedule;
// What the tray tells once in a year whose arrangement is not known, when
// a reminder with an official rule falls back in it (missingYearText of the
// first); nullopt when nothing is to be told.
std::optional<std::string> missingYearNotice(const std::vector<ItemSchedule>& items,
                                             const Date& today);
// "休" or "班" for an official day off or worked day, else empty.
std::string_view officialDayMarkOf(const Date& day);

// The caption of a mind method 0 … 3 ("精确提醒" …); nullopt for any other.
std::optional<std::string_view> mindMethodCaption(int32_t mindMethod);

// "每隔 45 分钟，从 09:00 到 18:00" for an interval reminder; empty for any
// other.
std::string intervalText(const ReminderItem& item);
// "提前 7 天、1 天", with " 08:00" when they have a time of their own; empty
// without warnings days ahead.
std::string dayWarningsText(const DayWarnings& warnings);

// A reminder's next firing: "下次提醒：2026年12月10日 09:00".
std::string nextFiringText(const DateTime& at);
// The next firing of all reminders, for the tray: "下一个提醒：12月10日 09:00
// 开会", with the year when it is not `today`'s; the message as visibleText()
// shows it.
std::string nextOfAllText(const DateTime& at, const Date& today, std::string_view message);

struct ItemSchedule;
// What the list line adds while an item's not-before moment lies after the
// minute `now`: "（已暂停到 12月20日）", "（跳过 12月10日 09:00）" (the year too
// when it is not now's); empty otherwise, and for a moment that a dismissal
// set.
std::string pauseNote(const ItemSchedule& item, const DateTime& now);

// The texts of the view dialog's fields for one item.
struct ViewTexts {
    std::string year;  // "每年" or the number
    std::string month; // "每月" or the number
    std::string day;   // "每天", the number, or the weekday text
    std::string hour;
    std::string min;
    std::string reminded;                  // "未提醒" / "已提醒"
    std::optional<std::string> mindMethod; // nullopt: the field keeps its text
    std::string message;
    std::string music; // "系统音乐" / "已经设置"; never the path
    // "农历每年 八月 十五" for a lunar repetition, else the lunar date of a
    // fixed date ("农历十月廿九"); empty when there is none.
    std::string lunar;
    // intervalText() and dayWarningsText(), joined by "；"; empty for a plain item.
    std::string rules;
};
ViewTexts viewTexts(const ReminderItem& item);

} // namespace kelvo
