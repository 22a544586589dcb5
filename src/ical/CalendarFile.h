#pragma once

#include "core/Clock.h"
#include "core/DateTime.h"
#include "exchange/Exchange.h"
#include "ical/CalendarMapping.h"
#include "reminders/ReminderItem.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

class TIniFile;

// Calendar files (iCalendar, RFC 5545) beside the exchange file: export of
// chosen reminders as events and import of events as reminders. Parsing and
// writing go through the libical module (ical/IcalModule.h).

// What a calendar file may hold at most: larger ones are refused before
// they are parsed.
inline constexpr size_t kMostCalendarBytes = size_t{16} << 20;
inline constexpr size_t kMostCalendarLine = size_t{64} << 10;
inline constexpr size_t kMostCalendarEvents = 20'000;
inline constexpr int kMostCalendarDepth = 8;

// Whether the text is a calendar: its first line that is not blank (after a
// byte order mark) is BEGIN:VCALENDAR.
bool looksLikeCalendar(std::string_view text);
// The same for the beginning of a file (false when it cannot be read).
bool isCalendarFile(const std::string& path);
// Why the text is refused before it is parsed (too large, too many events,
// a line too long once unfolded, not UTF-8, components not closed or
// nested too deep);
// empty when it may be parsed.
std::string calendarTextProblem(std::string_view text);

// The UIDs of the data file's items 1 … N: the stored Uid of an imported
// one, else one made from its date, time, message and lunar keys, with
// "-2", "-3", … for further items of the same keys. The same reminder gets
// the same UID at every export.
std::vector<std::string> itemUids(const TIniFile& data);

struct CalendarExport {
    int32_t written = 0;
    int32_t neverFiring = 0; // reminders that fire on no day: not written
};
// Writes the items (numbers 1 … N) as one VEVENT each into a new calendar
// file at `path`, replacing it atomically; DTSTART lies on or after `today`
// as eventOf() says, DTSTAMP is `stampUtc`. Throws UserError, leaving
// the file as it was.
CalendarExport exportCalendar(const TIniFile& data, const std::vector<int32_t>& items,
                              const std::string& path, const Date& today, int64_t stampUtc);

// The events and to-dos of the calendar file, checked (calendarTextProblem)
// and parsed by the module; a file whose lines end in CR alone is read as
// well. Throws UserError.
std::vector<CalendarEvent> readCalendarEvents(const std::string& path, int64_t nowUtc);

struct SkippedEvent {
    std::string summary;
    SkipReason reason;
    std::string detail; // see skipReasonText()
};
struct CalendarImport {
    std::vector<ReminderItem> items; // what would be added, in the file's order
    std::vector<std::string> uids;   // the UID of each
    std::vector<SkippedEvent> skipped;
};
// Reads the calendar file and maps its events as of `now`; an event whose
// UID is one of the data file's itemUids(), or an earlier event's of the
// file, is skipped as known. An event without UID gets one made from its
// start, rules and summary, so that the same event is known on the next
// import. A file whose lines end in CR alone is read as well. Throws
// UserError (nothing to import then).
CalendarImport readCalendar(const std::string& path, const TIniFile& data, const ClockReading& now);

// Appends the read reminders as importItems() does, each with its Uid.
int32_t importCalendar(TIniFile& data, const CalendarImport& calendar, ActingItems acting);

} // namespace kelvo
