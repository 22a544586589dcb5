#include "lunar/Calendar.h"

#include <gtest/gtest.h>

#include <bit>

using namespace kelvo;

namespace {

Date solar(int year, int month, int day, bool isLeap = false) {
    return LunarToSolar(TLunarDate{year, month, day, isLeap});
}

Date newYear(int year) {
    return solar(year, 1, 1);
}

int64_t daysBetween(const Date& from, const Date& to) {
    return daysFromCivil(to) - daysFromCivil(from);
}

} // namespace

TEST(LunarCalendar, ReferenceDateAndItsEve) {
    EXPECT_EQ(newYear(2000), (Date{2000, 2, 5}));
    EXPECT_EQ(solar(1999, 12, 29), (Date{2000, 2, 4}));
    EXPECT_EQ(solar(1999, 12, 30), kInvalidSolarDate);
}

TEST(LunarCalendar, NewYearsDays) {
    EXPECT_EQ(newYear(1901), (Date{1901, 2, 19}));
    EXPECT_EQ(newYear(1950), (Date{1950, 2, 17}));
    EXPECT_EQ(newYear(2001), (Date{2001, 1, 24}));
    EXPECT_EQ(newYear(2020), (Date{2020, 1, 25}));
    EXPECT_EQ(newYear(2023), (Date{2023, 1, 22}));
    EXPECT_EQ(newYear(2034), (Date{2034, 2, 19}));
    EXPECT_EQ(newYear(2099), (Date{2099, 1, 21}));
}

TEST(LunarCalendar, LeapMonthsFollowTheirRegularMonth) {
    EXPECT_EQ(solar(2020, 4, 1, true), (Date{2020, 5, 23}));
    EXPECT_EQ(solar(2020, 5, 1), (Date{2020, 6, 21}));
    EXPECT_EQ(solar(2023, 2, 1, true), (Date{2023, 3, 22}));
    EXPECT_EQ(solar(2023, 3, 1), (Date{2023, 4, 20}));
    EXPECT_EQ(solar(2033, 11, 1, true), (Date{2033, 12, 22}));
    EXPECT_EQ(solar(2033, 12, 1), (Date{2034, 1, 20}));
    EXPECT_EQ(solar(2006, 7, 1, true), (Date{2006, 8, 24}));
}

TEST(LunarCalendar, LastDayReadsTheLeapLengthFromTheLastWord) {
    EXPECT_EQ(LunarLeapMonth(2099), 2);
    EXPECT_EQ(LunarLeapMonthDays(2099), 29);
    EXPECT_EQ(LunarMonthDays(2099, 12), 30);
    EXPECT_EQ(solar(2099, 12, 30), (Date{2100, 2, 8}));
}

TEST(LunarCalendar, YearLengthsAndLeapMonthLengths) {
    EXPECT_EQ(LunarYearDays(2000), 354);
    EXPECT_EQ(LunarYearDays(2001), 384);
    EXPECT_EQ(LunarYearDays(2020), 384);
    EXPECT_EQ(LunarLeapMonth(2000), 0);
    EXPECT_EQ(LunarLeapMonthDays(2000), 0);
    EXPECT_EQ(LunarLeapMonthDays(2020), 29); // 2021's nibble is not 15
    EXPECT_EQ(LunarLeapMonth(1906), 4);
    EXPECT_EQ(LunarLeapMonthDays(1906), 30); // 1907's nibble is 15
    EXPECT_EQ(LunarLeapMonth(1907), 0);      // 15 means no leap month
}

TEST(LunarCalendar, InvalidDatesGiveTheFirstDayOfYearOne) {
    const TLunarDate invalid[] = {
        {1900, 1, 1, false},  {2100, 1, 1, false},  {2000, 13, 1, false}, {2000, 1, 31, false},
        {2000, 3, 30, false}, {2020, 5, 1, true},   {2020, 4, 30, true},  {2000, 0, 1, false},
        {2000, 1, 0, false},  {2000, -3, 5, false}, {2000, 1, -1, false},
    };
    for (const TLunarDate& date : invalid) {
        SCOPED_TRACE(testing::Message() << date.Year << "-" << date.Month << "-" << date.Day
                                        << (date.IsLeap ? " leap" : ""));
        EXPECT_FALSE(IsValidLunarDate(date));
        EXPECT_EQ(LunarToSolar(date), kInvalidSolarDate);
    }
    EXPECT_TRUE(IsValidLunarDate({2020, 4, 29, true}));
    EXPECT_TRUE(IsValidLunarDate({2000, 1, 30, false}));
}

TEST(LunarCalendar, YearsOutsideTheTableAreSafeToAsk) {
    for (const int year : {-5, 0, 1899, 2101, 99999}) {
        EXPECT_EQ(LunarLeapMonth(year), 0);
        EXPECT_EQ(LunarLeapMonthDays(year), 0);
        EXPECT_EQ(LunarMonthDays(year, 1), 29);
        EXPECT_EQ(LunarYearDays(year), 348);
    }
    EXPECT_EQ(LunarMonthDays(2000, 0), LunarMonthDays(2000, 1));
    EXPECT_EQ(LunarMonthDays(2000, 40), 29);
    EXPECT_EQ(LunarLeapMonthDays(2100), 0);
}

// Each year must join the next without gap or overlap, and every Spring Festival falls between
// 21 January and 20 February; a wrong leap nibble or month bit shows up here.
TEST(LunarCalendar, WholeTableIsConsistent) {
    for (int year = 1901; year <= 2099; ++year) {
        SCOPED_TRACE(year);
        const Date start = newYear(year);
        EXPECT_GE(start, (Date{year, 1, 21}));
        EXPECT_LE(start, (Date{year, 2, 20}));
        const int days = LunarYearDays(year);
        EXPECT_TRUE((days >= 353 && days <= 355) || (days >= 383 && days <= 385)) << days;
        const Date lastDay = solar(year, 12, LunarMonthDays(year, 12));
        EXPECT_EQ(daysBetween(start, lastDay) + 1, days);
        if (year < 2099) {
            EXPECT_EQ(daysBetween(start, newYear(year + 1)), days);
        }
    }
}

// The published words of these years put a long month on its neighbour; the table here follows
// the real calendar, with the same year lengths as the published words.
TEST(LunarCalendar, CorrectedYearsStartTheirMonthsOnTheRealDays) {
    struct Case {
        int year;
        uint16_t publishedWord;
        int month;
        bool isLeap;
        Date realStart;
    };
    const Case cases[] = {
        {1906, 0x5554, 4, false, {1906, 4, 24}},   {1906, 0x5554, 4, true, {1906, 5, 23}},
        {1914, 0xD295, 10, false, {1914, 11, 17}}, {1914, 0xD295, 11, false, {1914, 12, 17}},
        {2089, 0xD260, 8, false, {2089, 9, 4}},    {2089, 0xD260, 9, false, {2089, 10, 4}},
        {2097, 0xA4D0, 7, false, {2097, 8, 7}},    {2097, 0xA4D0, 8, false, {2097, 9, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        EXPECT_EQ(solar(c.year, c.month, 1, c.isLeap), c.realStart);
        const int publishedLength = 348 +
                                    std::popcount(static_cast<unsigned>(c.publishedWord) >> 4) +
                                    LunarLeapMonthDays(c.year);
        EXPECT_EQ(LunarYearDays(c.year), publishedLength);
        EXPECT_EQ(LunarLeapMonth(c.year), c.publishedWord & 0xF);
    }
}

// Every day of the table's range names a lunar date that converts back to it, and consecutive
// days step through the lunar calendar one day at a time.
TEST(LunarCalendar, EveryDayOfTheRangeRoundTrips) {
    TLunarDate previous;
    int days = 0;
    for (Date d = kFirstLunarSolarDate; d <= kLastLunarSolarDate; d = addDays(d, 1), ++days) {
        const TLunarDate lunar = SolarToLunar(d);
        ASSERT_TRUE(IsValidLunarDate(lunar)) << d.year << '-' << d.month << '-' << d.day;
        ASSERT_EQ(LunarToSolar(lunar), d) << d.year << '-' << d.month << '-' << d.day;
        if (days > 0 && lunar.Day != 1) {
            ASSERT_EQ(lunar.Day, previous.Day + 1);
            ASSERT_EQ(lunar.Month, previous.Month);
            ASSERT_EQ(lunar.IsLeap, previous.IsLeap);
        }
        previous = lunar;
    }
    EXPECT_EQ(days, daysFromCivil(kLastLunarSolarDate) - daysFromCivil(kFirstLunarSolarDate) + 1);
    EXPECT_EQ(previous, (TLunarDate{2099, 12, 30, false}));
}

TEST(LunarCalendar, ReverseConversionOfKnownDays) {
    EXPECT_EQ(SolarToLunar(Date{1901, 2, 19}), (TLunarDate{1901, 1, 1, false}));
    EXPECT_EQ(SolarToLunar(Date{2000, 2, 4}), (TLunarDate{1999, 12, 29, false}));
    EXPECT_EQ(SolarToLunar(Date{2020, 5, 23}), (TLunarDate{2020, 4, 1, true}));
    EXPECT_EQ(SolarToLunar(Date{2020, 6, 20}), (TLunarDate{2020, 4, 29, true}));
    EXPECT_EQ(SolarToLunar(Date{2020, 6, 21}), (TLunarDate{2020, 5, 1, false}));
    EXPECT_EQ(SolarToLunar(Date{2026, 9, 25}), (TLunarDate{2026, 8, 15, false}));
    EXPECT_EQ(SolarToLunar(Date{2027, 9, 15}), (TLunarDate{2027, 8, 15, false}));
    EXPECT_EQ(SolarToLunar(Date{2100, 2, 8}), (TLunarDate{2099, 12, 30, false}));
    EXPECT_EQ(LunarMonthLength(TLunarDate{2020, 4, 1, true}), 29);
    EXPECT_EQ(LunarMonthLength(TLunarDate{2099, 12, 1, false}), 30);
}

TEST(LunarCalendar, DaysOutsideTheTableHaveNoLunarDate) {
    EXPECT_FALSE(IsValidLunarDate(SolarToLunar(Date{1901, 2, 18})));
    EXPECT_FALSE(IsValidLunarDate(SolarToLunar(Date{2100, 2, 9})));
    EXPECT_FALSE(IsValidLunarDate(SolarToLunar(Date{1, 1, 1})));
    EXPECT_FALSE(IsValidLunarDate(SolarToLunar(Date{3000, 12, 31})));
}
