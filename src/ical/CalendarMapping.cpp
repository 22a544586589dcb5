#include "ical/CalendarMapping.h"

#include "reminders/CommandTag.h"
#include "reminders/Holidays.h"
#include "reminders/Schedule.h"

#include <algorithm>
#include <cstdio>
#include <string>

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

// Every day the item falls on after DTSTART, as RDATEs, to its last one.
void addListedDays(CalendarEvent& event, const ReminderItem& item) {
    const DateTime& start = *event.start;
    const ItemSchedule schedule = scheduleOf(item);
    for (auto day = nextDay(schedule, addDays(start.date, 1)); day;
         day = nextDay(schedule, addDays(*day, 1)))
        event.rdates.push_back(DateTime{*day, start.hour, start.minute, 0});
}

// A lunar repetition lists the days Kelvo's own calendar gives it after
// DTSTART, up to the calendar's end; the module writes its rule in a
// property of Kelvo's own (icalprops::Lunar), so that a reader without a
// Chinese calendar, or with one that differs on a day, sees exactly these
// days.
void addLunarDates(CalendarEvent& event, const ReminderItem& item) {
    addListedDays(event, item);
    event.rules.push_back(lunarRule(item.lunar));
}

// The known days on which the official workdays differ from Monday to
// Friday, from DTSTART on: the days off as EXDATEs, the worked weekend days
// as RDATEs of the weekly rule. Past the known years both are the same.
void addOfficialExceptions(CalendarEvent& event, const ReminderItem& item) {
    const DateTime& start = *event.start;
    const ItemSchedule official = scheduleOf(item);
    ItemSchedule weekly = official;
    weekly.official = OfficialRule::None;
    for (const auto& [year, arrangement] : holidayCalendar().years()) {
        for (const ArrangedDay& d : arrangement.days) {
            if (d.date <= start.date)
                continue;
            const bool byRule = fallsOn(weekly, d.date), really = fallsOn(official, d.date);
            if (byRule != really)
                (really ? event.rdates : event.exdates)
                    .push_back(DateTime{d.date, start.hour, start.minute, 0});
        }
    }
    std::sort(event.rdates.begin(), event.rdates.end());
    std::sort(event.exdates.begin(), event.exdates.end());
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

bool followsOfficialDays(const ReminderItem& item) {
    return item.official != OfficialRule::None && isWeekly(item.day) && !item.lunar.active();
}

// The official days off are listed day by day (RDATE); the workdays are the
// weekly rule of Monday to Friday with the known exceptions.
void addOfficialDays(CalendarEvent& event, const ReminderItem& item) {
    if (item.official == OfficialRule::DaysOff) {
        addListedDays(event, item);
        return;
    }
    if (auto rule = gregorianRule(item))
        event.rules.push_back(*rule);
    addOfficialExceptions(event, item);
}

void addProperties(CalendarEvent& event, const ReminderItem& item) {
    event.properties.emplace_back(icalprops::MindMethod, std::to_string(item.mindMethod));
    if (followsOfficialDays(item))
        event.properties.emplace_back(icalprops::Official, item.official == OfficialRule::Workdays
                                                               ? icalprops::OfficialWorkdays
                                                               : icalprops::OfficialDaysOff);
    if (!item.music.empty())
        event.properties.emplace_back(icalprops::Music, item.music);
    if (item.message == kShutdownMarker)
        event.properties.emplace_back(icalprops::Shutdown, "1");
    if (const auto command = extractCommand(item.message))
        event.properties.emplace_back(icalprops::Command, command->command);
    if (item.interval.active()) {
        char end[8];
        std::snprintf(end, sizeof end, "%02d:%02d", item.interval.end / 60 % 100,
                      item.interval.end % 60);
        event.properties.emplace_back(icalprops::Interval,
                                      std::to_string(item.interval.every) + ";" + end);
    }
}

// One alarm per warning days ahead, the days before the start less the
// warnings' own time of day after the set time ("-P7D" at the set time).
void addDayAlarms(CalendarEvent& event, const ReminderItem& item) {
    const int32_t setMinute = item.hour * 60 + item.min;
    const int32_t at = item.warnings.minute >= 0 ? item.warnings.minute : setMinute;
    for (auto it = item.warnings.days.rbegin(); it != item.warnings.days.rend(); ++it) {
        if (*it != 0)
            event.alarmsBefore.push_back(*it * 1440 + setMinute - at);
    }
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
    else if (followsOfficialDays(item))
        addOfficialDays(event, item);
    else if (auto rule = gregorianRule(item))
        event.rules.push_back(*rule);
    addDayAlarms(event, item);
    if (item.rdBefore > 0)
        event.alarmsBefore.push_back(item.rdBefore);
    event.alarmsBefore.push_back(0);
    addProperties(event, item);
    return event;
}

std::string skipReasonText(SkipReason reason, std::string_view detail) {
    constexpr std::string_view texts[] = {"没有开始时间（DTSTART）",
                                          " 无法读懂",
                                          "DTSTART 的日期不存在（如 2 月 30 日）",
                                          "RRULE 的重复间隔大于 1（INTERVAL）",
                                          "RRULE 限定的重复次数（COUNT）无法表示",
                                          "RRULE 按位置挑选日期（BYSETPOS）",
                                          "今后有例外的日期（EXDATE）",
                                          "今后有改动过的日期（RECURRENCE-ID）",
                                          "RRULE 在一天中的其他时刻重复",
                                          "RRULE 的重复方式无法表示",
                                          "重复开始得比提醒晚（DTSTART）",
                                          "所有日期都已过去",
                                          "RRULE 的 UNTIL 早于 DTSTART，没有任何日期",
                                          "已取消（STATUS:CANCELLED）",
                                          "待办事项已完成（COMPLETED）",
                                          "待办事项没有到期时间（DUE）也没有闹钟",
                                          "TZID 是未知的时区：",
                                          "它所在的时区与本机的夏令时不同，提醒时间会变化",
                                          "已经导入过（同一 UID 或内容）"};
    const std::string text(texts[static_cast<int>(reason)]);
    if (reason == SkipReason::Damaged)
        return std::string(detail) + text;
    return reason == SkipReason::UnknownZone ? text + std::string(detail) : text;
}

} // namespace kelvo
