#pragma once

// When a reminder fires: the one place that knows. The minute check, the
// start check, the missed list, the look-ahead, kelvoctl and the calendar
// files all ask these questions and decide nothing of their own.

#include "core/DateTime.h"
#include "lunar/LunarRepeat.h"
#include "reminders/ReminderItem.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace kelvo {

// What the reminder rules need of one item; the message and sound are read
// from the file only when the item fires.
struct ItemSchedule {
    int32_t year = 2000, month = 1, day = 1, hour = 1, min = 1;
    int32_t rdBefore = 0, mindMethod = 0;
    LunarRepeat lunar = {};     // active: year, month and day are its first occurrence
    IntervalRule interval = {}; // in force only when intervalApplies()
    // The item's content (its rules and message) as a number: what fired
    // for it in an earlier run is found again by it.
    uint64_t key = 0;
    DayWarnings warnings = {};
    OfficialRule official = OfficialRule::None; // with a weekday code: by the holiday calendar
    // notBefore is the minute after the item's last dismissal (on this or
    // another computer), not a skip or pause of the user's.
    bool dismissed = false;
    // Nothing fires before this local minute number: the next occurrence
    // skipped, or a pause until a day. Not part of the key: what fired for
    // the item stays found across a skip, a pause and a resume.
    int64_t notBefore = kNoPause;
    // 80 bytes: the minute check reads the items in order.
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
// full hour first, then the set time, the advance warning or a later minute
// of an interval reminder's window, then a warning days ahead. An item may
// fire up to three times in one minute. The values are stored.
enum class FiringKind : uint8_t {
    OnTheHour = 0,
    SetTime = 1,
    Advance = 2,
    Interval = 3,
    DaysAhead = 4
};

struct FiringTime {
    DateTime at; // second 0
    FiringKind kind = FiringKind::SetTime;
    int32_t daysAhead = 0; // of a DaysAhead warning: the days until the item's day
    bool advance() const { return kind == FiringKind::Advance; }
    auto operator<=>(const FiringTime&) const = default;
};

// Whether the item's interval rule is in force: an interval of
// IntervalRule::kLeast … kMost minutes and a window that ends after the set
// time on the same day. Otherwise the item fires at its set time alone.
bool intervalApplies(const ItemSchedule& item);
// The minute of the day of the item's warnings days ahead: their own, else
// the set time; none without warnings or with a set time of no day.
std::optional<int> dayWarningMinute(const ItemSchedule& item);

// Every question below about minutes and starts answers by the item's
// not-before moment as well; the day questions above do not.

// The full hour of an hourly item at minute t.
bool firesOnTheHourAt(const ItemSchedule& item, const DateTime& t);
// The set time (SetTime), the advance warning (Advance) or a later minute of
// the interval window (Interval) at minute t. The advance moment lies
// rdBefore minutes before the set time, on the same day only: a set time in
// the first minutes after midnight gets no warning.
std::optional<FiringKind> setTimeFiringAt(const ItemSchedule& item, const DateTime& t);
// Whether minute t is one of the interval window's and a later minute of
// the same window has come by `now`: minutes checked late (those the start
// of daylight saving time skips, or a busy program's) fire the window once,
// at its latest minute, not once for each.
bool windowFiresAgainBy(const ItemSchedule& item, const DateTime& t, const DateTime& now);
// Whether the full hour or setTimeFiringAt() fires at minute t.
bool firesAt(const ItemSchedule& item, const DateTime& t);
// The warning days ahead at minute t: the fewest of the item's day counts N
// for which it falls on the day N days after t's, unless it fires by
// firesAt() at t already (its own firing says more). Once per minute at most.
std::optional<int32_t> dayWarningAt(const ItemSchedule& item, const DateTime& t);
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
// Without default values: an array of the largest pattern costs nothing
// until it is written.
struct DayFiring {
    int minute;
    FiringKind kind;
    auto operator<=>(const DayFiring&) const = default;
};
// 24 full hours, the advance warning and the window of an interval reminder
// (its set time and every kLeast minutes after it until 23:59).
inline constexpr int kMostDayFirings = 24 + 1 + (1439 / IntervalRule::kLeast + 1);

// The minutes of the day at which the item fires on a day it falls on, in
// the minute check's order, written to `out`; their number. The same on
// every such day. Warnings days ahead fall on other days: not among them.
int dayFirings(const ItemSchedule& item, DayFiring* out);

// The firings of the minute check from `from` to `to` (minutes, both
// included), in order, found day by day as they are asked for: those on the
// item's days and those of each warning days ahead, merged.
class Firings {
public:
    Firings(const ItemSchedule& item, const DateTime& from, const DateTime& to = kLastMoment);
    std::optional<FiringTime> next();

private:
    // The firings pattern[first, end) on each day the item falls on, `shift`
    // days earlier (0: on the day; N: the warning N days ahead).
    struct Lane {
        int first = 0, end = 0, index = 0;
        int32_t shift = 0;
        std::optional<Date> day; // the day the item falls on
        int64_t minute = 0;      // of the lane's next firing
    };
    void addLane(int first, int end, int32_t shift, const Date& from);
    // Moves the lane to its first firing from m_from on, or ends it.
    void settle(Lane& lane) const;

    ItemSchedule m_item;
    int64_t m_from, m_to; // minute numbers
    DayFiring m_pattern[kMostDayFirings + DayWarnings::kMost];
    Lane m_lanes[1 + DayWarnings::kMost];
    int m_laneCount = 0;
    int64_t m_lastMinute = std::numeric_limits<int64_t>::min(); // of the firing given last
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
