#include "core/DateTime.h"

#include <gtest/gtest.h>

using namespace kelvo;

TEST(DateTime, CivilDaysRoundTripAcrossCenturies) {
    for (int64_t z = daysFromCivil({1600, 1, 1}); z < daysFromCivil({2400, 1, 1}); z += 13) {
        EXPECT_EQ(daysFromCivil(civilFromDays(z)), z);
    }
    EXPECT_EQ(daysFromCivil({1970, 1, 1}), 0);
    EXPECT_EQ(civilFromDays(daysFromCivil({2000, 2, 5}) + 25), (Date{2000, 3, 1}));
}

TEST(DateTime, WeekdayIsZeroForSunday) {
    EXPECT_EQ(weekday({2026, 12, 6}), 0); // a Sunday
    EXPECT_EQ(weekday({2026, 12, 7}), 1);
    EXPECT_EQ(weekday({1969, 12, 27}), 6);
    EXPECT_EQ(weekday({1, 1, 1}), 1);
}

TEST(DateTime, AddMinutesCarriesOverDaysMonthsAndYears) {
    const DateTime t{{2024, 12, 31}, 23, 55, 0};
    EXPECT_EQ(addMinutes(t, 10), (DateTime{{2025, 1, 1}, 0, 5, 0}));
    EXPECT_EQ(addMinutes(t, -24 * 60), (DateTime{{2024, 12, 30}, 23, 55, 0}));
    EXPECT_EQ(addMinutes({{2024, 2, 28}, 12, 0, 0}, 24 * 60), (DateTime{{2024, 2, 29}, 12, 0, 0}));
}

TEST(DateTime, LeapYears) {
    EXPECT_TRUE(isLeapYear(2000));
    EXPECT_FALSE(isLeapYear(1900));
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(2023, 2), 28);
}
