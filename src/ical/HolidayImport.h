#pragma once

// Holiday arrangements from a file the user chose: an iCalendar holiday
// calendar of the kinds that are published, or the plain text form of
// reminders/HolidayText.h. Nothing of a file with a fault is taken.

#include "reminders/HolidayText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

struct CalendarEvent;

// The days of one calendar event, or nothing when it is no holiday event:
// an all-day event marked X-APPLE-SPECIAL-DAY (WORK-HOLIDAY, ALTERNATE-
// WORKDAY), or titled "…(休)" / "…(班)", "休" / "班", "…假期" / "…放假" / "上班…",
// from DTSTART up to DTEND (without it, one day). A fault (an event of
// more than kLongestHoliday days) is put in `error`.
std::vector<NoticeDay> holidayDaysOf(const CalendarEvent& event, std::string& error);
inline constexpr int kLongestHoliday = 31;

// The years of the file: of a calendar file the days of its holiday events
// (none is a fault), of any other the lines of the text form.
HolidayRead readHolidayFile(const std::string& path);

// What an import did.
struct HolidayImport {
    std::vector<int32_t> years;    // stored, in order
    std::vector<int32_t> replaced; // of them, the years the program had built in
    std::string error;             // nothing stored when not empty
};
// Reads the file and stores its years in the user's holiday file at
// `holidaysPath` (storage/HolidayFile.h); a file with a fault stores
// nothing. Throws IniWriteError when the years cannot be stored.
HolidayImport importHolidayFile(const std::string& file, const std::string& holidaysPath);

// "已导入2027年、2028年的节假日安排" (with "，其中2026年替换了内置的安排").
std::string holidayImportText(const HolidayImport& import);

} // namespace kelvo
