#pragma once

#include "core/DateTime.h"
#include "lunar/LunarRepeat.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace kelvo {

inline constexpr std::string_view kShutdownMarker = "AutoShutDownWindows";
inline constexpr std::string_view kAdvancePrefix = "提前提醒：";

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
