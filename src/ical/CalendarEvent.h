#pragma once

#include "core/DateTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelvo {

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

// One VEVENT: what Kelvo writes of a reminder and reads back.
struct CalendarEvent {
    std::string uid;
    std::optional<DateTime> start; // DTSTART as local wall time
    bool allDay = false;           // DTSTART was a date
    std::string summary;
    std::vector<CalendarRule> rules;
    std::vector<DateTime> exdates, rdates; // as local wall times
    bool changedOccurrences = false;       // RECURRENCE-ID: this or another event changes some
    bool damaged = false;                  // a property the reader could not make sense of
    // The relative alarms (TRIGGER before the start), in minutes before it.
    std::vector<int32_t> alarmsBefore;
    // The X-KELVO-… properties, name and value.
    std::vector<std::pair<std::string, std::string>> properties;
    bool operator==(const CalendarEvent&) const = default;
};

} // namespace kelvo
