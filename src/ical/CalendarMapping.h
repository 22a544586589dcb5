#pragma once

#include "ical/CalendarEvent.h"
#include "ical/RuleText.h"
#include "reminders/ReminderItem.h"

#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// What no calendar knows of a reminder travels in properties of its own.
namespace icalprops {
inline constexpr std::string_view MindMethod = "X-KELVO-MINDMETHOD";
inline constexpr std::string_view Music = "X-KELVO-MUSIC";
inline constexpr std::string_view Shutdown = "X-KELVO-SHUTDOWN";
inline constexpr std::string_view Command = "X-KELVO-COMMAND";
} // namespace icalprops

// The event of a reminder: DTSTART is its first day on or after `today` (a
// repetition bound to a year that is over: its first day at all; a lunar one:
// its stored first occurrence), its repetition an RRULE, its advance warning
// and set time VALARMs. nullopt for a reminder that never fires.
std::optional<CalendarEvent> eventOf(const ReminderItem& item, std::string uid, const Date& today);

// Why an event does not become a reminder.
enum class SkipReason {
    NoStart,     // no DTSTART
    Damaged,     // a property that could not be read
    Interval,    // INTERVAL > 1
    Count,       // COUNT
    SetPos,      // BYSETPOS
    Exdate,      // EXDATE
    OtherTimes,  // a repetition of other times of day (BYHOUR …, FREQ=HOURLY …)
    Rule,        // a repetition the reminder's date fields cannot express
    StartsLater, // a repetition that begins after days the reminder would fire on
    Past,        // every occurrence lies in the past
    Known,       // its UID is a reminder's already
};
// The reason as the windows show it ("重复间隔大于 1") and as kelvoctl prints it.
std::string_view skipReasonText(SkipReason reason);
std::string_view skipReasonEnglish(SkipReason reason);

// The reminder of an event, or why there is none. DTSTART's wall time is
// the set time, an all-day event's 09:00; X-KELVO-… properties are restored;
// the largest alarm of 1 … 30 minutes before the start is the advance
// warning. The reminder fires on exactly the days the event occurs on from
// `now` on, or the event is skipped.
struct EventImport {
    std::optional<ReminderItem> item;
    SkipReason reason = SkipReason::Rule;
};
EventImport itemOf(const CalendarEvent& event, const DateTime& now);

} // namespace kelvo
