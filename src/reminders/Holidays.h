#pragma once

// The official calendar of China's public holidays: for every year whose
// arrangement is known (the State Council's notice of that year), its days
// off and the weekend days that are working days instead (调休). The days
// of a year's notice may begin in the last days of the year before.

#include "core/DateTime.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// What the arrangements make of one day: an ordinary day, an official day
// off (休) or a weekend day that is worked (班).
enum class OfficialDay : uint8_t { Ordinary = 0, Off = 1, Work = 2 };

struct ArrangedDay {
    Date date;
    OfficialDay kind = OfficialDay::Off;
    std::string name; // the holiday it belongs to ("春节"); may be empty
    bool operator==(const ArrangedDay&) const = default;
};

// The arrangement of one year, as one notice gives it.
struct YearArrangement {
    int32_t year = 0;
    std::vector<ArrangedDay> days; // in date order
    std::string source;            // where it came from (kBuiltInSource, a file's path)
    bool operator==(const YearArrangement&) const = default;
};

inline constexpr const char* kBuiltInSource = "内置";

class HolidayCalendar {
public:
    // A year's arrangement takes the place of the one of the same year.
    void put(YearArrangement year);
    bool knows(int32_t year) const { return m_years.count(year) != 0; }
    // The day as the arrangements make it; Ordinary in a year none speaks of.
    OfficialDay dayOf(const Date& date) const;
    const std::map<int32_t, YearArrangement>& years() const { return m_years; }

private:
    void mark(const ArrangedDay& day);
    // A slot for each possible (month, day) of a calendar year.
    using YearDays = std::array<OfficialDay, 12 * 31>;
    std::map<int32_t, YearArrangement> m_years;
    std::map<int32_t, YearDays> m_days; // by calendar year, every arrangement applied
};

// The arrangements built into the program (data/holidays-cn.txt): its text,
// and the calendar read from it once.
std::string_view builtInHolidayText();
const HolidayCalendar& builtInHolidays();

// The calendar the reminder rules use: the built-in one unless the program
// has put another in its place (the built-in years with the user's own over
// them, storage/HolidayFile.h). One per process, changed on the thread that
// runs the rules.
const HolidayCalendar& holidayCalendar();
void useHolidayCalendar(HolidayCalendar calendar);

// The built-in calendar with `own` taking the place of the years it holds.
HolidayCalendar withOwnYears(const std::vector<YearArrangement>& own);

} // namespace kelvo
