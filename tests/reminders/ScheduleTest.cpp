#include "reminders/Schedule.h"

#include "lunar/Calendar.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

ItemSchedule on(int32_t year, int32_t month, int32_t day, int32_t hour = 9, int32_t min = 0) {
    ItemSchedule s;
    s.year = year, s.month = month, s.day = day, s.hour = hour, s.min = min;
    return s;
}

TEST(DayMatch, WildcardsExactValuesAndWeekdays) {
    const Date monday{2024, 1, 1}, sunday{2024, 1, 7}, wednesday{2024, 1, 3};
    EXPECT_TRUE(fallsOn(on(0, 0, 0), monday));
    EXPECT_TRUE(fallsOn(on(2024, 1, 1), monday));
    EXPECT_FALSE(fallsOn(on(2023, 0, 0), monday));
    EXPECT_FALSE(fallsOn(on(0, 2, 0), monday));
    EXPECT_FALSE(fallsOn(on(0, 0, 2), monday));
    const int32_t monSun = weekdayCode({true, false, false, false, false, false, true});
    EXPECT_TRUE(isWeekly(monSun));
    EXPECT_TRUE(fallsOn(on(0, 0, monSun), monday));
    EXPECT_TRUE(fallsOn(on(0, 0, monSun), sunday));
    EXPECT_FALSE(fallsOn(on(0, 0, monSun), wednesday));
    EXPECT_FALSE(fallsOn(on(2023, 0, monSun), monday));
    for (int32_t day = 32; day <= 255; ++day) {
        for (int d = 1; d <= 7; ++d)
            ASSERT_FALSE(fallsOn(on(0, 0, day), Date{2024, 1, d})) << day;
    }
}

TEST(DayMatch, February29thOnlyInLeapYears) {
    int matches = 0;
    for (Date d{2000, 1, 1}; d.year <= 2100; d = addDays(d, 1)) {
        if (fallsOn(on(0, 2, 29), d)) {
            EXPECT_TRUE(isLeapYear(d.year));
            ++matches;
        }
    }
    EXPECT_EQ(matches, 25); // 2000 … 2096; 2100 is no leap year
}

TEST(DayMatch, WhatRepeats) {
    EXPECT_FALSE(repeats(on(2026, 12, 10)));
    EXPECT_TRUE(repeats(on(0, 12, 10)));
    EXPECT_TRUE(repeats(on(2026, 0, 10)));
    EXPECT_TRUE(repeats(on(2026, 12, 0)));
    EXPECT_TRUE(repeats(on(2026, 12, 255 + 256)));
    ItemSchedule lunar = on(2026, 9, 25);
    lunar.lunar = LunarRepeat{LunarRepeat::kYearly, 8, 15, false};
    EXPECT_TRUE(repeats(lunar));
}

const DateTime kNow{Date{2026, 12, 9}, 3, 0};

TEST(LookAhead, OneTimeRemindersFarAheadAreFound) {
    for (const int year : {2035, 2099, 2500, 9999}) {
        const auto next = nextFiring(on(year, 1, 1), kNow);
        ASSERT_TRUE(next) << year;
        EXPECT_EQ(next->at, (DateTime{Date{year, 1, 1}, 9, 0, 0}));
        EXPECT_TRUE(firesFrom(on(year, 1, 1), kNow));
    }
    // And looking back from far ahead.
    const auto back = previousFiring(on(0, 12, 25, 18, 30), DateTime{Date{3001, 1, 1}, 0, 0});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->at, (DateTime{Date{3000, 12, 25}, 18, 30, 0}));
}

TEST(LookAhead, RepetitionsThatNeverComeAgainAnswerNone) {
    const ItemSchedule never[] = {
        on(0, 2, 31),           // 31 February
        on(0, 4, 31),           // 31 April
        on(0, 0, 100),          // a weekday code without a weekday
        on(2020, 0, 0),         // a year that is over
        on(2027, 2, 29),        // no leap year
        on(0, 13, 1),           // no such month
        on(0, 0, 0, 24, 0),     // no such hour, and no full hours
        on(2026, 12, 9, 2, 59), // earlier today
    };
    for (const ItemSchedule& item : never) {
        EXPECT_FALSE(nextFiring(item, kNow)) << item.year << "-" << item.month << "-" << item.day;
        EXPECT_FALSE(nextFiring(item, DateTime{Date{9000, 1, 1}, 0, 0}));
        EXPECT_FALSE(firesFrom(item, kNow));
    }
    EXPECT_FALSE(previousFiring(on(0, 2, 30), kNow));
    EXPECT_FALSE(previousFiring(on(2030, 1, 1), kNow));
}

TEST(LookAhead, TheLongestGapIsTwentyNinthFebruaryAcross2100) {
    const auto next = nextFiring(on(0, 2, 29, 8, 0), DateTime{Date{2096, 3, 1}, 0, 0});
    ASSERT_TRUE(next);
    EXPECT_EQ(next->at.date, (Date{2104, 2, 29}));
    const auto back = previousFiring(on(0, 2, 29, 8, 0), DateTime{Date{2104, 2, 28}, 0, 0});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->at.date, (Date{2096, 2, 29}));
    EXPECT_LE(daysFromCivil(Date{2104, 2, 29}) - daysFromCivil(Date{2096, 2, 29}), kLongestGapDays);
}

TEST(LookAhead, FiringsOfOneMinuteComeInTheMinuteChecksOrder) {
    ItemSchedule hourly = on(0, 0, 0, 10, 0);
    hourly.mindMethod = 1;
    hourly.rdBefore = 60; // the warning at 09:00, with the full hour
    Firings range(hourly, DateTime{Date{2026, 12, 9}, 9, 0}, DateTime{Date{2026, 12, 9}, 10, 0});
    std::vector<std::pair<int, FiringKind>> seen;
    while (const auto f = range.next())
        seen.emplace_back(f->at.hour, f->kind);
    EXPECT_EQ(seen, (std::vector<std::pair<int, FiringKind>>{{9, FiringKind::OnTheHour},
                                                             {9, FiringKind::Advance},
                                                             {10, FiringKind::OnTheHour},
                                                             {10, FiringKind::SetTime}}));
    EXPECT_TRUE(firesAt(hourly, DateTime{Date{2026, 12, 9}, 9, 0}));
    EXPECT_FALSE(firesAt(hourly, DateTime{Date{2026, 12, 9}, 9, 30}));
}

TEST(LookAhead, AtStartRemindersFireFromAnyLaterDayTheyFallOn) {
    ItemSchedule atStart = on(2026, 12, 9, 1, 0);
    atStart.mindMethod = 2;
    EXPECT_TRUE(firesFrom(atStart, kNow)); // a start later today still fires it
    EXPECT_TRUE(firesAtStartOn(atStart, kNow.date));
    EXPECT_FALSE(firesAtStartOn(atStart, Date{2026, 12, 10}));
    EXPECT_FALSE(nextFiring(atStart, kNow)); // its set time is over
}

TEST(LookAhead, LunarRepetitionsStepByLunarMonths) {
    ItemSchedule leap = on(2020, 5, 23, 7, 0); // 闰四月初一 2020
    leap.lunar = LunarRepeat{LunarRepeat::kYearly, 4, 1, true};
    const auto second = nextFiring(leap, DateTime{Date{2020, 5, 23}, 7, 0});
    ASSERT_TRUE(second);
    EXPECT_EQ(second->at.date, LunarToSolar({2021, 4, 1, false})); // no leap month in 2021
    EXPECT_EQ(previousFiring(leap, second->at)->at.date, (Date{2020, 5, 23}));
    EXPECT_FALSE(previousFiring(leap, DateTime{Date{2020, 5, 23}, 7, 0})); // its first

    ItemSchedule thirtieth = on(2026, 1, 1);
    thirtieth.lunar = LunarRepeat{LunarRepeat::kMonthly, 0, 30, false};
    for (Date d = Date{2026, 1, 1}; d < Date{2030, 1, 1};) {
        const auto next = nextDay(thirtieth, d);
        ASSERT_TRUE(next);
        const TLunarDate lunar = SolarToLunar(*next);
        EXPECT_EQ(lunar.Day, LunarMonthLength(lunar)); // the 30th or the last of 29
        d = addDays(*next, 1);
    }
    // The calendar ends with 2099: nothing after it, from any year.
    EXPECT_FALSE(nextDay(thirtieth, addDays(kLastLunarSolarDate, 1)));
    EXPECT_FALSE(nextFiring(thirtieth, DateTime{Date{5000, 1, 1}, 0, 0}));
    EXPECT_EQ(previousDay(thirtieth, Date{5000, 1, 1}), kLastLunarSolarDate);
}

// A lunar repetition from any day on (year 0): its first day on or after one.
std::optional<Date> firstLunar(const LunarRepeat& repeat, const Date& from) {
    ItemSchedule every = on(0, 1, 1);
    every.lunar = repeat;
    return nextDay(every, from);
}

TEST(LookAhead, FirstLunarDayOnOrAfterADay) {
    const LunarRepeat midAutumn{LunarRepeat::kYearly, 8, 15, false};
    const LunarRepeat firstOfMonth{LunarRepeat::kMonthly, 0, 1, false};
    const LunarRepeat newYearsEve{LunarRepeat::kYearly, 12, 30, false};
    EXPECT_EQ(firstLunar(midAutumn, Date{2026, 9, 25}), (Date{2026, 9, 25}));
    EXPECT_EQ(firstLunar(midAutumn, Date{2026, 9, 26}), (Date{2027, 9, 15}));
    EXPECT_EQ(firstLunar(firstOfMonth, Date{2026, 12, 8}), (Date{2026, 12, 9}));
    EXPECT_EQ(firstLunar(newYearsEve, Date{2027, 1, 1}), (Date{2027, 2, 5}));
    EXPECT_EQ(firstLunar(LunarRepeat{LunarRepeat::kYearly, 1, 1, false}, Date{1800, 1, 1}),
              kFirstLunarSolarDate);
    EXPECT_EQ(firstLunar(newYearsEve, Date{2099, 2, 1}), kLastLunarSolarDate);
    EXPECT_EQ(firstLunar(firstOfMonth, Date{2100, 2, 1}), std::nullopt);
    EXPECT_EQ(firstLunar(LunarRepeat{LunarRepeat::kYearly, 13, 1, false}, Date{2000, 1, 1}),
              std::nullopt);
}

TEST(LookAhead, RepetitionsBoundToAYearEndWithIt) {
    EXPECT_EQ(lastRepeatedDay(on(2026, 2, 0)), (Date{2026, 2, 28}));
    EXPECT_EQ(lastRepeatedDay(on(2026, 0, 31)), (Date{2026, 12, 31}));
    EXPECT_EQ(lastRepeatedDay(on(2026, 0, 255 + 256)), (Date{2026, 12, 28})); // Mondays
    EXPECT_EQ(lastRepeatedDay(on(2026, 0, 100)), std::nullopt);               // no weekday: no day
    const auto last = previousFiring(on(2026, 0, 0, 9, 0), DateTime{Date{2040, 1, 1}, 0, 0});
    ASSERT_TRUE(last);
    EXPECT_EQ(last->at, (DateTime{Date{2026, 12, 31}, 9, 0, 0}));
}

} // namespace
} // namespace kelvo
