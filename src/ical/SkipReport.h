#pragma once

#include "ical/CalendarFile.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kelvo {

// Up to this many skipped events are listed one by one; more are grouped
// by reason, with this many examples each.
inline constexpr size_t kMostListedSkips = 10;
inline constexpr size_t kSkipExamples = 3;

// The lines that tell of skipped events, as the window and kelvoctl show
// them: one per event ("周会：RRULE 的重复间隔大于 1（INTERVAL）") when
// they are few or `all` is asked for, else one per reason, the most
// frequent first, with its count and a few summaries ("所有日期都已过去：
// 4500 个，如“周会”、“生日”、“体检”"). Summaries are shown visibly.
std::vector<std::string> skippedLines(const std::vector<SkippedEvent>& skipped, bool all);

} // namespace kelvo
