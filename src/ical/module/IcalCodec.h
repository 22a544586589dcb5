#pragma once

#include "ical/CalendarEvent.h"

#include <cstdint>
#include <string>
#include <vector>

// The two halves of the calendar module (see ical/IcalModule.h).
namespace kelvo::icalcodec {

bool read(const std::string& text, int64_t nowUtc, std::vector<CalendarEvent>& events,
          std::string& error);
bool write(const std::vector<CalendarEvent>& events, int64_t stampUtc, std::string& text,
           std::string& error);
bool acknowledge(const std::string& text, int64_t acknowledged, int64_t snoozedUntil,
                 std::string& out, std::string& error);

} // namespace kelvo::icalcodec
