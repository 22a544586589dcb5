#include "lunar/LunarNames.h"

#include <cstddef>

namespace kelvo {

const std::array<std::string_view, 32> ChineseNumerals = {
    "",       "一",     "二",     "三",     "四",     "五",     "六",     "七",
    "八",     "九",     "十",     "十一",   "十二",   "十三",   "十四",   "十五",
    "十六",   "十七",   "十八",   "十九",   "二十",   "二十一", "二十二", "二十三",
    "二十四", "二十五", "二十六", "二十七", "二十八", "二十九", "三十",   "三十一",
};

const std::array<std::string_view, 11> LunarDayNames = {
    "", "初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八", "初九", "初十",
};

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

std::string monthItem(int month, bool isLeap) {
    std::string item = isLeap ? "闰" : "";
    item += ChineseNumerals[static_cast<std::size_t>(month)];
    item += "月";
    return item;
}

std::string dayItem(int day) {
    if (day <= 10) {
        return std::string(LunarDayNames[static_cast<std::size_t>(day)]);
    }
    return std::string(ChineseNumerals[static_cast<std::size_t>(day)]) + "日";
}

} // namespace

std::string lunarYearItem(int year) {
    return std::to_string(year) + "年";
}

std::vector<std::string> lunarMonthItems(int year) {
    const int leapMonth = LunarLeapMonth(year);
    std::vector<std::string> items;
    for (int month = 1; month <= 12; ++month) {
        items.push_back(monthItem(month, false));
        if (month == leapMonth) {
            items.push_back(monthItem(month, true));
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
        items.push_back(dayItem(day));
    }
    return items;
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
