#pragma once

#include <compare>
#include <cstdint>

namespace kelvo {

// A day of the proleptic Gregorian calendar.
struct Date {
    int year = 1;
    int month = 1;
    int day = 1;
    auto operator<=>(const Date&) const = default;
};

// Days since 1970-01-01 (negative before it).
constexpr int64_t daysFromCivil(const Date& d) {
    const int64_t y = static_cast<int64_t>(d.year) - (d.month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t mp = (d.month + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + d.day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr Date civilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return Date{static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0)), m, d};
}

constexpr Date addDays(const Date& d, int64_t days) {
    return civilFromDays(daysFromCivil(d) + days);
}

// 0 = Sunday, 1 = Monday, ... 6 = Saturday.
constexpr int weekday(const Date& d) {
    const int64_t z = daysFromCivil(d);
    return static_cast<int>(z >= -4 ? (z + 4) % 7 : (z + 5) % 7 + 6);
}

constexpr bool isLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

constexpr int daysInMonth(int y, int m) {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : days[m - 1];
}

// A local wall-clock moment with minute resolution (seconds are kept for the
// clock display only).
struct DateTime {
    Date date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    auto operator<=>(const DateTime&) const = default;
};

// Minutes since 1970-01-01 00:00 of the same wall clock, seconds dropped.
constexpr int64_t minuteNumber(const DateTime& t) {
    return (daysFromCivil(t.date) * 24 + t.hour) * 60 + t.minute;
}

// The wall-clock minute of a minute number, at second 0.
constexpr DateTime fromMinuteNumber(int64_t total) {
    const int64_t dayCount = total >= 0 ? total / 1440 : -((-total + 1439) / 1440);
    const int64_t inDay = total - dayCount * 1440;
    return DateTime{civilFromDays(dayCount), static_cast<int>(inDay / 60),
                    static_cast<int>(inDay % 60), 0};
}

// Seconds since 1970-01-01 00:00 of the same wall clock.
constexpr int64_t localSeconds(const DateTime& t) {
    return minuteNumber(t) * 60 + t.second;
}

// Adds whole minutes, carrying into hours and days.
constexpr DateTime addMinutes(const DateTime& t, int64_t minutes) {
    DateTime moved = fromMinuteNumber(minuteNumber(t) + minutes);
    moved.second = t.second;
    return moved;
}

} // namespace kelvo
