#pragma once

#include "core/DateTime.h"

#include <array>
#include <optional>
#include <string_view>

namespace kelvo {

// The remind-later choices the popup offers beside its remind-later button:
// so many minutes, the same time tomorrow, or a time typed by the user.
inline constexpr std::array<int, 5> kSnoozeMinutes = {5, 10, 15, 30, 60};
// The most minutes a typed number may put a reminder off by: one day.
inline constexpr int kMostTypedMinutes = 1440;

// The local moment a day after `shownAt`, to the minute.
DateTime sameTimeTomorrow(const DateTime& shownAt);

// The local moment that typed text names, seen at `now`: a number of
// minutes (1 … kMostTypedMinutes) from now, or a time of day "H:MM" (also
// with "：") at its next coming, today or tomorrow. None for other text.
std::optional<DateTime> typedSnooze(std::string_view text, const DateTime& now);

// What the user reads when typed text names no moment.
inline constexpr std::string_view kTypedSnoozeError =
    "请输入 1～1440 之间的分钟数，或者“时:分”形式的时间（例如 14:30）。";

} // namespace kelvo
