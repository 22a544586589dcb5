#pragma once

#include "reminders/Occurrences.h"
#include "reminders/ReminderList.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

class TIniFile;

// The reminders as the program reads them from the data file and what
// their firing stores in it.

// Reads every item of the data file (list defaults for missing keys).
ReminderList loadReminderList(const TIniFile& data);

// What a firing hands to the popup.
struct Firing {
    int32_t item = 0;
    std::string text;  // the message, with the advance prefix where it applies
    std::string music; // the item's own sound; empty: the default sound
};

// Reads what item k hands over, changing nothing.
Firing readFiring(const TIniFile& data, int32_t item, bool advance);

// The file side of a firing: writes the hand-off file and ReMinded = 1.
// Write failures throw IniWriteError after both writes were tried; the
// caller shows the reminder regardless, from `firing` itself.
void storeFiring(TIniFile& data, const std::string& handOffPath, const Firing& firing);

// One line of the list of missed reminders.
struct MissedRow {
    std::string due;     // "YYYY-MM-DD HH:MM"
    std::string message; // with the advance prefix where it applies
    std::string method;  // the mind method's caption
    bool operator==(const MissedRow&) const = default;
};

// Appends the rows of the occasions, read from the data file, to `rows` and
// marks their items reminded in one change; a failed write throws
// IniWriteError after `rows` got every row.
void takeMissed(TIniFile& data, const std::vector<Occasion>& missed, std::vector<MissedRow>& rows);

} // namespace kelvo
