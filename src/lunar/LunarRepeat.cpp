#include "lunar/LunarRepeat.h"

#include "lunar/LunarNames.h"

#include <algorithm>

namespace kelvo {
namespace {

bool dayFalls(int32_t day, const TLunarDate& today) {
    constexpr int kLongMonth = 30;
    return today.Day == day || (day == kLongMonth && today.Day == kLongMonth - 1 &&
                                LunarMonthLength(today) < kLongMonth);
}

bool monthFalls(const LunarRepeat& repeat, const TLunarDate& today) {
    if (today.Month != repeat.month)
        return false;
    // A leap-month entry falls in the regular month in the years without that leap month.
    const bool wantLeap = repeat.leap && LunarLeapMonth(today.Year) == repeat.month;
    return today.IsLeap == wantLeap;
}

} // namespace

bool lunarRepeatFalls(const LunarRepeat& repeat, const TLunarDate& today) {
    if (!IsValidLunarDate(today) || !dayFalls(repeat.day, today))
        return false;
    if (repeat.cycle == LunarRepeat::kMonthly)
        return true;
    return repeat.cycle == LunarRepeat::kYearly && monthFalls(repeat, today);
}

LunarRepeat lunarRepeatOn(const Date& first, int32_t cycle, const LunarRepeat& kept) {
    const TLunarDate lunar = SolarToLunar(first);
    const bool yearly = cycle == LunarRepeat::kYearly;
    LunarRepeat repeat{cycle, yearly ? lunar.Month : 0, lunar.Day, yearly && lunar.IsLeap};
    if (!kept.active() || !lunarRepeatFalls(kept, lunar))
        return repeat;
    repeat.day = kept.day;
    if (yearly && kept.cycle == LunarRepeat::kYearly) {
        repeat.month = kept.month;
        repeat.leap = kept.leap;
    }
    return repeat;
}

std::optional<Date> firstLunarOccurrence(const LunarRepeat& repeat, const Date& from) {
    if (!repeat.active())
        return std::nullopt;
    for (Date d = std::max(from, kFirstLunarSolarDate); d <= kLastLunarSolarDate;
         d = addDays(d, 1)) {
        if (lunarRepeatFalls(repeat, SolarToLunar(d)))
            return d;
    }
    return std::nullopt;
}

std::vector<Date> lunarOccurrences(const LunarRepeat& repeat, const Date& from) {
    std::vector<Date> days;
    if (!repeat.active())
        return days;
    const TLunarDate first = SolarToLunar(std::max(from, kFirstLunarSolarDate));
    for (int32_t year = first.Year; IsValidLunarDate({year, 1, 1, false}); ++year) {
        for (int32_t month = 1; month <= 12; ++month) {
            for (const bool leap : {false, true}) {
                if (leap && LunarLeapMonth(year) != month)
                    continue;
                TLunarDate day{year, month, 1, leap};
                day.Day = std::min(repeat.day, LunarMonthLength(day));
                const Date solar = LunarToSolar(day);
                if (lunarRepeatFalls(repeat, day) && solar >= from && solar != kInvalidSolarDate)
                    days.push_back(solar);
            }
        }
    }
    return days;
}

std::string lunarRepeatText(const LunarRepeat& repeat) {
    if (!repeat.active())
        return {};
    std::string text = repeat.cycle == LunarRepeat::kYearly ? "农历每年 " : "农历每月 ";
    if (repeat.cycle == LunarRepeat::kYearly)
        text += lunarMonthName(repeat.month, repeat.leap) + " ";
    text += lunarDayName(repeat.day);
    return text;
}

} // namespace kelvo
