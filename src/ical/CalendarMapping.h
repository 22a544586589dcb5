#pragma once

#include "ical/CalendarEvent.h"
#include "ical/RuleText.h"
#include "reminders/ReminderItem.h"

#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// The event of a reminder: DTSTART is its first day on or after `today` (a
// repetition bound to a year that is over: its first day at all; a lunar one:
// its stored first occurrence), its repetition an RRULE, its advance warning
// and set time VALARMs. nullopt for a reminder that never fires.
std::optional<CalendarEvent> eventOf(const ReminderItem& item, std::string uid, const Date& today);

// Why an event does not become a reminder.
enum class SkipReason {
    NoStart,      // no DTSTART
    Damaged,      // a property it needs could not be read (which: the detail)
    NoSuchDay,    // DTSTART names a day no month has (30 February)
    Interval,     // INTERVAL > 1
    Count,        // a COUNT that no reminder's end expresses
    SetPos,       // BYSETPOS
    Exdate,       // an EXDATE from now on
    Moved,        // an occurrence from now on changed by another event (RECURRENCE-ID)
    OtherTimes,   // a repetition of other times of day (BYHOUR …, FREQ=HOURLY …)
    Rule,         // a repetition the reminder's date fields cannot express
    StartsLater,  // a repetition that begins after days the reminder would fire on
    Past,         // every occurrence lies in the past
    NoOccurrence, // it ends (UNTIL) before it starts
    Cancelled,    // STATUS:CANCELLED
    Completed,    // a to-do that is done
    NoDue,        // a to-do without DUE or alarm
    UnknownZone,  // a TZID that names no zone (which: the detail)
    ZoneMoves,    // its zone's daylight saving time differs from local time's
    Known,        // its UID (or, without one, its content) is a reminder's already
};
// The reason as the windows and kelvoctl show it, naming the property
// ("RRULE 的重复间隔大于 1（INTERVAL）"); `detail` is the property or zone
// of Damaged and UnknownZone.
std::string skipReasonText(SkipReason reason, std::string_view detail = {});

// The reminder of an event, or why there is none. DTSTART's wall time is
// the set time, an all-day event's 09:00; X-KELVO-… properties are restored;
// the largest alarm of 1 … 30 minutes before the start is the advance
// warning; a to-do comes at its moment once. The reminder fires on exactly
// the days and at the local time the event occurs at from `now` on, or the
// event is skipped. Exceptions (EXDATE, RECURRENCE-ID) before `now` do not
// count; a COUNT counts as the UNTIL of its last occurrence.
struct EventImport {
    std::optional<ReminderItem> item;
    SkipReason reason = SkipReason::Rule;
    std::string detail; // see skipReasonText()
};
EventImport itemOf(const CalendarEvent& event, const DateTime& now);

} // namespace kelvo
