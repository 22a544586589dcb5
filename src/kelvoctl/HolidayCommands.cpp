#include "kelvoctl/HolidayCommands.h"

#include "core/DateText.h"
#include "core/UserError.h"
#include "ical/HolidayImport.h"
#include "kelvoctl/Json.h"
#include "reminders/HolidayText.h"
#include "reminders/Holidays.h"
#include "reminders/ItemTexts.h"

#include <iostream>

namespace kelvo::ctl {
namespace {

int count(const YearArrangement& year, OfficialDay kind) {
    int n = 0;
    for (const ArrangedDay& d : year.days)
        n += d.kind == kind;
    return n;
}

void listYears(bool json, std::ostream& out) {
    for (const auto& [number, year] : holidayCalendar().years()) {
        const int off = count(year, OfficialDay::Off), work = count(year, OfficialDay::Work);
        if (json)
            out << JsonObject()
                       .number("Year", number)
                       .number("Off", off)
                       .number("Work", work)
                       .text("Source", year.source)
                       .str()
                << '\n';
        else
            out << number << "\t休 " << off << " 天，班 " << work << " 天\t" << year.source << '\n';
    }
}

} // namespace

void listHolidays(int32_t year, bool json, std::ostream& out) {
    if (year == 0)
        return listYears(json, out);
    const auto& years = holidayCalendar().years();
    const auto it = years.find(year);
    if (it == years.end())
        throw UserError({}, std::to_string(year) + "年的节假日安排还没有导入");
    for (const ArrangedDay& d : it->second.days) {
        if (json)
            out << JsonObject()
                       .text("Date", formatDate(d.date))
                       .text("Kind", officialDayMark(d.kind))
                       .text("Name", d.name)
                       .text("Source", it->second.source)
                       .str()
                << '\n';
        else
            out << formatDate(d.date) << '\t' << officialDayMark(d.kind) << '\t' << d.name << '\n';
    }
}

void importHolidays(const std::string& file, const std::string& holidaysPath, std::ostream& out) {
    const HolidayImport import = importHolidayFile(file, holidaysPath);
    if (!import.error.empty())
        throw UserError(file, "holidays import: " + import.error + "（没有导入任何安排）");
    out << holidayImportText(import) << '\n';
}

bool MissingYears::note(const ItemSchedule& item, const Date& day) {
    if (item.official == OfficialRule::None || holidayCalendar().knows(day.year))
        return false;
    m_years.emplace(day.year, item.official);
    return true;
}

void MissingYears::tell(std::ostream& err) const {
    for (const auto& [year, rule] : m_years)
        warnMissingYears({year}, rule, err);
}

void warnMissingYears(const std::vector<int32_t>& years, OfficialRule rule, std::ostream& err) {
    for (const int32_t year : years)
        err << "kelvoctl: warning: " << missingYearText(year, rule) << '\n';
}

} // namespace kelvo::ctl
