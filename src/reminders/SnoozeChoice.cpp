#include "reminders/SnoozeChoice.h"

#include "core/WholeNumber.h"

#include <string>

namespace kelvo {
namespace {

constexpr std::string_view kWideColon = "：";

// "H:MM" or "HH:MM" as minutes of the day.
std::optional<int> timeOfDay(std::string_view text) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3)
        return std::nullopt;
    const auto h = parseWholeNumber<int>(text.substr(0, colon));
    const auto m = parseWholeNumber<int>(text.substr(colon + 1));
    if (!h || !m || *h < 0 || *h > 23 || *m < 0 || *m > 59)
        return std::nullopt;
    return *h * 60 + *m;
}

} // namespace

DateTime sameTimeTomorrow(const DateTime& shownAt) {
    return DateTime{addDays(shownAt.date, 1), shownAt.hour, shownAt.minute, 0};
}

std::optional<DateTime> typedSnooze(std::string_view typed, const DateTime& now) {
    const size_t wide = typed.find(kWideColon);
    std::string text(typed.substr(0, wide));
    if (wide != std::string_view::npos)
        text.append(":").append(typed.substr(wide + kWideColon.size()));
    const DateTime minute{now.date, now.hour, now.minute, 0};
    if (const auto clock = timeOfDay(text)) {
        const DateTime today{now.date, *clock / 60, *clock % 60, 0};
        return today > minute ? today : DateTime{addDays(now.date, 1), today.hour, today.minute, 0};
    }
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    const auto minutes = digits ? parseWholeNumber<int>(text) : std::nullopt;
    if (!minutes || *minutes < 1 || *minutes > kMostTypedMinutes)
        return std::nullopt;
    return addMinutes(minute, *minutes);
}

} // namespace kelvo
