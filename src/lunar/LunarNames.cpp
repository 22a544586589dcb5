#include "lunar/LunarNames.h"

#include <cstddef>

namespace kelvo {

namespace {

constexpr std::array<std::string_view, 13> kLunarMonthNames = {
    "",     "正月", "二月", "三月", "四月", "五月", "六月",
    "七月", "八月", "九月", "十月", "冬月", "腊月",
};

constexpr std::array<std::string_view, 31> kLunarDayNames = {
    "",     "初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八", "初九", "初十",
    "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八", "十九", "二十", "廿一",
    "廿二", "廿三", "廿四", "廿五", "廿六", "廿七", "廿八", "廿九", "三十",
};

} // namespace

std::string lunarYearItem(int year) {
    return std::to_string(year) + "年";
}

std::vector<std::string> lunarMonthItems(int year) {
    const int leapMonth = LunarLeapMonth(year);
    std::vector<std::string> items;
    for (int month = 1; month <= 12; ++month) {
        items.push_back(lunarMonthName(month, false));
        if (month == leapMonth) {
            items.push_back(lunarMonthName(month, true));
        }
    }
    return items;
}

LunarMonthChoice lunarMonthAt(int year, int position) {
    const int k = position + 1;
    const int leapMonth = LunarLeapMonth(year);
    if (leapMonth == 0 || k <= leapMonth) {
        return {k, false};
    }
    if (k == leapMonth + 1) {
        return {leapMonth, true};
    }
    return {k - 1, false};
}

std::vector<std::string> lunarDayItems(int monthDays) {
    constexpr int kLongestMonth = 30;
    std::vector<std::string> items;
    for (int day = 1; day <= monthDays && day <= kLongestMonth; ++day) {
        items.emplace_back(lunarDayName(day));
    }
    return items;
}

int lunarMonthPosition(int year, const LunarMonthChoice& month) {
    const int leapMonth = LunarLeapMonth(year);
    return leapMonth != 0 && (month.isLeap || month.month > leapMonth) ? month.month
                                                                       : month.month - 1;
}

TLunarDate lunarDateAt(int yearPosition, int monthPosition, int dayPosition) {
    const int year = kFirstListedLunarYear + yearPosition;
    const LunarMonthChoice month = lunarMonthAt(year, monthPosition);
    return TLunarDate{year, month.month, dayPosition + 1, month.isLeap};
}

std::string solarDateNotice(const Date& date) {
    return "对应的公历日为：" + std::to_string(date.year) + "年" + std::to_string(date.month) +
           "月" + std::to_string(date.day) + "日";
}

std::string lunarMonthName(int month, bool isLeap) {
    if (month < 1 || month > 12) {
        return {};
    }
    return (isLeap ? "闰" : "") + std::string(kLunarMonthNames[static_cast<std::size_t>(month)]);
}

std::string_view lunarDayName(int day) {
    return day < 1 || day > 30 ? std::string_view() : kLunarDayNames[static_cast<std::size_t>(day)];
}

std::string lunarDateName(const TLunarDate& date) {
    if (!IsValidLunarDate(date)) {
        return {};
    }
    return "农历" + lunarMonthName(date.Month, date.IsLeap) + std::string(lunarDayName(date.Day));
}

} // namespace kelvo
