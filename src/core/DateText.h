#pragma once

#include "core/DateTime.h"

#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// "YYYY-MM-DD" and "YYYY-MM-DD HH:MM" with real calendar dates only.
std::optional<Date> parseDate(std::string_view text);
std::optional<DateTime> parseDateTime(std::string_view text);

std::string formatDate(const Date& date);
std::string formatDateTime(const DateTime& t);

} // namespace kelvo
