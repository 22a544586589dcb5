#pragma once

#include "core/DateTime.h"

#include <array>
#include <cstdint>

namespace kelvo {

// One word per lunar year 1900 … 2100: bits 15 … 4 the long (30-day) months
// 1 … 12, the low nibble the regular month the leap month follows (0 or 15:
// none; 15 also means the previous year's leap month is long).
extern const std::array<uint16_t, 201> LunarYearTable;

struct TLunarDate {
    int32_t Year = 0;
    int32_t Month = 0;
    int32_t Day = 0;
    bool IsLeap = false;
    bool operator==(const TLunarDate&) const = default;
};

// 1 January of year 1: the result for a lunar date that does not exist.
inline constexpr Date kInvalidSolarDate{1, 1, 1};

int LunarLeapMonth(int year);
int LunarLeapMonthDays(int year);
int LunarMonthDays(int year, int month);
int LunarYearDays(int year);
bool IsValidLunarDate(const TLunarDate& date);
Date LunarToSolar(const TLunarDate& date);

// The first and the last Gregorian day the table covers: lunar 1901-1-1 and 2099-12-30.
inline constexpr Date kFirstLunarSolarDate{1901, 2, 19};
inline constexpr Date kLastLunarSolarDate{2100, 2, 8};

// The lunar date of a Gregorian date; a date with Year 0 (not valid) outside the table's days.
TLunarDate SolarToLunar(const Date& date);
// The length of the month a lunar date lies in (29 or 30), leap month included.
int LunarMonthLength(const TLunarDate& date);

} // namespace kelvo
