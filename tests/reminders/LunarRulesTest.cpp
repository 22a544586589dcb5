#include "EngineHarness.h"

#include "lunar/Calendar.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

using Dates = std::vector<Date>;

ItemSchedule lunarItem(const Date& first, LunarRepeat repeat, int hour = 9, int min = 0) {
    ItemSchedule item{first.year, first.month, first.day, hour, min, 0, 0};
    item.lunar = repeat;
    return item;
}

constexpr LunarRepeat yearly(int32_t month, int32_t day, bool leap = false) {
    return LunarRepeat{LunarRepeat::kYearly, month, day, leap};
}

// The days in [from, to] on which the item fires at its set time, each day's minute check run on
// the injected clock.
Dates firingDays(const ItemSchedule& item, const Date& from, const Date& to) {
    EngineHarness h(DateTime{from, 0, 0});
    Dates days;
    h.onFire = [&](int32_t, bool) { days.push_back(h.clock.now().date); };
    h.engine.setItems({item});
    for (Date d = from; d <= to; d = addDays(d, 1)) {
        h.clock.set(DateTime{d, item.hour, item.min});
        h.engine.minuteCheck();
    }
    return days;
}

TEST(LunarRules, MidAutumnEveryYearFromItsFirstOccurrence) {
    const ItemSchedule item = lunarItem(Date{2026, 9, 25}, yearly(8, 15));
    Dates expected;
    for (int year = 2026; year < 2056; ++year)
        expected.push_back(LunarToSolar(TLunarDate{year, 8, 15, false}));
    EXPECT_EQ(firingDays(item, Date{2025, 1, 1}, Date{2056, 6, 30}), expected);
}

TEST(LunarRules, DayThirtyFallsOnTheLastDayOfA29DayMonth) {
    const ItemSchedule item = lunarItem(Date{1902, 2, 7}, yearly(12, 30));
    ASSERT_EQ(SolarToLunar(Date{1902, 2, 7}), (TLunarDate{1901, 12, 29, false}));
    Dates expected;
    int shortYears = 0;
    for (int year = 1901; year <= 2099; ++year) {
        const int last = LunarMonthDays(year, 12);
        shortYears += last == 29;
        expected.push_back(LunarToSolar(TLunarDate{year, 12, last, false}));
    }
    EXPECT_GT(shortYears, 50);
    EXPECT_EQ(firingDays(item, kFirstLunarSolarDate, Date{2100, 12, 31}), expected);
}

TEST(LunarRules, LeapMonthEntryFallsInTheRegularMonthOfOtherYears) {
    ASSERT_EQ(LunarLeapMonth(2020), 4);
    ASSERT_EQ(LunarLeapMonth(2023), 2);
    const ItemSchedule leapEntry = lunarItem(Date{2020, 5, 23}, yearly(4, 1, true));
    EXPECT_EQ(firingDays(leapEntry, Date{2020, 1, 1}, Date{2023, 12, 31}),
              (Dates{{2020, 5, 23},
                     LunarToSolar({2021, 4, 1, false}),
                     LunarToSolar({2022, 4, 1, false}),
                     LunarToSolar({2023, 4, 1, false})}));
    // A regular-month entry never falls in the leap month that follows it.
    const ItemSchedule regular = lunarItem(Date{2020, 4, 23}, yearly(4, 1));
    EXPECT_EQ(firingDays(regular, Date{2020, 1, 1}, Date{2020, 12, 31}), (Dates{{2020, 4, 23}}));
}

TEST(LunarRules, FirstOfEveryLunarMonthLeapMonthIncluded) {
    const ItemSchedule item =
        lunarItem(Date{2020, 1, 25}, LunarRepeat{LunarRepeat::kMonthly, 0, 1, false}, 7, 0);
    const Dates days = firingDays(item, Date{2020, 1, 25}, Date{2021, 2, 11});
    ASSERT_EQ(days.size(), 13u);
    for (const Date& d : days)
        EXPECT_EQ(SolarToLunar(d).Day, 1);
    EXPECT_EQ(days[4], (Date{2020, 5, 23})); // 闰四月初一
}

TEST(LunarRules, NothingFallsAfterTheCalendarEnds) {
    const ItemSchedule item =
        lunarItem(Date{2099, 12, 22}, LunarRepeat{LunarRepeat::kMonthly, 0, 30, false});
    EXPECT_EQ(
        firingDays(item, Date{2099, 12, 1}, Date{2101, 12, 31}),
        (Dates{LunarToSolar({2099, 11, LunarMonthDays(2099, 11), false}), kLastLunarSolarDate}));
}

TEST(LunarRules, AReaderOfTheDateKeysAloneFiresOnceOnTheFirstOccurrence) {
    ItemSchedule item = lunarItem(Date{2026, 9, 25}, yearly(8, 15));
    item.lunar = LunarRepeat{};
    EXPECT_EQ(firingDays(item, Date{2026, 1, 1}, Date{2030, 12, 31}), (Dates{{2026, 9, 25}}));
}

TEST(LunarRules, AdvanceHourAndStartRulesWorkOnLunarDays) {
    // 00:05 with ten minutes' warning: no warning before midnight of 八月十五.
    EngineHarness midnight(DateTime{Date{2026, 9, 24}, 23, 0});
    ItemSchedule early = lunarItem(Date{2026, 9, 25}, yearly(8, 15), 0, 5);
    early.rdBefore = 10;
    midnight.engine.setItems({early});
    midnight.runMinutes(120);
    EXPECT_EQ(midnight.fired, (std::vector<Fired>{{0, 5, 1, false}}));

    // At start and on the hour, on the lunar day only.
    EngineHarness day(DateTime{Date{2027, 9, 15}, 7, 59});
    ItemSchedule atStart = lunarItem(Date{2026, 9, 25}, yearly(8, 15), 9, 30);
    atStart.mindMethod = 3;
    atStart.rdBefore = 5;
    day.engine.setItems({atStart});
    day.engine.startCheck();
    day.runMinutes(92);
    EXPECT_EQ(day.fired, (std::vector<Fired>{{7, 59, 1, false},
                                             {8, 0, 1, false},
                                             {9, 0, 1, false},
                                             {9, 25, 1, true},
                                             {9, 30, 1, false}}));
    EngineHarness otherDay(DateTime{Date{2027, 9, 16}, 0, 0});
    otherDay.engine.setItems({atStart});
    otherDay.engine.startCheck();
    otherDay.runMinutes(24 * 60);
    EXPECT_TRUE(otherDay.fired.empty());
}

} // namespace
} // namespace kelvo::test
