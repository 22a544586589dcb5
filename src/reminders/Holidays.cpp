#include "reminders/Holidays.h"

#include "reminders/HolidayText.h"

#include <utility>

namespace kelvo {
namespace {

size_t slotOf(const Date& date) {
    return static_cast<size_t>((date.month - 1) * 31 + date.day - 1);
}

HolidayCalendar& current() {
    static HolidayCalendar calendar = builtInHolidays();
    return calendar;
}

} // namespace

// The text of data/holidays-cn.txt, compiled in (HolidayTable.cpp.in).
extern const char* const kBuiltInHolidayText;

void HolidayCalendar::put(YearArrangement year) {
    const int32_t number = year.year;
    m_years[number] = std::move(year);
    // Rebuilt from every year in order, so that a replaced year leaves no
    // day of its old arrangement behind.
    m_days.clear();
    for (const auto& [y, arrangement] : m_years) {
        for (const ArrangedDay& day : arrangement.days)
            mark(day);
    }
}

void HolidayCalendar::mark(const ArrangedDay& day) {
    auto [it, added] = m_days.try_emplace(day.date.year);
    if (added)
        it->second.fill(OfficialDay::Ordinary);
    it->second[slotOf(day.date)] = day.kind;
}

OfficialDay HolidayCalendar::dayOf(const Date& date) const {
    const auto it = m_days.find(date.year);
    if (it == m_days.end() || date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31)
        return OfficialDay::Ordinary;
    return it->second[slotOf(date)];
}

std::string_view builtInHolidayText() {
    return kBuiltInHolidayText;
}

const HolidayCalendar& builtInHolidays() {
    static const HolidayCalendar calendar = [] {
        HolidayCalendar c;
        // The text is the program's own and checked by its tests: it parses.
        for (YearArrangement& year : readHolidayText(builtInHolidayText(), kBuiltInSource).years)
            c.put(std::move(year));
        return c;
    }();
    return calendar;
}

const HolidayCalendar& holidayCalendar() {
    return current();
}

void useHolidayCalendar(HolidayCalendar calendar) {
    current() = std::move(calendar);
}

HolidayCalendar withOwnYears(const std::vector<YearArrangement>& own) {
    HolidayCalendar calendar = builtInHolidays();
    for (const YearArrangement& year : own)
        calendar.put(year);
    return calendar;
}

} // namespace kelvo
