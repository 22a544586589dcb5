#include "ical/CalendarMapping.h"

#include "reminders/CommandTag.h"
#include "reminders/Schedule.h"

namespace kelvo {
namespace {

bool validTime(const ReminderItem& item) {
    return item.hour >= 0 && item.hour <= 23 && item.min >= 0 && item.min <= 59;
}

// The day DTSTART names: a lunar repetition's stored first occurrence, a
// single day itself, a repetition's first day from today (from its year's
// first day when it is bound to another year).
std::optional<Date> startDay(const ItemSchedule& item, const Date& today) {
    if (item.lunar.active())
        return Date{item.year, item.month, item.day};
    const Date from = item.year != 0 && item.year != today.year ? Date{item.year, 1, 1} : today;
    return nextDay(item, repeats(item) ? from : Date{item.year, item.month, item.day});
}

std::vector<int32_t> chosenWeekdays(int32_t code) {
    std::vector<int32_t> days;
    for (size_t i = 0; i < 7; ++i) {
        if (weekdayChosen(code, i))
            days.push_back(static_cast<int32_t>(i));
    }
    return days;
}

CalendarRule lunarRule(const LunarRepeat& lunar) {
    CalendarRule rule;
    rule.rscale = "CHINESE";
    rule.skipBackward = true;
    rule.byMonthDay = {lunar.day};
    if (lunar.cycle == LunarRepeat::kYearly) {
        rule.freq = CalendarRule::Freq::Yearly;
        rule.byMonth = {lunar.month};
        rule.leapMonth = lunar.leap;
    } else {
        rule.freq = CalendarRule::Freq::Monthly;
    }
    return rule;
}

// A lunar repetition also lists the days Kelvo's own calendar gives, up to
// the calendar's end: readers without a Chinese calendar see those, and
// readers whose calendar differs on a day keep Kelvo's (the module adds
// EXDATEs for the days their rule gives beyond these).
void addLunarDates(CalendarEvent& event, const ReminderItem& item) {
    const DateTime& start = *event.start;
    CalendarRule rule = lunarRule(item.lunar);
    const ItemSchedule schedule = scheduleOf(item);
    for (auto day = nextDay(schedule, start.date); day; day = nextDay(schedule, addDays(*day, 1)))
        event.rdates.push_back(DateTime{*day, start.hour, start.minute, 0});
    if (!event.rdates.empty())
        rule.until = DateTime{event.rdates.back().date, 23, 59, 59};
    event.rules.push_back(rule);
}

// The RRULE of a Gregorian reminder; nullopt for one that falls on one day.
std::optional<CalendarRule> gregorianRule(const ReminderItem& item) {
    using Freq = CalendarRule::Freq;
    CalendarRule rule;
    if (isWeekly(item.day)) {
        rule.freq = Freq::Weekly;
        rule.byDay = chosenWeekdays(item.day);
    } else if (item.day == 0) {
        rule.freq = Freq::Daily;
    } else if (item.month == 0) {
        rule.freq = Freq::Monthly;
        rule.byMonthDay = {item.day};
    } else if (item.year == 0) {
        rule.freq = Freq::Yearly;
        rule.byMonthDay = {item.day};
    } else {
        return std::nullopt;
    }
    if (item.month != 0)
        rule.byMonth = {item.month};
    if (item.year != 0) {
        const auto last = lastRepeatedDay(scheduleOf(item));
        rule.until = DateTime{last.value_or(Date{item.year, 12, 31}), item.hour, item.min, 0};
    }
    return rule;
}

void addProperties(CalendarEvent& event, const ReminderItem& item) {
    event.properties.emplace_back(icalprops::MindMethod, std::to_string(item.mindMethod));
    if (!item.music.empty())
        event.properties.emplace_back(icalprops::Music, item.music);
    if (item.message == kShutdownMarker)
        event.properties.emplace_back(icalprops::Shutdown, "1");
    if (const auto command = extractCommand(item.message))
        event.properties.emplace_back(icalprops::Command, command->command);
}

} // namespace

std::optional<CalendarEvent> eventOf(const ReminderItem& item, std::string uid, const Date& today) {
    if (!validTime(item))
        return std::nullopt;
    const auto day = startDay(scheduleOf(item), today);
    if (!day)
        return std::nullopt;
    CalendarEvent event;
    event.uid = std::move(uid);
    event.start = DateTime{*day, item.hour, item.min, 0};
    event.summary = item.message;
    if (item.lunar.active())
        addLunarDates(event, item);
    else if (auto rule = gregorianRule(item))
        event.rules.push_back(*rule);
    if (item.rdBefore > 0)
        event.alarmsBefore.push_back(item.rdBefore);
    event.alarmsBefore.push_back(0);
    addProperties(event, item);
    return event;
}

std::string_view skipReasonText(SkipReason reason) {
    constexpr std::string_view texts[] = {
        "没有开始时间",           "有无法读懂的内容", "重复间隔大于 1",
        "限定了重复次数",         "按位置挑选日期",   "有例外的日期",
        "在一天中的其他时刻重复", "重复方式无法表示", "重复开始得比提醒晚",
        "所有日期都已过去",       "已经导入过"};
    return texts[static_cast<int>(reason)];
}

std::string_view skipReasonEnglish(SkipReason reason) {
    constexpr std::string_view texts[] = {"no DTSTART",
                                          "a property that cannot be read",
                                          "repeats with INTERVAL > 1",
                                          "repeats with COUNT",
                                          "repeats with BYSETPOS",
                                          "has EXDATE",
                                          "repeats at other times of the day",
                                          "a repetition a reminder cannot express",
                                          "its repetition starts later than a reminder's would",
                                          "every occurrence lies in the past",
                                          "already imported (same UID)"};
    return texts[static_cast<int>(reason)];
}

} // namespace kelvo
