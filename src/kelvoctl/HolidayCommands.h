#pragma once

#include "reminders/Schedule.h"

#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace kelvo::ctl {

// holidays list: every year the calendar knows, with its count of days off
// and worked days and where it came from; with a year, its days.
void listHolidays(int32_t year, bool json, std::ostream& out);

// holidays import FILE: the years of a holiday calendar or text file stored
// as the user's own. A file with a fault stores nothing (UserError).
void importHolidays(const std::string& file, const std::string& holidaysPath, std::ostream& out);

// One warning line on `err` for each year without a known arrangement, as
// the windows tell it ("kelvoctl: warning: 2027年的节假日安排还没有导入，…").
void warnMissingYears(const std::vector<int32_t>& years, OfficialRule rule, std::ostream& err);

// The years without holiday data that printed firings of items with an
// official rule fell in, each told once at the end (warnMissingYears).
class MissingYears {
public:
    // Whether the firing of `item` on `day` lacks the data its rule needs.
    bool note(const ItemSchedule& item, const Date& day);
    void tell(std::ostream& err) const;

private:
    std::map<int32_t, OfficialRule> m_years; // the first rule met
};

} // namespace kelvo::ctl
