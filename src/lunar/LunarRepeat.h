#pragma once

#include "core/DateTime.h"
#include "lunar/Calendar.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvo {

// A reminder that repeats by the lunar calendar: every lunar year on a lunar month and day, or
// every lunar month (leap months included) on a lunar day.
struct LunarRepeat {
    static constexpr int32_t kNone = 0;
    static constexpr int32_t kYearly = 1;
    static constexpr int32_t kMonthly = 2;

    int32_t cycle = kNone;
    int32_t month = 0; // 1 … 12 for a yearly repetition; 0 for a monthly one
    int32_t day = 0;   // 1 … 30; a 30 falls on the 29th of a 29-day month
    bool leap = false; // a yearly one entered in the leap month that follows `month`

    bool active() const { return cycle == kYearly || cycle == kMonthly; }
    bool operator==(const LunarRepeat&) const = default;
};

// Whether the repetition falls on a day whose lunar date is `today` (not valid: a day outside
// the calendar's range, on which nothing lunar falls). A yearly one entered in a leap month falls
// in that leap month in years that have it and in the regular month of the number in others; one
// entered in a regular month never falls in the leap month after it.
bool lunarRepeatFalls(const LunarRepeat& repeat, const TLunarDate& today);

// The repetition of the lunar date of `first` by `cycle`. `kept` is the stored repetition of an
// item being changed: when it still falls on `first`, its day (a 30 falling on a 29th) and, for a
// yearly one, its month and leap flag stay.
LunarRepeat lunarRepeatOn(const Date& first, int32_t cycle, const LunarRepeat& kept = {});

// "农历每年 八月 十五", "农历每年 闰四月 初一", "农历每月 初一"; empty when not active.
std::string lunarRepeatText(const LunarRepeat& repeat);

// The lunar date of the last day it was asked for, kept so that a check over many reminders
// converts each day once.
class LunarDayCache {
public:
    const TLunarDate& of(const Date& date) {
        if (!m_valid || date != m_date) {
            m_date = date;
            m_lunar = SolarToLunar(date);
            m_valid = true;
        }
        return m_lunar;
    }

private:
    Date m_date;
    TLunarDate m_lunar;
    bool m_valid = false;
};

} // namespace kelvo
