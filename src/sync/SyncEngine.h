#pragma once

#include "core/Clock.h"
#include "sync/CalendarServer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

// What one sync moved.
struct SyncReport {
    int32_t uploaded = 0, downloaded = 0;
    int32_t removedHere = 0, removedThere = 0; // deleted on this computer, on the server
    // Dismissals (and snoozes) that came from another computer, went up.
    int32_t dismissedHere = 0, dismissedThere = 0;
    std::vector<std::string> conflicts;     // messages of reminders that got a conflict copy
    std::vector<std::string> unexpressible; // events no reminder can express, each told once
};

// One sync of the data directory's reminders with the calendar: the
// server's changes come in first (sync-collection, else a comparison of
// ETags; the objects with calendar-multiget), merged field by field with
// this computer's changes against the last common version; then this
// computer's new and changed reminders go up (If-None-Match: * and
// If-Match) and its deletions are deleted there. An object that changed on
// the server meanwhile (412) is merged and sent again. Each reminder is the
// event the calendar export writes, under the item's Uid (given to every
// item at its first sync). Events no reminder can express stay on the
// server untouched. A reminder's dismissal and snooze travel as the
// event's acknowledgement (ACKNOWLEDGED and X-MOZ-LASTACK, the snooze as
// X-MOZ-SNOOZE-TIME and an alarm related by RELTYPE=SNOOZE): a later one
// replaces an earlier, so they never conflict, and none is written into an
// event that invites attendees. Throws SyncError (what was done so far is kept and the
// next sync goes on from there) and the other UserErrors of the files and
// the calendar module.
SyncReport syncReminders(CalendarServer& server, const std::string& dataDir,
                         const ClockReading& now);

} // namespace kelvo
