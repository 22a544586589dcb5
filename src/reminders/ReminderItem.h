#pragma once

#include "core/DateTime.h"
#include "lunar/LunarRepeat.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

inline constexpr std::string_view kShutdownMarker = "AutoShutDownWindows";
inline constexpr std::string_view kAdvancePrefix = "提前提醒：";
// A warning days ahead: "提前7天提醒：".
std::string dayWarningPrefix(int32_t days);

// The mind methods: 0 at the set time only, 1 also at every full hour of its
// days, 2 also at the program's start on its days, 3 both.
constexpr bool firesOnTheHour(int32_t mindMethod) {
    return mindMethod == 1 || mindMethod == 3;
}
constexpr bool firesAtStart(int32_t mindMethod) {
    return mindMethod == 2 || mindMethod == 3;
}

// A weekly item may follow the official holiday calendar (reminders/Holidays.h)
// instead of its weekday bits: on the official workdays (Monday to Friday
// unless a day off, and the worked weekend days) or on the official days off
// only. Its Day is stored as the weekday code that comes nearest (Monday to
// Friday, or Saturday and Sunday), which is what a reader that knows only
// the weekday code sees.
enum class OfficialRule : int32_t { None = 0, Workdays = 1, DaysOff = 2 };
inline constexpr int32_t kMondayToFridayCode = 255 + 256 + 512 + 1024 + 2048 + 4096;
inline constexpr int32_t kWeekendCode = 255 + 8192 + 16384;
constexpr int32_t storedWeekdayCode(OfficialRule rule) {
    return rule == OfficialRule::DaysOff ? kWeekendCode : kMondayToFridayCode;
}
// The minute number of a reminder's not-before moment when it has none.
inline constexpr int64_t kNoPause = std::numeric_limits<int64_t>::min();
// An interval reminder: every `every` minutes (kLeast … kMost) from the set
// time up to and including the minute of the day `end`, on the item's days;
// the window ends on the day it starts. Inactive (every 0): the plain set time.
struct IntervalRule {
    static constexpr int32_t kLeast = 5;
    static constexpr int32_t kMost = 720;
    int16_t every = 0;
    int16_t end = 0; // minute of the day, after the set time
    bool active() const { return every > 0; }
    bool operator==(const IntervalRule&) const = default;
};
// The rule of an interval and an end as read or typed: an interval outside
// 1 … 32767 is none, an end that is no minute of a day -1 (no window).
IntervalRule intervalRule(int32_t every, int32_t end);

// Warnings some days before each day the item falls on, at a time of the
// day of their own or at the set time.
struct DayWarnings {
    static constexpr size_t kMost = 5;
    static constexpr int32_t kMostDays = 30;
    std::array<uint8_t, kMost> days{}; // 1 … kMostDays, ascending, then 0s
    int16_t minute = -1;               // minute of the day; -1: the set time
    bool any() const { return days[0] != 0; }
    bool operator==(const DayWarnings&) const = default;
};
// The warnings of the given day counts (any order, duplicates and counts
// outside 1 … kMostDays dropped, the smallest kMost kept).
DayWarnings dayWarnings(std::vector<int32_t> days, int32_t minute = -1);

// One reminder: a section Item<k> of DataFile.dat. A lunar repetition keeps
// its first occurrence, a real Gregorian day, in year, month and day.
struct ReminderItem {
    int32_t year = 2000; // 0: every year
    int32_t month = 1;   // 0: every month
    int32_t day = 1;     // 0: every day; above 31: weekday code
    int32_t hour = 0;
    int32_t min = 0;
    bool reminded = false;
    int32_t rdBefore = 0; // advance warning in minutes
    int32_t mindMethod = 0;
    std::string message;
    std::string music;
    LunarRepeat lunar;
    OfficialRule official = OfficialRule::None; // in force with a weekday code only
    // A skipped occurrence or a pause: nothing fires at a local minute
    // number below it (kNoPause: no such moment).
    int64_t notBefore = kNoPause;
    IntervalRule interval;
    DayWarnings warnings;
    // Dismissed on this or another computer of the user's (sync): what fell
    // due up to this moment does not fire (seconds since 1970 UTC; 0: never
    // dismissed). Snoozed then: due again at snoozedUntil, when later.
    int64_t acknowledged = 0;
    int64_t snoozedUntil = 0;
};

// The readers of an item differ in what a missing key reads as; each names
// its own set.
struct ItemDefaults {
    int32_t year, month, day, hour, min;
    bool reminded;
    int32_t rdBefore, mindMethod;
    std::string_view message, music;
};
inline constexpr ItemDefaults kListDefaults{2000, 1, 1, 1, 1, false, 0, 0, "Message", ""};
inline constexpr ItemDefaults kDeleteDefaults{2000, 1, 1, 0, 0, false, 0, 0, "", ""};
inline constexpr ItemDefaults kViewDefaults{2000, 1, 1, 0, 0, false, 0, 0, "", ""};
inline constexpr ItemDefaults kEditDefaults{2000, 1, 1, 0, 1, false, 0, 0, "", ""};
inline constexpr ItemDefaults kExchangeDefaults{2000, 1, 1, 0, 0, false, 0, 0, "", ""};

// Weekday code of a weekly item: 255 plus 256 << i for each chosen day,
// days[0] = Monday … days[6] = Sunday.
int32_t weekdayCode(const std::array<bool, 7>& days);
// Whether the code chooses the day i (0 Monday … 6 Sunday).
constexpr bool weekdayChosen(int32_t code, size_t i) {
    return (code & (256 << i)) != 0;
}

} // namespace kelvo
