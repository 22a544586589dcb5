#pragma once

#include "core/DateTime.h"
#include "lunar/Calendar.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// The lunar years the lunar date dialog offers; list position 0 is the first of them.
inline constexpr int kFirstListedLunarYear = 2000;
inline constexpr int kLastListedLunarYear = 2099;

// A month chosen from a year's month list.
struct LunarMonthChoice {
    int month = 1;
    bool isLeap = false;
    bool operator==(const LunarMonthChoice&) const = default;
};

// "2000年".
std::string lunarYearItem(int year);
// The months by their calendar names, "正月" … "冬月", "腊月", with the leap month
// ("闰" before the name) right after its regular month.
std::vector<std::string> lunarMonthItems(int year);
// The month at a position (from 0) of lunarMonthItems(year), and back.
LunarMonthChoice lunarMonthAt(int year, int position);
int lunarMonthPosition(int year, const LunarMonthChoice& month);
// "初一" … "初十", "十一" … "二十", "廿一" … up to the month's length (29 or 30).
std::vector<std::string> lunarDayItems(int monthDays);
// The lunar date chosen by the positions (from 0) in the year, month and day lists.
TLunarDate lunarDateAt(int yearPosition, int monthPosition, int dayPosition);
// "对应的公历日为：2000年2月5日": the notice of the converted Gregorian date.
std::string solarDateNotice(const Date& date);

// The names a calendar gives lunar dates: "正月" … "十月", "冬月", "腊月", with "闰" before a leap
// month; "初一" … "初十", "十一" … "二十", "廿一" … "廿九", "三十".
std::string lunarMonthName(int month, bool isLeap);
std::string_view lunarDayName(int day);
// "农历十月廿九", "农历闰四月初一"; empty for a date that is not valid.
std::string lunarDateName(const TLunarDate& date);

} // namespace kelvo
