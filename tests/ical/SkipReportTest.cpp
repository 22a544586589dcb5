#include "ical/SkipReport.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using Lines = std::vector<std::string>;

TEST(SkipReport, FewSkippedEventsAreListedOneByOne) {
    const std::vector<SkippedEvent> skipped{{"隔周", SkipReason::Interval, ""},
                                            {"", SkipReason::Damaged, "DTSTART"},
                                            {"a\tb", SkipReason::Past, ""}};
    EXPECT_EQ(skippedLines(skipped, false),
              (Lines{"隔周：RRULE 的重复间隔大于 1（INTERVAL）", "（无标题）：DTSTART 无法读懂",
                     "a␉b：所有日期都已过去"}));
}

// A calendar of thousands of past events says so in a few lines, the most
// frequent reason first, each with its count and three examples; asked for
// all, every event has its line.
TEST(SkipReport, ManyAreGroupedByReasonWithCountsAndExamples) {
    std::vector<SkippedEvent> skipped;
    for (int i = 0; i < 4'700; ++i)
        skipped.push_back({"会议 " + std::to_string(i), SkipReason::Past, ""});
    skipped.insert(skipped.begin(), {"时区", SkipReason::UnknownZone, "Pacific Standard Time"});
    for (int i = 0; i < 77; ++i)
        skipped.push_back({"隔周 " + std::to_string(i), SkipReason::Interval, ""});
    EXPECT_EQ(skippedLines(skipped, false),
              (Lines{"所有日期都已过去：4700 个，如“会议 0”、“会议 1”、“会议 2”",
                     "RRULE 的重复间隔大于 1（INTERVAL）：77 个，如“隔周 0”、“隔周 1”、“隔周 2”",
                     "TZID 是未知的时区：Pacific Standard Time：1 个，如“时区”"}));
    const Lines all = skippedLines(skipped, true);
    ASSERT_EQ(all.size(), skipped.size());
    EXPECT_EQ(all.back(), "隔周 76：RRULE 的重复间隔大于 1（INTERVAL）");
}

} // namespace
} // namespace kelvo
