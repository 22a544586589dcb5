#include "editors/ItemInput.h"

#include "reminders/Schedule.h"

#include <algorithm>

namespace kelvo {
namespace {

bool inRange(int32_t value, int32_t lower, int32_t upper) {
    return value >= lower && value <= upper;
}

// The date and time fields, each skipped when its repetition box replaces
// it. The day is checked while the week box is ticked too, and is not
// compared with the length of the month.
bool dateTimeInRange(const ItemInput& in) {
    const bool gregorian = !in.lunar;
    return ((gregorian && in.everyYear) || inRange(in.year, 2000, 3000)) &&
           ((gregorian && in.everyMonth) || inRange(in.month, 1, 12)) &&
           ((gregorian && in.everyDay) || inRange(in.day, 1, 31)) && inRange(in.hour, 0, 23) &&
           inRange(in.min, 0, 59);
}

// A lunar repetition starts on a day that exists, within the lunar calendar.
std::string_view lunarError(const ItemInput& in) {
    if (in.day > daysInMonth(in.year, in.month))
        return "按农历重复时，日期必须是公历中存在的一天！";
    const Date first{in.year, in.month, in.day};
    if (first < kFirstLunarSolarDate || first > kLastLunarSolarDate)
        return "按农历重复的首次日期必须在1901年2月19日到2100年2月8日之间！";
    return {};
}

bool anyWeekday(const std::array<bool, 7>& days) {
    for (bool d : days) {
        if (d)
            return true;
    }
    return false;
}

std::string_view intervalError(const ItemInput& in) {
    if (!inRange(in.intervalEvery, IntervalRule::kLeast, IntervalRule::kMost))
        return "间隔提醒的间隔必须在5到720分钟之间！";
    if (!inRange(in.intervalEndHour, 0, 23) || !inRange(in.intervalEndMin, 0, 59) ||
        in.intervalEndHour * 60 + in.intervalEndMin <= in.hour * 60 + in.min)
        return "间隔提醒的结束时间必须晚于开始时间，并且在同一天之内！";
    return {};
}

std::string_view dayWarningError(const ItemInput& in) {
    for (const int32_t days : in.warnDays) {
        if (!inRange(days, 1, DayWarnings::kMostDays))
            return "提前提醒的天数必须在1到30之间！";
    }
    if (in.warnDays.size() > DayWarnings::kMost)
        return "提前天数最多可以设置5个！";
    if (in.warnOwnTime && (!inRange(in.warnHour, 0, 23) || !inRange(in.warnMin, 0, 59)))
        return "提前几天提醒的时间必须在00:00到23:59之间！";
    return {};
}

} // namespace

std::string_view inputError(const ItemInput& in) {
    if (firesAtStart(in.mindMethod) && in.message == kShutdownMarker)
        return "开机提醒时不能设置为自动关机！";
    if (!dateTimeInRange(in))
        return "输入数据错误，请检查输入！";
    if (in.message.empty())
        return "请输入提醒内容！";
    if (!inRange(in.rdBefore, 0, 30))
        return "输入的提前提醒时间必须在0到30之间，0为不提前提醒！";
    if (in.everyWeek && !in.lunar && in.official == OfficialRule::None && !anyWeekday(in.weekdays))
        return "请选择星期中的一天！";
    if (const auto e = in.interval ? intervalError(in) : std::string_view(); !e.empty())
        return e;
    if (const auto e = dayWarningError(in); !e.empty())
        return e;
    if (in.lunar)
        return lunarError(in);
    return {};
}

ReminderItem itemFromInput(const ItemInput& in) {
    ReminderItem item;
    item.year = in.everyYear ? 0 : in.year;
    item.month = in.everyMonth ? 0 : in.month;
    item.day = in.everyDay ? 0 : in.everyWeek ? weekdayCode(in.weekdays) : in.day;
    item.hour = in.hour;
    item.min = in.min;
    item.rdBefore = in.rdBefore;
    item.mindMethod = in.mindMethod;
    item.message = in.message;
    item.music = in.withMusic ? in.music : std::string();
    if (in.everyWeek && !in.everyDay && in.official != OfficialRule::None) {
        item.day = storedWeekdayCode(in.official);
        item.official = in.official;
    }
    if (in.lunar) {
        item.year = in.year;
        item.month = in.month;
        item.day = in.day;
        item.official = OfficialRule::None;
        item.lunar = lunarRepeatOn(Date{in.year, in.month, in.day}, in.lunarCycle, in.keptLunar);
    }
    if (in.interval)
        item.interval = intervalRule(in.intervalEvery, in.intervalEndHour * 60 + in.intervalEndMin);
    item.warnings = dayWarnings(in.warnDays, in.warnOwnTime ? in.warnHour * 60 + in.warnMin : -1);
    return item;
}

ItemInput inputFromItem(const ReminderItem& item) {
    ItemInput in;
    in.everyYear = item.year == 0;
    in.everyMonth = item.month == 0;
    in.everyDay = item.day == 0;
    in.everyWeek = isWeekly(item.day);
    for (size_t i = 0; i < in.weekdays.size(); ++i)
        in.weekdays[i] = in.everyWeek && weekdayChosen(item.day, i);
    in.official = in.everyWeek && !item.lunar.active() ? item.official : OfficialRule::None;
    if (!in.everyYear)
        in.year = std::clamp(item.year, 2000, 3000);
    if (!in.everyMonth)
        in.month = std::clamp(item.month, 1, 12);
    if (!in.everyDay && !in.everyWeek)
        in.day = std::clamp(item.day, 1, 31);
    in.hour = std::clamp(item.hour, 0, 23);
    in.min = std::clamp(item.min, 0, 59);
    in.rdBefore = item.rdBefore;
    in.mindMethod =
        item.mindMethod >= 0 && item.mindMethod <= 3 ? item.mindMethod : ItemInput::kNoMindMethod;
    in.message = item.message;
    in.withMusic = !item.music.empty();
    in.music = item.music;
    in.lunar = item.lunar.active();
    if (in.lunar) {
        in.lunarCycle = item.lunar.cycle;
        in.keptLunar = item.lunar;
    }
    in.interval = item.interval.active();
    if (in.interval) {
        in.intervalEvery = item.interval.every;
        in.intervalEndHour = item.interval.end / 60;
        in.intervalEndMin = item.interval.end % 60;
    }
    for (const uint8_t days : item.warnings.days) {
        if (days != 0)
            in.warnDays.push_back(days);
    }
    in.warnOwnTime = item.warnings.minute >= 0;
    if (in.warnOwnTime) {
        in.warnHour = item.warnings.minute / 60;
        in.warnMin = item.warnings.minute % 60;
    }
    return in;
}

namespace {

// A fixed day of a fixed month that no year has (30 February), or that the
// year given has not (31 April, 29 February of 2027).
bool dateNeverExists(const ReminderItem& item) {
    if (item.lunar.active() || item.month < 1 || item.month > 12 || item.day < 1 || item.day > 31)
        return false;
    const int year = item.year == 0 ? 2000 : item.year; // a leap year: every day there is
    return item.day > daysInMonth(year, item.month);
}

} // namespace

std::string firingWarning(const ReminderItem& item, const DateTime& now) {
    if (dateNeverExists(item))
        return "这个日期不存在，永远不会提醒。";
    const ItemSchedule schedule = scheduleOf(item);
    const bool fires = firesFrom(schedule, now);
    const auto last = lastRepeatedDay(schedule);
    if (fires && !last)
        return {};
    std::string text = fires ? "" : "这个提醒的时间已经过去，以后不会再提醒。";
    if (last) {
        text += item.month == 0 ? "没有勾选“每年”" : "没有勾选“每年”和“每月”";
        text += "，它只重复到" + std::to_string(last->year) + "年" + std::to_string(last->month) +
                "月" + std::to_string(last->day) + "日。";
    }
    return text;
}

ReminderItem editedItem(const ItemInput& input, int32_t storedMindMethod) {
    ReminderItem item = itemFromInput(input);
    if (item.mindMethod == ItemInput::kNoMindMethod)
        item.mindMethod = storedMindMethod;
    return item;
}

} // namespace kelvo
