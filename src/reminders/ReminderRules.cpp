#include "reminders/ReminderRules.h"

#include "lunar/LunarRepeat.h"

#include <algorithm>

namespace kelvo {

bool matchesDay(const ItemSchedule& item, const Date& date) {
    if (!item.lunar.active())
        return matchesDate(item.year, item.month, item.day, date);
    // A check over many reminders asks for few days: each is converted once.
    static thread_local LunarDayCache lunarDay;
    return fallsOn(item, date, lunarDay.of(date));
}

bool isSetTime(const ItemSchedule& item, const DateTime& t) {
    return t.hour == item.hour && t.minute == item.min;
}

bool isAdvanceTime(const ItemSchedule& item, const DateTime& t) {
    if (item.rdBefore <= 0)
        return false;
    const int64_t minute = int64_t{t.minute} + item.rdBefore;
    if (minute <= 59)
        return t.hour == item.hour && minute == item.min;
    return t.hour + 1 == item.hour && minute - 60 == item.min;
}

namespace {

// The latest minute of one day at which the item fires, within [from, to]
// (minutes of the day); the day matches the item.
std::optional<Occasion> latestOnDay(const ItemSchedule& item, int32_t k, const Date& day, int from,
                                    int to) {
    std::optional<Occasion> latest;
    auto consider = [&](int64_t hour, int64_t minute, bool advance) {
        if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
            return;
        const int inDay = static_cast<int>(hour * 60 + minute);
        if (inDay < from || inDay > to)
            return;
        const DateTime t{day, static_cast<int>(hour), static_cast<int>(minute), 0};
        const bool fires =
            advance ? isAdvanceTime(item, t)
                    : isSetTime(item, t) || (minute == 0 && firesOnTheHour(item.mindMethod));
        // At one minute the plain message wins over the advance warning.
        if (fires && (!latest || t > latest->due || (t == latest->due && latest->advance)))
            latest = Occasion{t, k, advance};
    };
    consider(item.hour, item.min, false);
    consider(item.hour, int64_t{item.min} - item.rdBefore, true);
    consider(int64_t{item.hour} - 1, int64_t{item.min} - item.rdBefore + 60, true);
    if (firesOnTheHour(item.mindMethod))
        consider(to / 60, 0, false); // the latest full hour, if it lies within
    return latest;
}

int64_t dayStartOf(int64_t minute) {
    return minute - ((minute % 1440) + 1440) % 1440;
}

// Walks the days backwards from the last one: the first hit is the latest.
std::optional<Occasion> latestOccasion(const ItemSchedule& item, int32_t k, int64_t after,
                                       int64_t until) {
    for (int64_t dayStart = dayStartOf(until); dayStart >= dayStartOf(after + 1);
         dayStart -= 1440) {
        const Date day = fromMinuteNumber(dayStart).date;
        if (!matchesDay(item, day))
            continue;
        const int from = static_cast<int>(std::max<int64_t>(after + 1 - dayStart, 0));
        const int to = static_cast<int>(std::min<int64_t>(until - dayStart, 1439));
        if (auto found = latestOnDay(item, k, day, from, to))
            return found;
    }
    return std::nullopt;
}

} // namespace

std::vector<Occasion> occasionsBetween(const std::vector<ItemSchedule>& items, int64_t after,
                                       int64_t until) {
    std::vector<Occasion> found;
    for (size_t i = 0; i < items.size(); ++i) {
        if (auto o = latestOccasion(items[i], static_cast<int32_t>(i + 1), after, until))
            found.push_back(*o);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Occasion& a, const Occasion& b) { return a.due < b.due; });
    return found;
}

} // namespace kelvo
