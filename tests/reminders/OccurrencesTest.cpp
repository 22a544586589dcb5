#include "lunar/LunarRepeat.h"
#include "reminders/Schedule.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

ItemSchedule at(int32_t year, int32_t month, int32_t day, int32_t hour = 9, int32_t min = 0,
                int32_t mindMethod = 0) {
    ItemSchedule s;
    s.year = year, s.month = month, s.day = day, s.hour = hour, s.min = min;
    s.mindMethod = mindMethod;
    return s;
}

const DateTime kNow{Date{2026, 12, 8}, 14, 30};

TEST(Occurrences, OneDayFiresUntilItsTimeHasPassed) {
    EXPECT_FALSE(firesFrom(at(2000, 1, 1, 0, 0), kNow)); // the add dialog's first date
    EXPECT_FALSE(firesFrom(at(2026, 12, 8, 14, 29), kNow));
    EXPECT_TRUE(firesFrom(at(2026, 12, 8, 14, 30), kNow));
    EXPECT_TRUE(firesFrom(at(2026, 12, 9, 0, 0), kNow));
    // Hourly and at-start items of today still have their full hours and starts.
    EXPECT_TRUE(firesFrom(at(2026, 12, 8, 8, 0, 1), kNow));
    EXPECT_TRUE(firesFrom(at(2026, 12, 8, 8, 0, 2), kNow));
    EXPECT_FALSE(firesFrom(at(2026, 12, 8, 8, 0, 1), DateTime{Date{2026, 12, 8}, 23, 1}));
    // A day that no month has never comes.
    EXPECT_FALSE(firesFrom(at(0, 2, 30), kNow));
    EXPECT_FALSE(firesFrom(at(2027, 2, 29), kNow));
}

TEST(Occurrences, RepetitionsEndWithTheYearOrMonthTheyAreBoundTo) {
    const int32_t mondays = 255 + 256;
    EXPECT_TRUE(firesFrom(at(0, 0, mondays), kNow));
    EXPECT_TRUE(firesFrom(at(2026, 0, mondays), kNow));   // 14 and 21 December
    EXPECT_FALSE(firesFrom(at(2026, 11, mondays), kNow)); // November is over
    EXPECT_FALSE(firesFrom(at(2000, 1, 0), kNow));        // every day of January 2000
    EXPECT_TRUE(firesFrom(at(0, 1, 0), kNow));            // every January
    EXPECT_TRUE(firesFrom(at(0, 2, 29), kNow));           // in 2028
    EXPECT_EQ(lastRepeatedDay(at(2000, 1, mondays)), (Date{2000, 1, 31}));
    EXPECT_EQ(lastRepeatedDay(at(2026, 0, 0)), (Date{2026, 12, 31}));
    EXPECT_EQ(lastRepeatedDay(at(2026, 0, 31)), (Date{2026, 12, 31}));
    EXPECT_EQ(lastRepeatedDay(at(2026, 2, 0)), (Date{2026, 2, 28}));
    EXPECT_EQ(lastRepeatedDay(at(2026, 3, 4)), std::nullopt); // one day
    EXPECT_EQ(lastRepeatedDay(at(0, 0, 0)), std::nullopt);    // without end
}

TEST(Occurrences, LunarRepetitionsFireUntilTheCalendarEnds) {
    ItemSchedule midAutumn = at(2026, 9, 25);
    midAutumn.lunar = LunarRepeat{LunarRepeat::kYearly, 8, 15, false};
    EXPECT_TRUE(firesFrom(midAutumn, kNow));
    // 中秋 comes by 7 October; the calendar ends before the next one.
    EXPECT_FALSE(firesFrom(midAutumn, DateTime{Date{2099, 10, 8}, 0, 0}));
    ItemSchedule later = at(2090, 1, 1);
    later.lunar = LunarRepeat{LunarRepeat::kMonthly, 0, 1, false};
    EXPECT_TRUE(firesFrom(later, kNow)); // its first day lies far ahead
    EXPECT_EQ(lastRepeatedDay(midAutumn), std::nullopt);
}

} // namespace
} // namespace kelvo
