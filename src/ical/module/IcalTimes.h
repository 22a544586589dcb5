#pragma once

// Times and rules of the calendar module's reader: libical's values as
// local wall times.
#include "ical/CalendarEvent.h"

#include <libical/ical.h>

#include <ctime>
#include <map>
#include <optional>
#include <string>

namespace kelvo::icalcodec {

// A time of a property as local wall time.
struct WallTime {
    std::optional<DateTime> wall; // nullopt: absent, or not a moment
    bool isDate = false;
    bool noSuchDay = false; // a day no month has (30 February), otherwise well formed
    int shift = 0;          // how many days the zone moved the date
    const icaltimezone* zone = nullptr;
    std::string unknownZone; // a TZID that names no zone
};

// `t` of `property` (for its TZID) converted to local wall time: through
// the zone it names (a VTIMEZONE of the file, or the system's zone of that
// name), UTC through the C library; a floating time and a date stay as
// they are.
WallTime wallTimeOf(icalproperty* property, icaltimetype t);

// The rule of an RRULE (or of Kelvo's own lunar property). A COUNT of a
// Gregorian rule also gives UNTIL, its last occurrence from `start`.
CalendarRule ruleOf(const icalrecurrencetype& r, icalproperty* property, const WallTime& start,
                    icaltimetype startTime);

// Whether the local wall time or day of a rule's occurrences from `now` on
// (for some years) differs from DTSTART's, as in another zone whose daylight
// saving time differs from local time's. It remembers for each zone whether
// its offset from local time stays the same all that time, which settles
// most series at once.
class LocalTimeCheck {
public:
    explicit LocalTimeCheck(std::time_t now) : m_now(now) {}
    bool moves(const icalrecurrencetype& r, icaltimetype startTime, const WallTime& start);

private:
    std::optional<int> steadyDifference(const icaltimezone* zone);
    bool occurrencesMove(const icalrecurrencetype& r, icaltimetype startTime,
                         const WallTime& start) const;
    std::time_t m_now;
    std::map<const icaltimezone*, std::optional<int>> m_steady;
};

} // namespace kelvo::icalcodec
