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
