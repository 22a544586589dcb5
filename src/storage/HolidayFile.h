#pragma once

// The user's own holiday arrangements: Holidays.txt in the data directory,
// in the text form of reminders/HolidayText.h, each year with the place it
// was imported from. A year there takes the place of the built-in one.

#include "reminders/Holidays.h"

#include <string>
#include <vector>

namespace kelvo {

// The years of the file (none when it is missing), or why it cannot be read.
struct OwnHolidays {
    std::vector<YearArrangement> years;
    std::string error;
};
OwnHolidays readOwnHolidays(const std::string& path);

// Stores `years` in the file, each over the file's year of the same number,
// under the file's lock and in one atomic replacement. Throws IniWriteError
// (Busy when another program kept the lock; Unreadable when the file is
// there but cannot be read or parsed, which is then left as it is).
void storeOwnHolidays(const std::string& path, const std::vector<YearArrangement>& years);

// Puts the built-in calendar with the file's years over it in force for the
// reminder rules (useHolidayCalendar). Returns the file's error, if any;
// the built-in calendar alone is in force then.
std::string loadHolidayCalendar(const std::string& path);

} // namespace kelvo
