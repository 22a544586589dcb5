#include "reminders/Occurrences.h"

#include "reminders/ReminderRules.h"

#include <algorithm>

namespace kelvo {
namespace {

// Every date repetition comes round within 8 years: 29 February of leap
// years (2096 … 2104) is the longest gap.
constexpr int64_t kLongestGapDays = 8 * 366 + 1;

bool firesLaterToday(const ItemSchedule& item, const DateTime& now) {
    const int nowMinute = now.hour * 60 + now.minute;
    if (item.hour * 60 + item.min >= nowMinute || firesAtStart(item.mindMethod))
        return true;
    return firesOnTheHour(item.mindMethod) && (now.minute == 0 || now.hour < 23);
}

bool repeats(const ItemSchedule& item) {
    return item.day == 0 || item.day > 31 || item.month == 0;
}

} // namespace

bool firesFrom(const ItemSchedule& item, const DateTime& now) {
    if (matchesDay(item, now.date) && firesLaterToday(item, now))
        return true;
    Date day = addDays(now.date, 1);
    if (item.lunar.active())
        day = std::max(day, Date{item.year, item.month, item.day});
    Date last = addDays(day, kLongestGapDays);
    if (item.year != 0 && !item.lunar.active())
        last = std::min(last, Date{item.year, 12, 31});
    for (; day <= last; day = addDays(day, 1)) {
        if (matchesDay(item, day))
            return true;
    }
    return false;
}

std::optional<Date> lastRepeatedDay(const ItemSchedule& item) {
    if (item.year == 0 || item.lunar.active() || !repeats(item))
        return std::nullopt;
    const Date first{item.year, 1, 1};
    for (Date day{item.year, 12, 31}; day >= first; day = addDays(day, -1)) {
        if (matchesDay(item, day))
            return day;
    }
    return std::nullopt;
}

} // namespace kelvo
