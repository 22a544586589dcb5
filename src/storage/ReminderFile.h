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
    std::string message;          // the item's message as stored
    std::string text;             // the message, with the warning's prefix where it applies
    std::string music;            // the item's own sound; empty: the default sound
    int32_t hour = 0, minute = 0; // the item's set time, shown with the message
    int32_t advanceMinutes = 0;   // of an advance warning; 0 on time
    int32_t daysAhead = 0;        // of a warning days ahead; 0 on the day
};

// Reads what item k hands over, changing nothing: for its advance warning,
// for a warning `daysAhead` days before its day, or on time.
Firing readFiring(const TIniFile& data, int32_t item, bool advance, int32_t daysAhead = 0);

// The ReMinded marks of reminders that were shown but not yet stored: a
// reminder is shown first and marked after, and a mark that cannot be
// stored (a full disk, a read-only file, another program holding the
// file's lock) waits here, in memory, for the next attempt that can.
class PendingMarks {
public:
    // Item k was shown with its stored message `message` (without a prefix).
    void add(int32_t item, std::string message);
    // Item k, holding `message`, was dismissed at `at` (seconds since 1970
    // UTC) and snoozed until `snoozedUntil` (0: not snoozed), for sync to
    // tell the user's other computers. A dismissal older than the one
    // stored changes nothing.
    void acknowledge(int32_t item, std::string message, int64_t at, int64_t snoozedUntil);
    // Item k was deleted by this program: its mark goes, later ones move down.
    void itemDeleted(int32_t k);
    bool empty() const { return m_marks.empty(); }

    // Stores every mark in one change, without waiting for another program's
    // lock. An item that no longer holds the message it was shown with
    // (another program changed or moved it) gets none. Throws IniWriteError
    // (Busy when the lock is taken) and keeps the marks when that fails.
    void store(TIniFile& data);

private:
    struct Mark {
        int32_t item;
        std::string message;
        int64_t acknowledged = 0; // a dismissal's mark when above 0
        int64_t snoozedUntil = 0;
    };
    std::vector<Mark> m_marks;
};

// One line of the list of missed reminders.
struct MissedRow {
    std::string due;     // "YYYY-MM-DD HH:MM"
    std::string message; // with the advance prefix where it applies
    std::string method;  // the mind method's caption
    bool operator==(const MissedRow&) const = default;
};

// Appends the rows of the occasions, read from the data file, to `rows`,
// changing nothing.
void readMissedRows(const TIniFile& data, const std::vector<Occasion>& missed,
                    std::vector<MissedRow>& rows);

} // namespace kelvo
