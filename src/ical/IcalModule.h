#pragma once

#include "ical/CalendarEvent.h"

#include <cstdint>
#include <stdexcept>
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
};
inline constexpr int32_t kIcalModuleVersion = 3;
inline constexpr const char* kIcalModuleEntry = "kelvo_ical_module";
inline constexpr const char* kIcalModuleFile = "kelvo_ical.so";

// A calendar file that cannot be read or written; the message says why, for
// the user.
class CalendarError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The module, loaded at the first call from beside the running program or
// from ../lib/kelvo (installed). Throws CalendarError when it cannot be
// loaded, every time it is asked.
const IcalModuleApi& icalModule();

} // namespace kelvo
