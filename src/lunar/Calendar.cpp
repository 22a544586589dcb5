#include "lunar/Calendar.h"

#include <cstddef>

namespace kelvo {

// Four words differ from the commonly published table, which puts a long month on the wrong one
// of two neighbouring months in these years: 1906 (months 3/4), 1914 (9/10), 2089 (7/8) and
// 2097 (6/7). The words here give the real calendar's month starts; year lengths and leap months
// are the same as in the published words.
const std::array<uint16_t, 201> LunarYearTable = {
    0x4BD8, 0x4AE0, 0xA570, 0x54D5, 0xD260, 0xD950, 0x6554, 0x56AF, 0x9AD0, 0x55D2, // 1900
    0x4AE0, 0xA5B6, 0xA4D0, 0xD250, 0xD255, 0xB54F, 0xD6A0, 0xADA2, 0x95B0, 0x4977, // 1910
    0x497F, 0xA4B0, 0xB4B5, 0x6A50, 0x6D40, 0xAB54, 0x2B6F, 0x9570, 0x52F2, 0x4970, // 1920
    0x6566, 0xD4A0, 0xEA50, 0x6A95, 0x5ADF, 0x2B60, 0x86E3, 0x92EF, 0xC8D7, 0xC95F, // 1930
    0xD4A0, 0xD8A6, 0xB55F, 0x56A0, 0xA5B4, 0x25DF, 0x92D0, 0xD2B2, 0xA950, 0xB557, // 1940
    0x6CA0, 0xB550, 0x5355, 0x4DAF, 0xA5B0, 0x4573, 0x52BF, 0xA9A8, 0xE950, 0x6AA0, // 1950
    0xAEA6, 0xAB50, 0x4B60, 0xAAE4, 0xA570, 0x5260, 0xF263, 0xD950, 0x5B57, 0x56A0, // 1960
    0x96D0, 0x4DD5, 0x4AD0, 0xA4D0, 0xD4D4, 0xD250, 0xD558, 0xB540, 0xB6A0, 0x95A6, // 1970
    0x95BF, 0x49B0, 0xA974, 0xA4B0, 0xB27A, 0x6A50, 0x6D40, 0xAF46, 0xAB60, 0x9570, // 1980
    0x4AF5, 0x4970, 0x64B0, 0x74A3, 0xEA50, 0x6B58, 0x5AC0, 0xAB60, 0x96D5, 0x92E0, // 1990
    0xC960, 0xD954, 0xD4A0, 0xDA50, 0x7552, 0x56A0, 0xABB7, 0x25D0, 0x92D0, 0xCAB5, // 2000
    0xA950, 0xB4A0, 0xBAA4, 0xAD50, 0x55D9, 0x4BA0, 0xA5B0, 0x5176, 0x52BF, 0xA930, // 2010
    0x7954, 0x6AA0, 0xAD50, 0x5B52, 0x4B60, 0xA6E6, 0xA4E0, 0xD260, 0xEA65, 0xD530, // 2020
    0x5AA0, 0x76A3, 0x96D0, 0x4AFB, 0x4AD0, 0xA4D0, 0xD0B6, 0xD25F, 0xD520, 0xDD45, // 2030
    0xB5A0, 0x56D0, 0x55B2, 0x49B0, 0xA577, 0xA4B0, 0xAA50, 0xB255, 0x6D2F, 0xADA0, // 2040
    0x4B63, 0x937F, 0x49F8, 0x4970, 0x64B0, 0x68A6, 0xEA5F, 0x6B20, 0xA6C4, 0xAAEF, // 2050
    0x92E0, 0xD2E3, 0xC960, 0xD557, 0xD4A0, 0xDA50, 0x5D55, 0x56A0, 0xA6D0, 0x55D4, // 2060
    0x52D0, 0xA9B8, 0xA950, 0xB4A0, 0xB6A6, 0xAD50, 0x55A0, 0xABA4, 0xA5B0, 0x52B0, // 2070
    0xB273, 0x6930, 0x7337, 0x6AA0, 0xAD50, 0x4B55, 0x4B6F, 0xA570, 0x54E4, 0xD160, // 2080
    0xE968, 0xD520, 0xDAA0, 0x6AA6, 0x56DF, 0x4AE0, 0xA9D4, 0xA2D0, 0xD150, 0xF252, // 2090
    0xD520,                                                                         // 2100
};

namespace {

constexpr int kFirstTableYear = 1900;
constexpr int kFirstValidYear = 1901;
constexpr int kLastValidYear = 2099;
constexpr int kReferenceYear = 2000;
constexpr Date kReferenceSolarDate{2000, 2, 5};
constexpr int kLeapNibbleLongLeap = 15;

// The word of a year; years outside the table read as 0 (no long month, no leap month), so
// every operation stays defined for any year: a 348-day year of 29-day months.
uint16_t yearWord(int year) {
    const int index = year - kFirstTableYear;
    if (index < 0 || index >= static_cast<int>(LunarYearTable.size())) {
        return 0;
    }
    return LunarYearTable[static_cast<std::size_t>(index)];
}

int leapNibble(int year) {
    return yearWord(year) & 0x000F;
}

// Days from the start of the lunar year to the first day of regular month `month`.
int daysBeforeMonth(int year, int month) {
    const int leapMonth = LunarLeapMonth(year);
    int days = 0;
    for (int k = 1; k < month; ++k) {
        days += LunarMonthDays(year, k);
        if (k == leapMonth) {
            days += LunarLeapMonthDays(year);
        }
    }
    return days;
}

// Days from the reference lunar new year to the new year of `year`.
int64_t daysFromReferenceYear(int year) {
    int64_t days = 0;
    for (int y = kReferenceYear; y < year; ++y) {
        days += LunarYearDays(y);
    }
    for (int y = year; y < kReferenceYear; ++y) {
        days -= LunarYearDays(y);
    }
    return days;
}

} // namespace

int LunarLeapMonth(int year) {
    const int nibble = leapNibble(year);
    return nibble == kLeapNibbleLongLeap ? 0 : nibble;
}

int LunarLeapMonthDays(int year) {
    if (LunarLeapMonth(year) < 1) {
        return 0;
    }
    return leapNibble(year + 1) == kLeapNibbleLongLeap ? 30 : 29;
}

// Month numbers below 1 read the bit of month 1. Numbers 13 to 16 read the low nibble bits, as
// the plain shift does; larger numbers shift the bit out and give 29 (never a shift past the
// width of int).
int LunarMonthDays(int year, int month) {
    const int shift = month < 1 ? 0 : month - 1;
    const unsigned mask = shift < 16 ? 0x8000u >> shift : 0u;
    return (yearWord(year) & mask) != 0 ? 30 : 29;
}

int LunarYearDays(int year) {
    const uint16_t word = yearWord(year);
    int days = 348;
    for (unsigned mask = 0x8000; mask > 0x0008; mask >>= 1) {
        if ((word & mask) != 0) {
            ++days;
        }
    }
    return days + LunarLeapMonthDays(year);
}

// Month or day numbers below 1 are rejected too: such a date does not exist, and accepting day
// 0 would name the last day of the previous month a second time.
bool IsValidLunarDate(const TLunarDate& date) {
    if (date.Year < kFirstValidYear || date.Year > kLastValidYear) {
        return false;
    }
    if (date.Month < 1 || date.Month > 12 || date.Day < 1 || date.Day > 30) {
        return false;
    }
    if (date.IsLeap) {
        return LunarLeapMonth(date.Year) == date.Month && LunarLeapMonthDays(date.Year) >= date.Day;
    }
    return LunarMonthDays(date.Year, date.Month) >= date.Day;
}

Date LunarToSolar(const TLunarDate& date) {
    if (!IsValidLunarDate(date)) {
        return kInvalidSolarDate;
    }
    int64_t days = daysBeforeMonth(date.Year, date.Month) + date.Day - 1;
    if (date.IsLeap) {
        // The leap month follows the regular month of the same number.
        days += LunarMonthDays(date.Year, date.Month);
    }
    days += daysFromReferenceYear(date.Year);
    return addDays(kReferenceSolarDate, days);
}

TLunarDate SolarToLunar(const Date& date) {
    if (date < kFirstLunarSolarDate || date > kLastLunarSolarDate) {
        return TLunarDate{};
    }
    int64_t days = daysFromCivil(date) - daysFromCivil(kFirstLunarSolarDate);
    int year = kFirstValidYear;
    for (; days >= LunarYearDays(year); ++year) {
        days -= LunarYearDays(year);
    }
    const int leapMonth = LunarLeapMonth(year);
    for (int month = 1;; ++month) {
        if (days < LunarMonthDays(year, month)) {
            return TLunarDate{year, month, static_cast<int32_t>(days) + 1, false};
        }
        days -= LunarMonthDays(year, month);
        if (month == leapMonth) {
            if (days < LunarLeapMonthDays(year)) {
                return TLunarDate{year, month, static_cast<int32_t>(days) + 1, true};
            }
            days -= LunarLeapMonthDays(year);
        }
    }
}

int LunarMonthLength(const TLunarDate& date) {
    return date.IsLeap ? LunarLeapMonthDays(date.Year) : LunarMonthDays(date.Year, date.Month);
}

} // namespace kelvo
