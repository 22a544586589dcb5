// The reminder of a calendar event: the rules of CalendarMapping.h in reverse.
#include "ical/CalendarMapping.h"

#include "lunar/Calendar.h"
#include "lunar/LunarRepeat.h"
#include "reminders/Schedule.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace kelvo {
namespace {

using Freq = CalendarRule::Freq;

constexpr int32_t kAllDayHour = 9;
constexpr int32_t kMostAdvance = 30;

bool contains(const std::vector<int32_t>& list, int32_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// The days one Gregorian rule of interval 1 falls on: DTSTART, and every
// later day up to UNTIL that its BYxxx parts (or DTSTART's own month, day
// or weekday where the frequency implies them) let through.
struct RuleDays {
    DateTime start;
    std::optional<DateTime> until;
    std::vector<int32_t> months, monthDays, weekdays;

    bool falls(const Date& d) const {
        if (d < start.date)
            return false;
        if (until &&
            (d > until->date || (d == until->date && timeOfDay(start) > timeOfDay(*until))))
            return false;
        if (d == start.date)
            return true;
        const int32_t wd = (weekday(d) + 6) % 7;
        return (months.empty() || contains(months, d.month)) &&
               (monthDays.empty() || contains(monthDays, d.day)) &&
               (weekdays.empty() || contains(weekdays, wd));
    }
    static int timeOfDay(const DateTime& t) { return (t.hour * 60 + t.minute) * 60 + t.second; }
};

RuleDays ruleDays(const CalendarRule& rule, const DateTime& start) {
    RuleDays days{start, rule.until, rule.byMonth, rule.byMonthDay, rule.byDay};
    const bool noDays = days.monthDays.empty() && days.weekdays.empty();
    if (rule.freq == Freq::Yearly && noDays && days.months.empty())
        days.months = {start.date.month};
    if ((rule.freq == Freq::Yearly || rule.freq == Freq::Monthly) && noDays)
        days.monthDays = {start.date.day};
    if (rule.freq == Freq::Weekly && days.weekdays.empty())
        days.weekdays = {(weekday(start.date) + 6) % 7};
    return days;
}

// The first day the reminder could still fire on at its set time.
Date firstCompared(const DateTime& start, const DateTime& now) {
    const bool passed = start.hour * 60 + start.minute < now.hour * 60 + now.minute;
    return passed ? addDays(now.date, 1) : now.date;
}

bool sameOn(const ItemSchedule& item, const RuleDays& days, const Date& first, const Date& last) {
    for (Date d = first; d <= last; d = addDays(d, 1)) {
        if (fallsOn(item, d) != days.falls(d))
            return false;
    }
    return true;
}

// Compared as far as every repetition comes round, or to the repetition's end.
bool sameDays(const ItemSchedule& item, const RuleDays& days, const Date& from) {
    Date last = addDays(from, kLongestGapDays);
    if (days.until)
        last = std::min(last, std::max(days.until->date, Date{days.until->date.year, 12, 31}));
    // Every day or every week of every month comes round within a week: two
    // weeks from the first day and two before the end tell all.
    const bool weekly = days.months.empty() && days.monthDays.empty() && item.month == 0;
    if (!weekly)
        return sameOn(item, days, from, last);
    constexpr int64_t kTwoWeeks = 14;
    const Date head = std::min(last, addDays(from, kTwoWeeks));
    return sameOn(item, days, from, head) &&
           sameOn(item, days, std::max(head, addDays(last, -kTwoWeeks)), last);
}

std::optional<SkipReason> unsupportedPart(const CalendarRule& rule) {
    if (rule.interval > 1)
        return SkipReason::Interval;
    if (rule.count > 0 && !rule.until)
        return SkipReason::Count;
    if (rule.bySetPos)
        return SkipReason::SetPos;
    if (rule.byTime || rule.freq < Freq::Daily)
        return SkipReason::OtherTimes;
    if (rule.byDayOrdinal || rule.byOtherParts)
        return SkipReason::Rule;
    return std::nullopt;
}

// Year, month and day of the Gregorian reminder that falls on the rule's days.
std::optional<SkipReason> gregorianDate(ReminderItem& item, const CalendarRule& rule,
                                        const DateTime& start, const DateTime& now) {
    const RuleDays days = ruleDays(rule, start);
    const bool negative =
        std::any_of(days.monthDays.begin(), days.monthDays.end(), [](int32_t d) { return d < 1; });
    if (rule.leapMonth || negative || days.months.size() > 1 || days.monthDays.size() > 1 ||
        (!days.monthDays.empty() && !days.weekdays.empty()))
        return SkipReason::Rule;
    std::array<bool, 7> chosen{};
    for (int32_t d : days.weekdays)
        chosen.at(static_cast<size_t>(d)) = true;
    item.month = days.months.empty() ? 0 : days.months[0];
    item.day = !days.weekdays.empty()   ? weekdayCode(chosen)
               : days.monthDays.empty() ? 0
                                        : days.monthDays[0];
    // Without an end it repeats every year; with one, within DTSTART's year,
    // or within its month.
    std::vector<std::pair<int32_t, int32_t>> candidates;
    if (!rule.until)
        candidates = {{0, item.month}};
    else
        candidates = {{start.date.year, item.month}, {start.date.year, start.date.month}};
    const Date from = firstCompared(start, now);
    for (const auto& [year, month] : candidates) {
        ReminderItem candidate = item;
        candidate.year = year;
        candidate.month = month;
        if (sameDays(scheduleOf(candidate), days, from)) {
            item = candidate;
            return std::nullopt;
        }
    }
    if (rule.count > 0)
        return SkipReason::Count;
    return start.date > from ? SkipReason::StartsLater : SkipReason::Rule;
}

// A month or day the rule leaves out is DTSTART's lunar one.
std::optional<SkipReason> lunarDate(ReminderItem& item, const CalendarEvent& event,
                                    const DateTime& start) {
    const CalendarRule& rule = event.rules.front();
    const bool yearly = rule.freq == Freq::Yearly;
    if (rule.rscale != "CHINESE" || (!yearly && rule.freq != Freq::Monthly) ||
        rule.byMonthDay.size() > 1 || !rule.byDay.empty() ||
        rule.byMonth.size() > (yearly ? 1u : 0u))
        return SkipReason::Rule;
    const TLunarDate first = SolarToLunar(start.date);
    LunarRepeat repeat{yearly ? LunarRepeat::kYearly : LunarRepeat::kMonthly, 0,
                       rule.byMonthDay.empty() ? first.Day : rule.byMonthDay[0], false};
    if (yearly) {
        repeat.month = rule.byMonth.empty() ? first.Month : rule.byMonth[0];
        repeat.leap = rule.byMonth.empty() ? first.IsLeap : rule.leapMonth;
    }
    // Without SKIP=BACKWARD a missing 30th or leap month is left out, where
    // the reminder falls on the 29th or the regular month.
    const bool skipsNothing = repeat.day < 30 && !repeat.leap;
    if (!(rule.skipBackward || skipsNothing) || !lunarRepeatFalls(repeat, SolarToLunar(start.date)))
        return SkipReason::Rule;
    // Listed days must be its days, excepted ones not, and it must not end
    // before the calendar does.
    ReminderItem lunar = item;
    lunar.year = start.date.year;
    lunar.month = start.date.month;
    lunar.day = start.date.day;
    lunar.lunar = repeat;
    const ItemSchedule schedule = scheduleOf(lunar);
    auto isDay = [&](const DateTime& t) {
        return t.hour == start.hour && t.minute == start.minute && fallsOn(schedule, t.date);
    };
    if (!std::all_of(event.rdates.begin(), event.rdates.end(), isDay) ||
        std::any_of(event.exdates.begin(), event.exdates.end(), isDay))
        return SkipReason::Rule;
    const auto last = previousDay(schedule, kLastLunarSolarDate);
    if (rule.until && (!last || rule.until->date < *last))
        return SkipReason::Rule;
    item = lunar;
    return std::nullopt;
}

// Kelvo's own reminder on the official calendar's days: the EXDATEs and
// RDATEs were written from the holiday calendar, which decides the days
// again here. Its days off are those listed (true: the item is made); its
// workdays are the weekly rule of Monday to Friday, read as any rule.
bool officialDays(ReminderItem& item, CalendarEvent& event, OfficialRule official) {
    if (official == OfficialRule::None ||
        (!event.rules.empty() && !event.rules.front().rscale.empty()))
        return false;
    event.exdates.clear();
    event.rdates.clear();
    if (official == OfficialRule::Workdays)
        return false;
    item.year = item.month = 0;
    item.day = storedWeekdayCode(official);
    return true;
}

// The repetition of `event` from `now` on: exceptions before it are gone,
// and a rule that ends on its first day falls on that day alone.
std::optional<SkipReason> repetition(ReminderItem& item, CalendarEvent& event,
                                     const DateTime& now) {
    const DateTime& start = *event.start;
    // A day of an all-day event is past once its 09:00 is.
    auto past = [&](DateTime t) {
        if (event.allDay)
            t.hour = kAllDayHour, t.minute = 0, t.second = 0;
        return t < now;
    };
    if (!std::all_of(event.changed.begin(), event.changed.end(), past))
        return SkipReason::Moved;
    std::erase_if(event.exdates, past);
    if (event.rules.size() > 1)
        return SkipReason::Rule;
    const bool lunar = event.rules.size() == 1 && !event.rules.front().rscale.empty();
    if (!lunar && !event.exdates.empty())
        return SkipReason::Exdate;
    if (!lunar && !event.rdates.empty())
        return SkipReason::Rule;
    if (!event.rules.empty() && event.rules.front().until) {
        const DateTime& until = *event.rules.front().until;
        if (until < start)
            return SkipReason::NoOccurrence;
        if (!lunar && until.date == start.date)
            event.rules.clear();
    }
    if (event.rules.empty()) {
        item.year = start.date.year;
        item.month = start.date.month;
        item.day = start.date.day;
        return std::nullopt;
    }
    const CalendarRule& rule = event.rules.front();
    if (const auto reason = unsupportedPart(rule))
        return reason;
    return lunar ? lunarDate(item, event, start) : gregorianDate(item, rule, start, now);
}

std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

// "45;18:00" of X-KELVO-INTERVAL; none for anything else.
IntervalRule intervalOf(std::string_view value) {
    int every = 0, hour = 0, minute = 0;
    char rest = 0;
    const std::string text(value);
    if (std::sscanf(text.c_str(), "%d;%d:%d%c", &every, &hour, &minute, &rest) != 3 || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59)
        return {};
    return intervalRule(every, hour * 60 + minute);
}

void restoreProperties(ReminderItem& item, const CalendarEvent& event) {
    for (const auto& [name, value] : event.properties) {
        if (name == icalprops::MindMethod && value.size() == 1 && value[0] >= '0' &&
            value[0] <= '3')
            item.mindMethod = value[0] - '0';
        else if (name == icalprops::Music)
            item.music = oneLine(value);
        else if (name == icalprops::Shutdown && value == "1")
            item.message = kShutdownMarker;
        else if (name == icalprops::Official)
            item.official = value == icalprops::OfficialWorkdays  ? OfficialRule::Workdays
                            : value == icalprops::OfficialDaysOff ? OfficialRule::DaysOff
                                                                  : OfficialRule::None;
        else if (name == icalprops::Interval)
            item.interval = intervalOf(value);
    }
}

// The alarms (other than the advance warning's) that fall on one of the 30
// days before the start's are the warnings days ahead, at the time of day
// of the first of them (the warnings share one).
DayWarnings dayWarningsOf(const std::vector<int32_t>& alarmsBefore, int32_t setMinute) {
    std::vector<int32_t> days;
    std::optional<int32_t> at;
    for (const int32_t before : alarmsBefore) {
        const int32_t moment = setMinute - before; // from the start's midnight
        const int32_t n = moment < 0 ? (-moment + 1439) / 1440 : 0;
        if (before <= kMostAdvance || n < 1 || n > DayWarnings::kMostDays)
            continue;
        days.push_back(n);
        if (!at)
            at = moment + n * 1440;
    }
    return dayWarnings(days, at && *at != setMinute ? *at : -1);
}

int32_t advanceOf(const std::vector<int32_t>& alarmsBefore) {
    int32_t advance = 0;
    for (int32_t before : alarmsBefore) {
        if (before <= kMostAdvance)
            advance = std::max(advance, before);
    }
    return advance;
}

// libical lets through times such as 53:47:67 and days such as 31 April.
bool validMoment(const DateTime& t) {
    const Date& d = t.date;
    return d.year >= 1 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= daysInMonth(d.year, d.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
           t.minute <= 59;
}

// Why the event cannot be a reminder whatever its repetition.
std::optional<EventImport> unusable(const CalendarEvent& event, const DateTime& now) {
    using Status = CalendarEvent::Status;
    if (!event.unreadable.empty())
        return EventImport{std::nullopt, SkipReason::Damaged, event.unreadable};
    if (event.status == Status::Cancelled)
        return EventImport{std::nullopt, SkipReason::Cancelled, {}};
    if (event.status == Status::Completed && event.todo)
        return EventImport{std::nullopt, SkipReason::Completed, {}};
    if (!event.start) {
        const SkipReason reason = event.todo           ? SkipReason::NoDue
                                  : event.startOnNoDay ? SkipReason::NoSuchDay
                                                       : SkipReason::NoStart;
        return EventImport{std::nullopt, reason, {}};
    }
    if (!validMoment(*event.start))
        return EventImport{std::nullopt, SkipReason::Damaged, "DTSTART"};
    if (!event.unknownZone.empty())
        return EventImport{std::nullopt, SkipReason::UnknownZone, event.unknownZone};
    if (event.changesOccurrence) {
        const SkipReason reason = *event.start < now ? SkipReason::Past : SkipReason::Moved;
        return EventImport{std::nullopt, reason, {}};
    }
    if (event.localTimeMoves)
        return EventImport{std::nullopt, SkipReason::ZoneMoves, {}};
    return std::nullopt;
}

} // namespace

EventImport itemOf(const CalendarEvent& event, const DateTime& now) {
    if (auto reason = unusable(event, now))
        return std::move(*reason);
    DateTime start = *event.start;
    if (event.allDay)
        start.hour = kAllDayHour, start.minute = 0, start.second = 0;
    CalendarEvent timed = event;
    timed.start = start;
    ReminderItem item;
    item.hour = start.hour;
    item.min = start.minute;
    item.message = oneLine(event.summary);
    item.rdBefore = event.todo ? 0 : advanceOf(event.alarmsBefore);
    if (!event.todo)
        item.warnings = dayWarningsOf(event.alarmsBefore, item.hour * 60 + item.min);
    restoreProperties(item, event);
    // The rule is read as the days it names; the official rule comes after.
    const OfficialRule official = std::exchange(item.official, OfficialRule::None);
    const bool listed = officialDays(item, timed, official);
    if (const auto reason = listed ? std::nullopt : repetition(item, timed, now))
        return {std::nullopt, *reason, {}};
    if (listed || (official == OfficialRule::Workdays && item.day == kMondayToFridayCode))
        item.official = official;
    if (!firesFrom(scheduleOf(item), now))
        return {std::nullopt, SkipReason::Past, {}};
    return {std::move(item), SkipReason::Rule, {}};
}

} // namespace kelvo
