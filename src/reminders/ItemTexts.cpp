#include "reminders/ItemTexts.h"

#include "core/VisibleText.h"
#include "lunar/LunarNames.h"
#include "reminders/HolidayText.h"
#include "reminders/Schedule.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace kelvo {
namespace {

// Weekday characters in the order of the weekday bits, Monday first.
constexpr std::array<std::string_view, 7> kWeekdayChars = {"一", "二", "三", "四",
                                                           "五", "六", "日"};
constexpr std::array<std::string_view, 4> kMindMethods = {"精确提醒", "整点提醒", "开机提醒",
                                                          "开机整点"};

std::string numberOr(int32_t value, std::string_view wildcard) {
    return value == 0 ? std::string(wildcard) : std::to_string(value);
}

std::string dayText(int32_t day, OfficialRule official) {
    if (day <= 31)
        return numberOr(day, "每天");
    if (official != OfficialRule::None)
        return std::string(officialRuleText(official));
    std::string text;
    appendWeekdays(text, day);
    return text;
}

std::string lunarText(const ReminderItem& item) {
    if (item.lunar.active())
        return lunarRepeatText(item.lunar);
    if (item.month < 1 || item.month > 12 || item.day < 1 ||
        item.day > daysInMonth(item.year, item.month))
        return {};
    return lunarDateName(SolarToLunar(Date{item.year, item.month, item.day}));
}

std::string clockText(int32_t minuteOfDay) {
    char text[8];
    const auto n =
        std::snprintf(text, sizeof text, "%02d:%02d", minuteOfDay / 60 % 100, minuteOfDay % 60);
    return std::string(text, static_cast<size_t>(n));
}

} // namespace

std::string intervalText(const ReminderItem& item) {
    if (!item.interval.active())
        return {};
    return "每隔 " + std::to_string(item.interval.every) + " 分钟，从 " +
           clockText(item.hour * 60 + item.min) + " 到 " + clockText(item.interval.end);
}

std::string dayWarningsText(const DayWarnings& warnings) {
    if (!warnings.any())
        return {};
    std::string text = "提前 ";
    for (size_t i = 0; i < warnings.days.size() && warnings.days[i] != 0; ++i) {
        if (i > 0)
            text += "、";
        text += std::to_string(warnings.days[i]) + " 天";
    }
    if (warnings.minute >= 0)
        text += " " + clockText(warnings.minute);
    return text;
}

void appendWeekdays(std::string& out, int32_t code) {
    out += "周";
    for (size_t i = 0; i < kWeekdayChars.size(); ++i) {
        if (weekdayChosen(code, i))
            out += kWeekdayChars[i];
    }
}

std::string_view officialRuleText(OfficialRule rule) {
    return rule == OfficialRule::Workdays  ? "法定工作日"
           : rule == OfficialRule::DaysOff ? "法定节假日"
                                           : "";
}

std::string missingYearText(int32_t year, OfficialRule rule) {
    return std::to_string(year) + "年的节假日安排还没有导入，" +
           (rule == OfficialRule::DaysOff ? "这一年将不提醒" : "将按周一至周五提醒");
}

std::optional<std::string> missingYearNotice(const std::vector<ItemSchedule>& items,
                                             const Date& today) {
    for (const ItemSchedule& item : items) {
        const std::vector<int32_t> years = yearsWithoutArrangement(item, today);
        if (std::find(years.begin(), years.end(), today.year) != years.end())
            return missingYearText(today.year, item.official);
    }
    return std::nullopt;
}

std::string_view officialDayMarkOf(const Date& day) {
    return officialDayMark(holidayCalendar().dayOf(day));
}

std::optional<std::string_view> mindMethodCaption(int32_t mindMethod) {
    if (mindMethod < 0 || mindMethod >= static_cast<int32_t>(kMindMethods.size()))
        return std::nullopt;
    return kMindMethods[static_cast<size_t>(mindMethod)];
}

ViewTexts viewTexts(const ReminderItem& item) {
    ViewTexts t;
    t.year = numberOr(item.year, "每年");
    t.month = numberOr(item.month, "每月");
    t.day = dayText(item.day, item.official);
    t.hour = std::to_string(item.hour);
    t.min = std::to_string(item.min);
    t.reminded = item.reminded ? "已提醒" : "未提醒";
    if (const auto caption = mindMethodCaption(item.mindMethod))
        t.mindMethod = std::string(*caption);
    t.message = item.message;
    t.music = item.music.empty() ? "系统音乐" : "已经设置";
    t.lunar = lunarText(item);
    t.rules = intervalText(item);
    if (const std::string warnings = dayWarningsText(item.warnings); !warnings.empty())
        t.rules += (t.rules.empty() ? "" : "；") + warnings;
    return t;
}

namespace {

std::string dayText(const Date& day, bool withYear) {
    char text[32];
    const auto n =
        withYear ? std::snprintf(text, sizeof text, "%d年%d月%d日", day.year, day.month, day.day)
                 : std::snprintf(text, sizeof text, "%d月%d日", day.month, day.day);
    return std::string(text, static_cast<size_t>(n));
}

std::string dayAndTime(const DateTime& at, bool withYear) {
    char time[16];
    const auto n = std::snprintf(time, sizeof time, " %02d:%02d", at.hour, at.minute);
    return dayText(at.date, withYear) + std::string(time, static_cast<size_t>(n));
}

} // namespace

std::string nextFiringText(const DateTime& at) {
    return "下次提醒：" + dayAndTime(at, true);
}

std::string pauseNote(const ItemSchedule& item, const DateTime& now) {
    const int64_t minute = minuteNumber(DateTime{now.date, now.hour, now.minute, 0});
    if (item.notBefore <= minute || item.dismissed)
        return {};
    if (item.notBefore % (24 * 60) != 0) {
        // A skip; nothing kept back once the item's time was changed since.
        const auto skipped = skippedOccurrence(item);
        if (!skipped || minuteNumber(*skipped) < minute)
            return {};
        return "（跳过 " + dayAndTime(*skipped, skipped->date.year != now.date.year) + "）";
    }
    const Date day = fromMinuteNumber(item.notBefore).date;
    return "（已暂停到 " + dayText(day, day.year != now.date.year) + "）";
}

std::string nextOfAllText(const DateTime& at, const Date& today, std::string_view message) {
    std::string text = "下一个提醒：" + dayAndTime(at, at.date.year != today.year) + " ";
    appendVisibleText(text, message);
    return text;
}

} // namespace kelvo
