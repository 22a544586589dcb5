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
};

// 1 January of year 1: the result for a lunar date that does not exist.
inline constexpr Date kInvalidSolarDate{1, 1, 1};

int LunarLeapMonth(int year);
int LunarLeapMonthDays(int year);
int LunarMonthDays(int year, int month);
int LunarYearDays(int year);
bool IsValidLunarDate(const TLunarDate& date);
Date LunarToSolar(const TLunarDate& date);

} // namespace kelvo
