#pragma once

#include "ical/CalendarEvent.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

// The calendar module kelvo_ical.so reads and writes iCalendar text with
// libical, so that neither program loads libical before a calendar file is
// used. Only plain C++ data crosses; nothing is thrown across.
struct IcalModuleApi {
    int32_t version;
    // Every VEVENT and VTODO of the text, in order; false and `error` when
    // the text is no calendar. Whether an event's local time moves with
    // its zone is told by its occurrences from `nowUtc` (seconds since 1970
    // UTC) on.
    bool (*read)(const std::string& text, int64_t nowUtc, std::vector<CalendarEvent>& events,
                 std::string& error);
    // A VCALENDAR of the events, DTSTAMP the moment `stampUtc`; false and
    // `error` when libical refuses an event.
    bool (*write)(const std::vector<CalendarEvent>& events, int64_t stampUtc, std::string& text,
                  std::string& error);
    // The calendar object `text` (one event, maybe with RECURRENCE-ID
    // overrides) with its master event's acknowledgement and snooze set as
    // write() sets them (see CalendarEvent::acknowledged, snoozedUntil), all
    // else as it was; false and `error` when the text is no calendar or has
    // no event.
    bool (*acknowledge)(const std::string& text, int64_t acknowledged, int64_t snoozedUntil,
                        std::string& out, std::string& error);
};
inline constexpr int32_t kIcalModuleVersion = 4;
inline constexpr const char* kIcalModuleEntry = "kelvo_ical_module";
inline constexpr const char* kIcalModuleFile = "kelvo_ical.so";

// The module's calls, the one place where its plain answers become errors:
// each throws UserError naming the calendar file `path` when the module
// refuses, and when it cannot be loaded (from beside the running program or
// from ../lib/kelvo, installed; loaded at the first call, asked again at
// none after).

// The loaded module itself, for callers that take its plain answers one by
// one (a calendar object that does not read is left alone, not an error);
// throws UserError naming `path` when it cannot be loaded.
const IcalModuleApi& icalModule(const std::string& path = {});

// The events of the calendar text read from `path` (see read()).
std::vector<CalendarEvent> calendarEvents(const std::string& text, int64_t nowUtc,
                                          const std::string& path);
// The calendar text of the events, to be written to `path` (see write()).
std::string calendarText(const std::vector<CalendarEvent>& events, int64_t stampUtc,
                         const std::string& path);

} // namespace kelvo
