#include "reminders/Schedule.h"

#include "core/Clock.h"
#include "reminders/Holidays.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace kelvo {

static_assert(sizeof(ItemSchedule) <= 80, "the minute check reads the items in order");

namespace {

constexpr int kMinutesPerDay = 1440;
constexpr int kLongestGapYears = 8;

bool weekdayMatches(int32_t code, const Date& date) {
    // weekday() counts from Sunday; the weekday bits count from Monday.
    return weekdayChosen(code, static_cast<size_t>((weekday(date) + 6) % 7));
}

bool officialDayMatches(OfficialRule rule, const Date& date) {
    const OfficialDay kind = holidayCalendar().dayOf(date);
    if (rule == OfficialRule::DaysOff)
        return kind == OfficialDay::Off;
    const bool weekend = weekday(date) == 0 || weekday(date) == 6;
    return kind == OfficialDay::Work || (kind == OfficialDay::Ordinary && !weekend);
}

bool weeklyMatches(const ItemSchedule& item, const Date& date) {
    return item.official == OfficialRule::None ? weekdayMatches(item.day, date)
                                               : officialDayMatches(item.official, date);
}

bool gregorianFallsOn(const ItemSchedule& item, const Date& date) {
    const bool dayMatches =
        item.day == 0 || item.day == date.day || (isWeekly(item.day) && weeklyMatches(item, date));
    return (item.year == 0 || item.year == date.year) &&
           (item.month == 0 || item.month == date.month) && dayMatches;
}

bool anyWeekday(int32_t code) {
    for (size_t i = 0; i < 7; ++i) {
        if (weekdayChosen(code, i))
            return true;
    }
    return false;
}

// Fields no date can match: nothing needs to be searched.
bool fallsOnNoDay(const ItemSchedule& item) {
    return item.year < 0 || item.month < 0 || item.month > 12 || item.day < 0 ||
           (isWeekly(item.day) && item.official == OfficialRule::None && !anyWeekday(item.day));
}

// The first (step 1) or last (step -1) day of a month from `start` on or
// back that the item falls on.
std::optional<Date> dayInMonth(const ItemSchedule& item, int year, int month, int start, int step) {
    const int length = daysInMonth(year, month);
    start = std::clamp(start, 1, length);
    if (item.day >= 1 && item.day <= 31) { // one candidate only
        const bool ahead = step > 0 ? item.day >= start : item.day <= start;
        const Date d{year, month, item.day};
        return ahead && item.day <= length && fallsOn(item, d) ? std::optional(d) : std::nullopt;
    }
    for (int day = start; day >= 1 && day <= length; day += step) {
        if (fallsOn(item, Date{year, month, day}))
            return Date{year, month, day};
    }
    return std::nullopt;
}

// Month by month from `from` in the direction of `step`, over the years the
// item allows: its own, or as many as a repetition takes to come round.
std::optional<Date> gregorianDay(const ItemSchedule& item, const Date& from, int step) {
    if (fallsOnNoDay(item))
        return std::nullopt;
    int firstYear = from.year, lastYear = from.year + step * kLongestGapYears;
    if (item.year != 0) {
        if ((item.year - from.year) * step < 0)
            return std::nullopt;
        firstYear = lastYear = item.year;
    }
    for (int year = firstYear;; year += step) {
        const bool startYear = year == from.year;
        for (int month = startYear  ? from.month
                         : step > 0 ? 1
                                    : 12;
             month >= 1 && month <= 12; month += step) {
            if (item.month != 0 && item.month != month)
                continue;
            const bool startMonth = startYear && month == from.month;
            const int start = startMonth ? from.day : step > 0 ? 1 : 31;
            if (auto d = dayInMonth(item, year, month, start, step))
                return d;
        }
        if (year == lastYear)
            return std::nullopt;
    }
}

// --- lunar -------------------------------------------------------------

struct LunarMonth {
    int32_t year, month;
    bool leap;
};

LunarMonth nextLunarMonth(const LunarMonth& m) {
    if (!m.leap && LunarLeapMonth(m.year) == m.month)
        return {m.year, m.month, true};
    return m.month == 12 ? LunarMonth{m.year + 1, 1, false}
                         : LunarMonth{m.year, m.month + 1, false};
}

LunarMonth previousLunarMonth(const LunarMonth& m) {
    if (m.leap)
        return {m.year, m.month, false};
    const LunarMonth before =
        m.month == 1 ? LunarMonth{m.year - 1, 12, false} : LunarMonth{m.year, m.month - 1, false};
    return LunarLeapMonth(before.year) == before.month ? LunarMonth{before.year, before.month, true}
                                                       : before;
}

int lengthOf(const LunarMonth& m) {
    return LunarMonthLength(TLunarDate{m.year, m.month, 1, m.leap});
}

bool exists(const LunarMonth& m) {
    return IsValidLunarDate(TLunarDate{m.year, m.month, 1, m.leap});
}

// The day of a lunar month the repetition falls on, if any (a 30 falls on
// the last day of a 29-day month).
std::optional<TLunarDate> lunarDayIn(const LunarRepeat& repeat, const LunarMonth& m) {
    const TLunarDate day{m.year, m.month, std::min(repeat.day, lengthOf(m)), m.leap};
    return lunarRepeatFalls(repeat, day) ? std::optional(day) : std::nullopt;
}

// Lunar month by lunar month from `from` in the direction of `step`, the
// Gregorian day of each month's first day carried along.
std::optional<Date> lunarDay(const ItemSchedule& item, const Date& from, int step) {
    const LunarRepeat& r = item.lunar;
    if (r.day < 1 || r.day > 30 ||
        (r.cycle == LunarRepeat::kYearly && (r.month < 1 || r.month > 12)))
        return std::nullopt;
    Date first = kFirstLunarSolarDate;
    if (item.year != 0)
        first = std::max(first, Date{item.year, item.month, item.day});
    const Date start = step > 0 ? std::max(from, first) : std::min(from, kLastLunarSolarDate);
    if (start > kLastLunarSolarDate || start < first)
        return std::nullopt;
    const TLunarDate at = SolarToLunar(start);
    LunarMonth month{at.Year, at.Month, at.IsLeap};
    int64_t monthStart = daysFromCivil(start) - (at.Day - 1);
    const int64_t startDay = daysFromCivil(start), firstDay = daysFromCivil(first);
    while (exists(month)) {
        if (const auto day = lunarDayIn(r, month)) {
            const int64_t d = monthStart + day->Day - 1;
            if ((step > 0 ? d >= startDay : d <= startDay) && d >= firstDay)
                return civilFromDays(d);
        }
        if (step < 0 && monthStart <= firstDay)
            return std::nullopt;
        if (step > 0) {
            monthStart += lengthOf(month);
            month = nextLunarMonth(month);
        } else {
            month = previousLunarMonth(month);
            monthStart -= lengthOf(month);
        }
    }
    return std::nullopt;
}

std::optional<Date> dayFrom(const ItemSchedule& item, const Date& from, int step) {
    return item.lunar.active() ? lunarDay(item, from, step) : gregorianDay(item, from, step);
}

// --- the firings of one day ----------------------------------------------

bool validTime(int64_t hour, int64_t minute) {
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59;
}

// Whether a later minute of the interval window falls at the minute of the
// day `m`; the window's first is the set time.
bool inWindow(const ItemSchedule& item, int m) {
    const int start = item.hour * 60 + item.min;
    return m > start && m <= item.interval.end && (m - start) % item.interval.every == 0 &&
           intervalApplies(item);
}

// The set-time, interval and advance rules by the time of day alone.
std::optional<FiringKind> kindAtTime(const ItemSchedule& item, int hour, int minute) {
    if (hour == item.hour && minute == item.min)
        return FiringKind::SetTime;
    if (item.interval.active() && inWindow(item, hour * 60 + minute))
        return FiringKind::Interval;
    if (item.rdBefore <= 0)
        return std::nullopt;
    const int64_t moved = int64_t{minute} + item.rdBefore;
    const bool advance = moved <= 59 ? hour == item.hour && moved == item.min
                                     : hour + 1 == item.hour && moved - 60 == item.min;
    return advance ? std::optional(FiringKind::Advance) : std::nullopt;
}

} // namespace

bool intervalApplies(const ItemSchedule& item) {
    const IntervalRule& r = item.interval;
    return r.every >= IntervalRule::kLeast && r.every <= IntervalRule::kMost &&
           validTime(item.hour, item.min) && r.end > item.hour * 60 + item.min && r.end < 1440;
}

std::optional<int> dayWarningMinute(const ItemSchedule& item) {
    if (!item.warnings.any())
        return std::nullopt;
    if (item.warnings.minute >= 0)
        return item.warnings.minute;
    if (!validTime(item.hour, item.min))
        return std::nullopt;
    return item.hour * 60 + item.min;
}

int dayFirings(const ItemSchedule& item, DayFiring* out) {
    int n = 0;
    if (firesOnTheHour(item.mindMethod)) {
        for (int hour = 0; hour < 24; ++hour)
            out[n++] = DayFiring{hour * 60, FiringKind::OnTheHour};
    }
    if (intervalApplies(item)) {
        const int start = item.hour * 60 + item.min;
        for (int m = start + item.interval.every; m <= item.interval.end; m += item.interval.every)
            out[n++] = DayFiring{m, FiringKind::Interval};
    }
    auto consider = [&](int64_t hour, int64_t minute) {
        if (!validTime(hour, minute))
            return;
        const auto kind = kindAtTime(item, static_cast<int>(hour), static_cast<int>(minute));
        if (kind)
            out[n++] = DayFiring{static_cast<int>(hour * 60 + minute), *kind};
    };
    consider(item.hour, item.min);
    // The two places the advance rule can put its minute: in the set time's
    // hour, or in the hour before.
    consider(item.hour, int64_t{item.min} - item.rdBefore);
    consider(int64_t{item.hour} - 1, int64_t{item.min} - item.rdBefore + 60);
    std::sort(out, out + n);
    return static_cast<int>(std::unique(out, out + n) - out);
}

namespace {

FiringTime firingOn(const Date& day, const DayFiring& f) {
    return FiringTime{DateTime{day, f.minute / 60, f.minute % 60, 0}, f.kind};
}

int64_t minuteOf(const DateTime& t) {
    return minuteNumber(DateTime{t.date, t.hour, t.minute, 0});
}

// The first day on which anything may fire.
Date firstFreeDay(const ItemSchedule& item, const Date& from) {
    if (item.notBefore == kNoPause)
        return from;
    return std::max(from, fromMinuteNumber(item.notBefore).date);
}

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
    // Only an item with the rule mixes it in: every other keeps its key.
    if (item.official != OfficialRule::None)
        mix("official" + std::to_string(static_cast<int32_t>(item.official)));
    // Only items that have them mix these in: every other keeps its key.
    if (item.interval.active()) {
        for (const int32_t v : {item.interval.every, item.interval.end})
            mix(std::to_string(v));
    }
    if (item.warnings.any()) {
        mix(std::string(item.warnings.days.begin(), item.warnings.days.end()));
        mix(std::to_string(item.warnings.minute));
    }
    return hash;
}

} // namespace

ItemSchedule scheduleOf(const ReminderItem& item) {
    ItemSchedule schedule{item.year,     item.month,       item.day,        item.hour,
                          item.min,      item.rdBefore,    item.mindMethod, item.lunar,
                          item.interval, contentKey(item), item.warnings};
    schedule.official = item.official;
    schedule.notBefore = item.notBefore;
    // What fell due up to the minute of a dismissal was seen.
    if (item.acknowledged > 0) {
        const int64_t after = minuteNumber(localTimeOf(item.acknowledged)) + 1;
        schedule.dismissed = after > schedule.notBefore;
        schedule.notBefore = std::max(schedule.notBefore, after);
    }
    return schedule;
}

bool repeats(const ItemSchedule& item) {
    return item.lunar.active() || item.year == 0 || item.month == 0 || item.day == 0 ||
           isWeekly(item.day);
}

bool fallsOn(const ItemSchedule& item, const Date& date) {
    if (!item.lunar.active())
        return gregorianFallsOn(item, date);
    if (item.year != 0 && date < Date{item.year, item.month, item.day})
        return false;
    // A check over many reminders asks for few days: each is converted once.
    static thread_local LunarDayCache lunarDay;
    return lunarRepeatFalls(item.lunar, lunarDay.of(date));
}

bool firesOnTheHourAt(const ItemSchedule& item, const DateTime& t) {
    return t.minute == 0 && firesOnTheHour(item.mindMethod) && mayFireAt(item, minuteOf(t)) &&
           fallsOn(item, t.date);
}

std::optional<FiringKind> setTimeFiringAt(const ItemSchedule& item, const DateTime& t) {
    // The time is the cheaper test: the day is matched only when it fits.
    const auto kind = kindAtTime(item, t.hour, t.minute);
    return kind && mayFireAt(item, minuteOf(t)) && fallsOn(item, t.date) ? kind : std::nullopt;
}

bool firesAt(const ItemSchedule& item, const DateTime& t) {
    return firesOnTheHourAt(item, t) || setTimeFiringAt(item, t).has_value();
}

bool windowFiresAgainBy(const ItemSchedule& item, const DateTime& t, const DateTime& now) {
    const int m = t.hour * 60 + t.minute, start = item.hour * 60 + item.min;
    if (!intervalApplies(item) || (m != start && !inWindow(item, m)))
        return false;
    const int next = m + item.interval.every;
    return next <= item.interval.end &&
           minuteNumber(DateTime{t.date, next / 60, next % 60, 0}) <= minuteOf(now);
}

std::optional<int32_t> dayWarningAt(const ItemSchedule& item, const DateTime& t) {
    const auto minute = dayWarningMinute(item);
    if (!minute || t.hour * 60 + t.minute != *minute || !mayFireAt(item, minuteOf(t)))
        return std::nullopt;
    for (const uint8_t days : item.warnings.days) {
        if (days == 0)
            return std::nullopt;
        if (fallsOn(item, addDays(t.date, days)))
            return firesAt(item, t) ? std::nullopt : std::optional<int32_t>(days);
    }
    return std::nullopt;
}

bool firesAtStartOn(const ItemSchedule& item, const Date& date) {
    return firesAtStart(item.mindMethod) && firstFreeDay(item, date) == date && fallsOn(item, date);
}

std::optional<Date> nextDay(const ItemSchedule& item, const Date& from) {
    return dayFrom(item, from, 1);
}

std::optional<Date> nextFreeDay(const ItemSchedule& item, const Date& from) {
    return nextDay(item, firstFreeDay(item, from));
}

std::optional<Date> previousDay(const ItemSchedule& item, const Date& upto) {
    return dayFrom(item, upto, -1);
}

Firings::Firings(const ItemSchedule& item, const DateTime& from, const DateTime& to)
    : m_item(item), m_from(std::max(minuteOf(from), item.notBefore)), m_to(minuteOf(to)) {
    const int count = dayFirings(item, m_pattern);
    int end = count;
    if (const auto minute = dayWarningMinute(item)) {
        for (const uint8_t days : item.warnings.days) {
            if (days != 0)
                m_pattern[end++] = DayFiring{*minute, FiringKind::DaysAhead};
        }
    }
    if (m_from > m_to)
        return;
    const Date start = fromMinuteNumber(m_from).date;
    if (count > 0)
        addLane(0, count, 0, start);
    for (int i = count; i < end; ++i)
        addLane(i, i + 1, item.warnings.days[static_cast<size_t>(i - count)], start);
}

void Firings::addLane(int first, int end, int32_t shift, const Date& from) {
    Lane& lane = m_lanes[m_laneCount++];
    lane.first = lane.index = first;
    lane.end = end;
    lane.shift = shift;
    lane.day = nextDay(m_item, shift == 0 ? from : addDays(from, shift));
    settle(lane);
}

void Firings::settle(Lane& lane) const {
    while (lane.day) {
        const int64_t dayStart = (daysFromCivil(*lane.day) - lane.shift) * kMinutesPerDay;
        if (dayStart > m_to) {
            lane.day.reset();
            return;
        }
        for (; lane.index < lane.end; ++lane.index) {
            lane.minute = dayStart + m_pattern[lane.index].minute;
            if (lane.minute > m_to) {
                lane.day.reset();
                return;
            }
            if (lane.minute >= m_from)
                return;
        }
        lane.day = nextDay(m_item, addDays(*lane.day, 1));
        lane.index = lane.first;
    }
}

// The lanes' earliest firing; at one minute the item's own days' first and
// the warnings by their days, fewest first. A warning at a minute something
// else fired at gives way.
std::optional<FiringTime> Firings::next() {
    for (;;) {
        Lane* soonest = nullptr;
        for (int i = 0; i < m_laneCount; ++i) {
            Lane& lane = m_lanes[i];
            if (lane.day && (!soonest || lane.minute < soonest->minute))
                soonest = &lane;
        }
        if (!soonest)
            return std::nullopt;
        const Date day = addDays(*soonest->day, -soonest->shift);
        FiringTime f = firingOn(day, m_pattern[soonest->index]);
        f.daysAhead = soonest->shift;
        const int64_t minute = soonest->minute;
        ++soonest->index;
        settle(*soonest);
        if (f.kind == FiringKind::DaysAhead && minute == m_lastMinute)
            continue;
        m_lastMinute = minute;
        return f;
    }
}

std::optional<FiringTime> nextFiring(const ItemSchedule& item, const DateTime& after) {
    return Firings(item, fromMinuteNumber(minuteOf(after) + 1), kLastMoment).next();
}

namespace {

// The last firing on the item's own days before the minute `limit`.
std::optional<FiringTime> previousOwnFiring(const ItemSchedule& item, const DateTime& before) {
    DayFiring pattern[kMostDayFirings];
    const int count = dayFirings(item, pattern);
    if (count == 0)
        return std::nullopt;
    const int64_t limit = minuteOf(before);
    for (auto d = previousDay(item, before.date); d; d = previousDay(item, addDays(*d, -1))) {
        const int64_t dayStart = daysFromCivil(*d) * kMinutesPerDay;
        for (int i = count; i-- > 0;) {
            const int64_t minute = dayStart + pattern[i].minute;
            if (minute < item.notBefore)
                return std::nullopt;
            if (minute < limit)
                return firingOn(*d, pattern[i]);
        }
        if (dayStart <= item.notBefore)
            return std::nullopt;
    }
    return std::nullopt;
}

// The last warning `days` ahead before `before`, at the minute of the day
// `minute`.
std::optional<FiringTime> previousWarning(const ItemSchedule& item, const DateTime& before,
                                          int32_t days, int minute) {
    const int64_t limit = minuteOf(before);
    for (auto d = previousDay(item, addDays(before.date, days)); d;
         d = previousDay(item, addDays(*d, -1))) {
        const Date on = addDays(*d, -days);
        const int64_t at = daysFromCivil(on) * kMinutesPerDay + minute;
        if (at < item.notBefore)
            return std::nullopt;
        if (at < limit)
            return FiringTime{DateTime{on, minute / 60, minute % 60, 0}, FiringKind::DaysAhead,
                              days};
    }
    return std::nullopt;
}

// The official days off of a year whose arrangement is not known yet are
// none so far: such a year may still bring some.
bool daysOffToCome(const ItemSchedule& item, const Date& today) {
    if (item.official != OfficialRule::DaysOff || !isWeekly(item.day) || item.lunar.active())
        return false;
    return item.year == 0 || (item.year >= today.year && !holidayCalendar().knows(item.year));
}

} // namespace

// The latest of the item's own firing and its warnings' (at one minute the
// own firing, else the warning of the fewest days: see Firings::next()).
std::optional<FiringTime> previousFiring(const ItemSchedule& item, const DateTime& before) {
    std::optional<FiringTime> latest = previousOwnFiring(item, before);
    const auto minute = dayWarningMinute(item);
    if (!minute)
        return latest;
    for (const uint8_t days : item.warnings.days) {
        if (days == 0)
            break;
        const auto w = previousWarning(item, before, days, *minute);
        if (w && (!latest || w->at > latest->at))
            latest = w;
    }
    return latest;
}

bool firesFrom(const ItemSchedule& item, const DateTime& now) {
    if (daysOffToCome(item, now.date))
        return true;
    if (firesAtStart(item.mindMethod) && nextFreeDay(item, now.date))
        return true;
    return nextFiring(item, fromMinuteNumber(minuteOf(now) - 1)).has_value();
}

std::optional<int64_t> afterNextOccurrence(const ItemSchedule& item, const DateTime& now) {
    const auto next = nextFiring(item, now);
    if (!next)
        return std::nullopt;
    // A warning's occurrence lasts until the set time it warns of, the same
    // day's; whatever fires in between goes with it.
    return minuteNumber(next->at) + (next->advance() ? item.rdBefore : 0) + 1;
}

int64_t pausedUntil(const Date& day) {
    return minuteNumber(DateTime{day, 0, 0, 0});
}

std::optional<DateTime> skippedOccurrence(const ItemSchedule& item) {
    if (item.notBefore == kNoPause || item.notBefore % kMinutesPerDay == 0)
        return std::nullopt;
    ItemSchedule rules = item;
    rules.notBefore = kNoPause;
    const auto last = previousFiring(rules, fromMinuteNumber(item.notBefore));
    return last ? std::optional(last->at) : std::nullopt;
}

std::optional<Date> lastRepeatedDay(const ItemSchedule& item) {
    if (item.year == 0 || item.lunar.active() || !repeats(item))
        return std::nullopt;
    return previousDay(item, Date{item.year, 12, 31});
}

std::vector<int32_t> yearsWithoutArrangement(const ItemSchedule& item, const Date& today) {
    std::vector<int32_t> years;
    if (item.official == OfficialRule::None || !isWeekly(item.day) || item.lunar.active())
        return years;
    const auto consider = [&](int32_t year) {
        const bool mayFall = item.year == 0 || item.year == year;
        if (mayFall && !holidayCalendar().knows(year) &&
            std::find(years.begin(), years.end(), year) == years.end())
            years.push_back(year);
    };
    consider(today.year);
    consider(addDays(today, 31).year);
    if (item.year > today.year)
        consider(item.year);
    return years;
}

} // namespace kelvo
