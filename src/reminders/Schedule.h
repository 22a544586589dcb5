#pragma once

// When a reminder fires: the one place that knows. The minute check, the
// start check, the missed list, the look-ahead, kelvoctl and the calendar
// files all ask these questions and decide nothing of their own.

#include "core/DateTime.h"
#include "lunar/LunarRepeat.h"
#include "reminders/ReminderItem.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kelvo {

// What the reminder rules need of one item; the message and sound are read
// from the file only when the item fires.
struct ItemSchedule {
    int32_t year = 2000, month = 1, day = 1, hour = 1, min = 1;
    int32_t rdBefore = 0, mindMethod = 0;
    LunarRepeat lunar = {}; // active: year, month and day are its first occurrence
    // The item's content (its rules and message) as a number: what fired
    // for it in an earlier run is found again by it.
    uint64_t key = 0;
    OfficialRule official = OfficialRule::None; // with a weekday code: by the holiday calendar
    // Nothing fires before this local minute number: the next occurrence
    // skipped, or a pause until a day. Not part of the key: what fired for
    // the item stays found across a skip, a pause and a resume.
    int64_t notBefore = kNoPause;
};

ItemSchedule scheduleOf(const ReminderItem& item);

// A Day above 31 is a weekday code.
constexpr bool isWeekly(int32_t day) {
    return day > 31;
}

// Whether the item may fall on more than one day: a wildcard year, month or
// day, a weekday code or a lunar repetition.
bool repeats(const ItemSchedule& item);

// The date match: year, month and day each equal or 0, a weekday code by the
// bit of the date's weekday; a lunar repetition from its first occurrence on,
// within the lunar calendar's range. A weekday code with an official rule
// matches by holidayCalendar() instead: the official workdays are Monday to
// Friday but the days off, and the worked weekend days; in a year whose
// arrangement is not known, Monday to Friday. The official days off are
// those the calendar names, and none in a year it does not know.
bool fallsOn(const ItemSchedule& item, const Date& date);

// The firings of one minute, in the order the minute check gives them: the
// full hour first, then the set time or the advance warning. An item with
// mind method 1 or 3 may fire twice in one minute. The values are stored.
enum class FiringKind : uint8_t { OnTheHour = 0, SetTime = 1, Advance = 2 };

struct FiringTime {
    DateTime at; // second 0
    FiringKind kind = FiringKind::SetTime;
    bool advance() const { return kind == FiringKind::Advance; }
    auto operator<=>(const FiringTime&) const = default;
};

// Every question below about minutes and starts answers by the item's
// not-before moment as well; the day questions above do not.

// The full hour of an hourly item at minute t.
bool firesOnTheHourAt(const ItemSchedule& item, const DateTime& t);
// The set time (SetTime) or the advance warning (Advance) at minute t. The
// advance moment lies rdBefore minutes before the set time, on the same day
// only: a set time in the first minutes after midnight gets no warning.
std::optional<FiringKind> setTimeFiringAt(const ItemSchedule& item, const DateTime& t);
// Whether anything fires at minute t.
bool firesAt(const ItemSchedule& item, const DateTime& t);
// The start check's rule: an at-start item fires on a day it falls on, from
// the day of its not-before moment on.
bool firesAtStartOn(const ItemSchedule& item, const Date& date);

// The first day on or after `from` (the last on or before `upto`) the item
// falls on. Both answer after a bounded amount of work however far the day
// lies: Gregorian repetitions come round within kLongestGapDays, lunar ones
// end with the lunar calendar.
std::optional<Date> nextDay(const ItemSchedule& item, const Date& from);
std::optional<Date> previousDay(const ItemSchedule& item, const Date& upto);
// nextDay from the day of the item's not-before moment on.
std::optional<Date> nextFreeDay(const ItemSchedule& item, const Date& from);
// Whether the item's not-before moment lets it fire at the local minute
// number.
constexpr bool mayFireAt(const ItemSchedule& item, int64_t minute) {
    return minute >= item.notBefore;
}

// Every Gregorian repetition that falls on some day comes round within this
// many days: 29 February, every four years but not in 2100, is the longest.
inline constexpr int64_t kLongestGapDays = 8 * 366 + 1;

// The latest moment the look-ahead reaches.
inline constexpr DateTime kLastMoment{Date{9999, 12, 31}, 23, 59, 0};

// One firing within a day: its minute of the day and its kind.
struct DayFiring {
    int minute = 0;
    FiringKind kind = FiringKind::SetTime;
    auto operator<=>(const DayFiring&) const = default;
};
// 24 full hours, the set time and the advance warning.
inline constexpr int kMostDayFirings = 26;

// The minutes of the day at which the item fires on a day it falls on, in
// the minute check's order, written to `out`; their number. The same on
// every such day.
int dayFirings(const ItemSchedule& item, DayFiring* out);

// The firings of the minute check from `from` to `to` (minutes, both
// included), in order, found day by day as they are asked for.
class Firings {
public:
    Firings(const ItemSchedule& item, const DateTime& from, const DateTime& to = kLastMoment);
    std::optional<FiringTime> next();

private:
    void loadDay(const Date& from);

    ItemSchedule m_item;
    int64_t m_from, m_to; // minute numbers
    DayFiring m_pattern[kMostDayFirings];
    int m_count = 0, m_index = 0;
    std::optional<Date> m_day;
};

// The first firing at a minute after `after`, the last at a minute before
// `before`; none when there is none.
std::optional<FiringTime> nextFiring(const ItemSchedule& item, const DateTime& after);
std::optional<FiringTime> previousFiring(const ItemSchedule& item, const DateTime& before);

// Whether the item falls due at some moment from `now` on: a firing at this
// minute or later, or a start of the program on a day it falls on from today.
// An item on the official days off may yet fall in a year whose arrangement
// is not known: it counts as firing.
bool firesFrom(const ItemSchedule& item, const DateTime& now);

// Skipping the next occurrence: the not-before moment just after the first
// firing after the minute `now`, or after the set time when that firing is
// its advance warning (so both are skipped); none when nothing fires any
// more.
std::optional<int64_t> afterNextOccurrence(const ItemSchedule& item, const DateTime& now);
// Pausing until a day: it reminds again from that day's first minute.
int64_t pausedUntil(const Date& day);
// The occurrence a skip put the not-before moment after: the last firing
// before it by the rules alone; none for a pause (a moment at midnight) and
// when nothing fires before it.
std::optional<DateTime> skippedOccurrence(const ItemSchedule& item);

// The last day a repeating item falls on when its repetition ends within
// the year it is bound to (every day, week or month of one year or of one
// month of a year); nullopt for an item that repeats without end, falls on
// one day only, repeats by the lunar calendar or falls on no day at all.
std::optional<Date> lastRepeatedDay(const ItemSchedule& item);

// The years without a known arrangement in which an item with an official
// rule may fall: the year of `today` and of the day a month later, and the
// item's own year when it lies ahead. There the rule falls back (workdays to
// Monday to Friday, days off to none), and the user is told. Empty for an
// item without an official rule.
std::vector<int32_t> yearsWithoutArrangement(const ItemSchedule& item, const Date& today);

} // namespace kelvo
