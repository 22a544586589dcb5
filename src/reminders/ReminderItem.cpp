#include "reminders/ReminderItem.h"

#include <algorithm>
#include <cstdint>

namespace kelvo {

int32_t weekdayCode(const std::array<bool, 7>& days) {
    int32_t code = 255;
    for (int i = 0; i < 7; ++i) {
        if (days[i])
            code += 256 << i;
    }
    return code;
}

std::string dayWarningPrefix(int32_t days) {
    return "提前" + std::to_string(days) + "天提醒：";
}

IntervalRule intervalRule(int32_t every, int32_t end) {
    IntervalRule r;
    r.every = static_cast<int16_t>(every >= 1 && every <= INT16_MAX ? every : 0);
    r.end = static_cast<int16_t>(end >= 0 && end < 1440 ? end : -1);
    return r;
}

DayWarnings dayWarnings(std::vector<int32_t> days, int32_t minute) {
    std::erase_if(days, [](int32_t d) { return d < 1 || d > DayWarnings::kMostDays; });
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    DayWarnings w;
    for (size_t i = 0; i < days.size() && i < DayWarnings::kMost; ++i)
        w.days[i] = static_cast<uint8_t>(days[i]);
    w.minute = static_cast<int16_t>(minute >= 0 && minute < 1440 ? minute : -1);
    return w;
}

} // namespace kelvo
