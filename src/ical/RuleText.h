#pragma once

// Header only: the calendar module writes rules with it too.
#include "ical/CalendarEvent.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace kelvo {
namespace ruletext {

inline std::string twoDigits(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

inline std::string untilText(const DateTime& t) {
    return std::to_string(t.date.year) + twoDigits(t.date.month) + twoDigits(t.date.day) + "T" +
           twoDigits(t.hour) + twoDigits(t.minute) + twoDigits(t.second);
}

inline std::string numberList(const std::vector<int32_t>& numbers, std::string_view suffix = {}) {
    std::string text;
    for (int32_t n : numbers)
        text += (text.empty() ? "" : ",") + std::to_string(n) + std::string(suffix);
    return text;
}

inline std::string_view freqName(CalendarRule::Freq freq) {
    constexpr std::string_view names[] = {"SECONDLY", "MINUTELY", "HOURLY", "DAILY",
                                          "WEEKLY",   "MONTHLY",  "YEARLY"};
    return names[static_cast<int>(freq)];
}

} // namespace ruletext

// The RRULE value of a rule: "FREQ=YEARLY;BYMONTHDAY=24;BYMONTH=12".
inline std::string ruleText(const CalendarRule& rule) {
    constexpr std::string_view days[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
    std::string text;
    if (!rule.rscale.empty())
        text += "RSCALE=" + rule.rscale + ";";
    text += "FREQ=" + std::string(ruletext::freqName(rule.freq));
    if (rule.until)
        text += ";UNTIL=" + ruletext::untilText(*rule.until);
    if (rule.count > 0)
        text += ";COUNT=" + std::to_string(rule.count);
    if (rule.interval > 1)
        text += ";INTERVAL=" + std::to_string(rule.interval);
    if (!rule.byDay.empty()) {
        std::string list;
        for (int32_t d : rule.byDay)
            list += (list.empty() ? "" : ",") + std::string(days[d]);
        text += ";BYDAY=" + list;
    }
    if (!rule.byMonthDay.empty())
        text += ";BYMONTHDAY=" + ruletext::numberList(rule.byMonthDay);
    if (!rule.byMonth.empty())
        text += ";BYMONTH=" + ruletext::numberList(rule.byMonth, rule.leapMonth ? "L" : "");
    if (rule.skipBackward)
        text += ";SKIP=BACKWARD";
    return text;
}

} // namespace kelvo
