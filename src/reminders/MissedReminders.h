#pragma once

#include "reminders/ReminderRules.h"

#include <string>
#include <vector>

namespace kelvo {

class TIniFile;

// One line of the list of missed reminders.
struct MissedRow {
    std::string due;     // "YYYY-MM-DD HH:MM"
    std::string message; // with the advance prefix where it applies
    std::string method;  // the mind method's caption
    bool operator==(const MissedRow&) const = default;
};

// The rows of the occasions, read from the data file, each item marked
// reminded (all writes are tried; then IniWriteError is thrown, and `rows`
// holds every row regardless).
void takeMissed(TIniFile& data, const std::vector<Occasion>& missed, std::vector<MissedRow>& rows);

} // namespace kelvo
