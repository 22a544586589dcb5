#include "reminders/ReminderItem.h"

namespace kelvo {

int32_t weekdayCode(const std::array<bool, 7>& days) {
    int32_t code = 255;
    for (int i = 0; i < 7; ++i) {
        if (days[i])
            code += 256 << i;
    }
    return code;
}

bool matchesDate(int32_t year, int32_t month, int32_t day, const Date& date) {
    // weekday() counts from Sunday; the weekday bits count from Monday.
    const auto mondayBased = static_cast<size_t>((weekday(date) + 6) % 7);
    const bool dayMatches =
        day == 0 || day == date.day || (day > 31 && weekdayChosen(day, mondayBased));
    return (year == 0 || year == date.year) && (month == 0 || month == date.month) && dayMatches;
}

} // namespace kelvo
