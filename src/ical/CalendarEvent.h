#pragma once

#include "core/DateTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvo {

// What no calendar knows of a reminder travels in properties of its own.
namespace icalprops {
inline constexpr std::string_view MindMethod = "X-KELVO-MINDMETHOD";
inline constexpr std::string_view Music = "X-KELVO-MUSIC";
inline constexpr std::string_view Shutdown = "X-KELVO-SHUTDOWN";
inline constexpr std::string_view Command = "X-KELVO-COMMAND";
// A repetition of another calendar scale (RSCALE=CHINESE) is written in
// this property, as an RRULE value, not as an RRULE: the event lists its
// days (RDATE), and readers that know no RSCALE see those days alone.
inline constexpr std::string_view Lunar = "X-KELVO-LUNAR";
// A reminder on the official workdays ("WORKDAYS": the weekly rule of Monday
// to Friday, the known days off as EXDATEs, the worked weekend days as
// RDATEs) or days off ("DAYS-OFF": the known days, DTSTART and RDATEs).
inline constexpr std::string_view Official = "X-KELVO-OFFICIAL-DAYS";
inline constexpr std::string_view OfficialWorkdays = "WORKDAYS";
inline constexpr std::string_view OfficialDaysOff = "DAYS-OFF";
// Holiday calendars of other programs mark their days so: WORK-HOLIDAY a day
// off, ALTERNATE-WORKDAY a worked weekend day. Read like Kelvo's own.
inline constexpr std::string_view SpecialDay = "X-APPLE-SPECIAL-DAY";
// An interval reminder's window: "45;18:00", every 45 minutes from DTSTART's
// time up to 18:00. Readers without it see the window's first minute.
inline constexpr std::string_view Interval = "X-KELVO-INTERVAL";
} // namespace icalprops

// One repetition rule of a calendar event (an RRULE), as far as the mapping
// to reminders needs it. Times are local wall times.
struct CalendarRule {
    enum class Freq { Secondly, Minutely, Hourly, Daily, Weekly, Monthly, Yearly };
    Freq freq = Freq::Daily;
    int32_t interval = 1;
    int32_t count = 0; // 0: none
    std::optional<DateTime> until;
    std::vector<int32_t> byMonth;    // 1 … 12
    std::vector<int32_t> byMonthDay; // 1 … 31; negative counts from the month's end
    std::vector<int32_t> byDay;      // 0 Monday … 6 Sunday
    bool leapMonth = false;          // BYMONTH names the leap month (RSCALE)
    bool byDayOrdinal = false;       // a BYDAY with a position, such as 2SU
    bool bySetPos = false;
    bool byTime = false;       // BYHOUR, BYMINUTE or BYSECOND
    bool byOtherParts = false; // BYYEARDAY or BYWEEKNO
    std::string rscale;        // "CHINESE" for a lunar repetition; empty: Gregorian
    bool skipBackward = false; // SKIP=BACKWARD
    bool operator==(const CalendarRule&) const = default;
};

// One VEVENT (or VTODO): what Kelvo writes of a reminder and reads back.
struct CalendarEvent {
    enum class Status { Active, Cancelled, Completed };
    std::string uid;
    std::optional<DateTime> start; // DTSTART as local wall time; a to-do's alarm or DUE
    bool allDay = false;           // DTSTART was a date
    // DTEND, or DTSTART plus DURATION, as local wall time (of an all-day
    // event the day after its last); nullopt without either. Read only.
    std::optional<DateTime> end;
    bool todo = false; // a VTODO
    Status status = Status::Active;
    std::string summary;
    std::vector<CalendarRule> rules;
    std::vector<DateTime> exdates, rdates; // as local wall times
    // The occurrences that other events of its UID change (RECURRENCE-ID),
    // each as the day it was and the day it moved to, local wall times.
    std::vector<DateTime> changed;
    bool changesOccurrence = false; // this event has a RECURRENCE-ID itself
    // The first property Kelvo uses that the reader could not make sense
    // of ("DTSTART", "RRULE", "TRIGGER" …); empty when every one was read.
    std::string unreadable;
    bool startOnNoDay = false;   // DTSTART names a day no month has (30 February)
    std::string unknownZone;     // a TZID that names no zone of the file or the system
    bool localTimeMoves = false; // its zone's offset from local time changes between occurrences
    // The relative alarms (TRIGGER before the start), in minutes before it.
    std::vector<int32_t> alarmsBefore;
    // The X-KELVO-… properties and X-APPLE-SPECIAL-DAY, name and value.
    std::vector<std::pair<std::string, std::string>> properties;
    // Seconds since 1970 UTC up to which its alarms were acknowledged (0:
    // never): the latest of X-MOZ-LASTACK and the VALARMs' ACKNOWLEDGED.
    int64_t acknowledged = 0;
    // Seconds since 1970 UTC when the snoozed alarm comes again (0: none):
    // the latest X-MOZ-SNOOZE-TIME(-…) or RELTYPE=SNOOZE alarm's TRIGGER,
    // if later than `acknowledged`; an older one was acknowledged since.
    int64_t snoozedUntil = 0;
    // Read only: it has an ATTENDEE, and its acknowledgement would go to all.
    bool attendees = false;
    bool operator==(const CalendarEvent&) const = default;
};

} // namespace kelvo
