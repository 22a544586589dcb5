#include "lunar/LunarNames.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace kelvo;
using testing::ElementsAre;

TEST(LunarNames, YearWithoutLeapMonthHasTwelveMonths) {
    EXPECT_EQ(lunarYearItem(2000), "2000年");
    EXPECT_THAT(lunarMonthItems(2000), ElementsAre("正月", "二月", "三月", "四月", "五月", "六月",
                                                   "七月", "八月", "九月", "十月", "冬月", "腊月"));
    for (int position = 0; position < 12; ++position) {
        EXPECT_EQ(lunarMonthAt(2000, position), (LunarMonthChoice{position + 1, false}));
        EXPECT_EQ(lunarMonthPosition(2000, {position + 1, false}), position);
    }
}

TEST(LunarNames, LeapMonthStandsAfterItsRegularMonth) {
    const auto months2023 = lunarMonthItems(2023);
    ASSERT_EQ(months2023.size(), 13u);
    EXPECT_EQ(months2023[1], "二月");
    EXPECT_EQ(months2023[2], "闰二月");
    EXPECT_EQ(months2023[3], "三月");
    EXPECT_EQ(months2023[12], "腊月");
    EXPECT_EQ(lunarMonthAt(2023, 1), (LunarMonthChoice{2, false}));
    EXPECT_EQ(lunarMonthAt(2023, 2), (LunarMonthChoice{2, true}));
    EXPECT_EQ(lunarMonthAt(2023, 3), (LunarMonthChoice{3, false}));
    EXPECT_EQ(lunarMonthAt(2023, 12), (LunarMonthChoice{12, false}));

    const auto months2033 = lunarMonthItems(2033);
    ASSERT_EQ(months2033.size(), 13u);
    EXPECT_THAT(std::vector(months2033.end() - 3, months2033.end()),
                ElementsAre("冬月", "闰冬月", "腊月"));
    EXPECT_EQ(lunarMonthAt(2033, 11), (LunarMonthChoice{11, true}));
    // Every position names the month it maps to, and maps back.
    for (int year : {2023, 2033}) {
        const auto items = lunarMonthItems(year);
        for (int position = 0; position < static_cast<int>(items.size()); ++position) {
            const LunarMonthChoice month = lunarMonthAt(year, position);
            EXPECT_EQ(items[position], lunarMonthName(month.month, month.isLeap));
            EXPECT_EQ(lunarMonthPosition(year, month), position);
        }
    }
}

TEST(LunarNames, DayListsEndByTheMonthLength) {
    const auto longMonth = lunarDayItems(30);
    ASSERT_EQ(longMonth.size(), 30u);
    EXPECT_EQ(longMonth.front(), "初一");
    EXPECT_EQ(longMonth[9], "初十");
    EXPECT_EQ(longMonth[10], "十一");
    EXPECT_EQ(longMonth[14], "十五");
    EXPECT_EQ(longMonth[19], "二十");
    EXPECT_EQ(longMonth[20], "廿一");
    EXPECT_EQ(longMonth[28], "廿九");
    EXPECT_EQ(longMonth[29], "三十");
    const auto shortMonth = lunarDayItems(29);
    ASSERT_EQ(shortMonth.size(), 29u);
    EXPECT_EQ(shortMonth.back(), "廿九");
    EXPECT_EQ(lunarDayItems(LunarLeapMonthDays(2023)).size(), 29u);
    EXPECT_EQ(lunarDayItems(99).size(), 30u);
}

TEST(LunarNames, ListPositionsConvertToTheGregorianDay) {
    EXPECT_EQ(solarDateNotice(LunarToSolar(lunarDateAt(0, 0, 0))), "对应的公历日为：2000年2月5日");
    EXPECT_EQ(LunarToSolar(lunarDateAt(23, 2, 0)), (Date{2023, 3, 22}));   // 闰二月 初一
    EXPECT_EQ(LunarToSolar(lunarDateAt(23, 3, 0)), (Date{2023, 4, 20}));   // 三月 初一
    EXPECT_EQ(LunarToSolar(lunarDateAt(33, 11, 0)), (Date{2033, 12, 22})); // 闰十一月 初一
    const int last = kLastListedLunarYear - kFirstListedLunarYear;
    EXPECT_EQ(solarDateNotice(LunarToSolar(lunarDateAt(last, 12, 29))),
              "对应的公历日为：2100年2月8日"); // 2099 has a leap month: 十二月 is item 13
}

TEST(LunarNames, CalendarNamesOfLunarDates) {
    EXPECT_EQ(lunarMonthName(1, false), "正月");
    EXPECT_EQ(lunarMonthName(11, false), "冬月");
    EXPECT_EQ(lunarMonthName(12, false), "腊月");
    EXPECT_EQ(lunarMonthName(4, true), "闰四月");
    EXPECT_EQ(lunarDayName(1), "初一");
    EXPECT_EQ(lunarDayName(10), "初十");
    EXPECT_EQ(lunarDayName(15), "十五");
    EXPECT_EQ(lunarDayName(20), "二十");
    EXPECT_EQ(lunarDayName(21), "廿一");
    EXPECT_EQ(lunarDayName(29), "廿九");
    EXPECT_EQ(lunarDayName(30), "三十");
    EXPECT_EQ(lunarDateName(TLunarDate{2026, 10, 29, false}), "农历十月廿九");
    EXPECT_EQ(lunarDateName(TLunarDate{2020, 4, 1, true}), "农历闰四月初一");
    EXPECT_EQ(lunarDateName(TLunarDate{2020, 5, 1, true}), "");
    EXPECT_EQ(lunarDateName(TLunarDate{}), "");
}
