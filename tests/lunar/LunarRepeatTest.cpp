#include "lunar/LunarRepeat.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {

constexpr LunarRepeat yearly(int32_t month, int32_t day, bool leap = false) {
    return LunarRepeat{LunarRepeat::kYearly, month, day, leap};
}

constexpr LunarRepeat monthly(int32_t day) {
    return LunarRepeat{LunarRepeat::kMonthly, 0, day, false};
}

} // namespace

TEST(LunarRepeat, RepetitionOfTheLunarDateOfAGregorianDay) {
    // 2026-09-25 is 八月十五; 2020-05-23 is 闰四月初一.
    EXPECT_EQ(lunarRepeatOn(Date{2026, 9, 25}, LunarRepeat::kYearly), yearly(8, 15));
    EXPECT_EQ(lunarRepeatOn(Date{2026, 9, 25}, LunarRepeat::kMonthly), monthly(15));
    EXPECT_EQ(lunarRepeatOn(Date{2020, 5, 23}, LunarRepeat::kYearly), yearly(4, 1, true));
    EXPECT_EQ(lunarRepeatOn(Date{2020, 5, 23}, LunarRepeat::kMonthly), monthly(1));
}

TEST(LunarRepeat, AStoredRepetitionThatStillFallsOnTheDayIsKept) {
    // 腊月三十 whose first occurrence is a 29-day 腊月's 廿九 (2027-02-05, lunar 2026-12-29).
    ASSERT_EQ(SolarToLunar(Date{2027, 2, 5}), (TLunarDate{2026, 12, 29, false}));
    ASSERT_EQ(LunarMonthDays(2026, 12), 29);
    EXPECT_EQ(lunarRepeatOn(Date{2027, 2, 5}, LunarRepeat::kYearly, yearly(12, 30)),
              yearly(12, 30));
    EXPECT_EQ(lunarRepeatOn(Date{2027, 2, 5}, LunarRepeat::kMonthly, yearly(12, 30)), monthly(30));
    // 闰四月初一 falling on the regular 四月初一 of 2021.
    EXPECT_EQ(lunarRepeatOn(Date{2021, 5, 12}, LunarRepeat::kYearly, yearly(4, 1, true)),
              yearly(4, 1, true));
    // A date moved elsewhere takes the lunar date of the new day.
    EXPECT_EQ(lunarRepeatOn(Date{2027, 2, 4}, LunarRepeat::kYearly, yearly(12, 30)),
              yearly(12, 28));
}

TEST(LunarRepeat, NothingFallsOutsideTheCalendar) {
    EXPECT_FALSE(lunarRepeatFalls(monthly(1), SolarToLunar(Date{2100, 2, 9})));
    EXPECT_FALSE(lunarRepeatFalls(monthly(1), TLunarDate{}));
    EXPECT_TRUE(lunarRepeatFalls(monthly(30), SolarToLunar(kLastLunarSolarDate)));
}

TEST(LunarRepeat, TextsOfTheRepetitions) {
    EXPECT_EQ(lunarRepeatText(yearly(8, 15)), "农历每年 八月 十五");
    EXPECT_EQ(lunarRepeatText(yearly(4, 1, true)), "农历每年 闰四月 初一");
    EXPECT_EQ(lunarRepeatText(yearly(12, 30)), "农历每年 腊月 三十");
    EXPECT_EQ(lunarRepeatText(monthly(1)), "农历每月 初一");
    EXPECT_EQ(lunarRepeatText(LunarRepeat{}), "");
}
