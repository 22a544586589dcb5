#pragma once

// The plain text form of holiday arrangements, which the built-in table and
// the users' own files share: one day a line, "2027-02-06 休 春节" (休: a day
// off, 班: a worked weekend day, then the holiday's name if any); "#" starts
// a comment line; "[2027]" names the year of the notice the lines after it
// belong to. Without it, a day belongs to its own year, but a day from
// 25 December on to the next year's notice (the New Year days and their
// 调休 are announced with it). A line "Source=…" after "[2027]" says where
// that year came from.

#include "reminders/Holidays.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// A holiday's name is at most this many bytes (the longest published one is 75).
inline constexpr size_t kLongestHolidayName = 120; // 40 characters

// The result of reading days: the years, in order, or the first fault.
struct HolidayRead {
    std::vector<YearArrangement> years;
    std::string error; // "第3行：……"; empty when read
};

HolidayRead readHolidayText(std::string_view text, std::string_view source);

// A day with the year of the notice it belongs to (0: not said).
struct NoticeDay {
    int32_t year = 0;
    ArrangedDay day;
};

// The years of days read from elsewhere (a calendar file), checked as
// readHolidayText checks its lines.
HolidayRead groupIntoYears(const std::vector<NoticeDay>& days, std::string_view source);

// "休" or "班"; and back (nullopt for any other text).
std::string_view officialDayMark(OfficialDay kind);
std::optional<OfficialDay> parseOfficialDayMark(std::string_view text);

// The lines of one year, its "[2027]" and "Source=" first, as readHolidayText
// reads them back.
std::string holidayLines(const YearArrangement& year);

} // namespace kelvo
