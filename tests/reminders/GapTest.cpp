#include "EngineHarness.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

using Firings = std::vector<Fired>;
using Occasions = std::vector<Occasion>;

DateTime at(const Date& day, int hour, int minute) {
    return DateTime{day, hour, minute, 0};
}

TEST(LateNotLost, ABusyGapOfThreeMinutesIsCheckedMinuteByMinute) {
    EngineHarness h(at(kMonday, 8, 58));
    // Each minute by its own time: 09:00 is a full hour for item 3.
    h.engine.setItems({everyDay(9, 1), everyDay(8, 59), everyDay(10, 30, 0, 1)});
    h.jumpTo(DateTime{kMonday, 9, 1, 40});
    EXPECT_EQ(h.fired, (Firings{{9, 1, 2, false}, {9, 1, 3, false}, {9, 1, 1, false}}));
    EXPECT_TRUE(h.missed.empty());
    h.runMinutes(1);
    EXPECT_EQ(h.fired.size(), 3u);
}

TEST(LateNotLost, FiveUncheckedMinutesAreCheckedLateSixAreListed) {
    EngineHarness late(at(kMonday, 8, 0));
    late.engine.setItems({everyDay(8, 1), everyDay(8, 6)});
    late.jumpTo(at(kMonday, 8, 6));
    EXPECT_EQ(late.fired.size(), 2u);
    EXPECT_TRUE(late.missed.empty());

    EngineHarness listed(at(kMonday, 8, 0));
    listed.engine.setItems({everyDay(8, 1), everyDay(8, 7)});
    listed.jumpTo(at(kMonday, 8, 7));
    EXPECT_EQ(listed.fired, (Firings{{8, 7, 2, false}}));
    EXPECT_EQ(listed.missed, (std::vector<Occasions>{{{at(kMonday, 8, 1), 1, false}}}));
}

TEST(MissedList, AGapOfThreeHoursIsListedNotFired) {
    EngineHarness h(at(kMonday, 8, 0));
    h.engine.setItems({everyDay(10, 0), everyDay(9, 0, 10), everyDay(11, 30), everyDay(7, 0)});
    h.jumpTo(at(kMonday, 11, 0)); // resumed from suspend
    EXPECT_TRUE(h.fired.empty());
    EXPECT_EQ(h.missed, (std::vector<Occasions>{
                            {{at(kMonday, 9, 0), 2, false}, {at(kMonday, 10, 0), 1, false}}}));
    h.runMinutes(30);
    EXPECT_EQ(h.fired, (Firings{{11, 30, 3, false}}));
}

TEST(MissedList, AnHourlyReminderListsOnlyItsLatestMissedFullHour) {
    EngineHarness h(at(kMonday, 8, 10));
    h.engine.setItems({everyDay(9, 30, 0, 1)});
    h.jumpTo(DateTime{kMonday, 11, 10, 20});
    // 09:00, 09:30 and 10:00 went by unseen: one line, the latest of them.
    EXPECT_TRUE(h.fired.empty());
    EXPECT_EQ(h.missed, (std::vector<Occasions>{{{at(kMonday, 11, 0), 1, false}}}));
    h.runMinutes(50);
    EXPECT_EQ(h.fired, (Firings{{12, 0, 1, false}}));
}

TEST(MissedList, ARepeatingReminderListsOnlyItsLatestOccasion) {
    EngineHarness h(at(kMonday, 8, 0));
    h.engine.setItems({everyDay(10, 30, 0, 1), everyDay(8, 50, 10), everyDay(12, 20, 10)});
    h.jumpTo(DateTime{kTuesday, 12, 15, 3});
    // The hourly item's latest full hour; item 3's advance warning of 12:10.
    EXPECT_EQ(h.missed, (std::vector<Occasions>{{{at(kTuesday, 8, 50), 2, false},
                                                 {at(kTuesday, 12, 0), 1, false},
                                                 {at(kTuesday, 12, 10), 3, true}}}));
}

TEST(MissedList, ASecondGapIsAnotherList) {
    EngineHarness h(at(kMonday, 8, 0));
    h.engine.setItems({everyDay(9, 0), everyDay(13, 0)});
    h.jumpTo(at(kMonday, 10, 0));
    h.jumpTo(at(kMonday, 14, 0));
    EXPECT_EQ(h.missed, (std::vector<Occasions>{{{at(kMonday, 9, 0), 1, false}},
                                                {{at(kMonday, 13, 0), 2, false}}}));
}

TEST(MissedList, AtStartListsWhatFellDueSinceTheLastCheckWithinSevenDays) {
    const Date today{2024, 1, 20};
    EngineHarness h(at(today, 8, 30));
    h.engine.setItems({ItemSchedule{2024, 1, 12, 9, 0, 0, 0}, ItemSchedule{2024, 1, 14, 9, 0, 0, 0},
                       everyDay(20, 0), everyDay(8, 30), everyDay(8, 31)});
    h.engine.resume(at(Date{2024, 1, 10}, 23, 0), {});
    // 01-12 lies before the look-back; the minute of the start is listed,
    // since the minute check never looks at it.
    EXPECT_EQ(h.missed, (std::vector<Occasions>{{{at(Date{2024, 1, 14}, 9, 0), 2, false},
                                                 {at(Date{2024, 1, 19}, 8, 31), 5, false},
                                                 {at(Date{2024, 1, 19}, 20, 0), 3, false},
                                                 {at(today, 8, 30), 4, false}}}));
    EXPECT_TRUE(h.fired.empty());
    h.runMinutes(1);
    EXPECT_EQ(h.fired, (Firings{{8, 31, 5, false}}));
}

TEST(MissedList, NothingFromBeforeTheLastCheckOrAfterNow) {
    EngineHarness h(at(kMonday, 8, 30));
    h.engine.setItems({everyDay(8, 0), everyDay(8, 45)});
    h.engine.resume(at(kMonday, 8, 0), {});
    h.engine.resume(at(kMonday, 9, 0), {}); // a clock behind the stored minute
    h.engine.resume(std::nullopt, {});      // a first start
    EXPECT_TRUE(h.missed.empty());
}

TEST(ClockChange, SetBackAnHourChecksNoMinuteTwice) {
    EngineHarness h(at(kMonday, 13, 0));
    h.engine.setItems({everyDay(13, 1), everyDay(13, 5), everyDay(13, 15)});
    h.runMinutes(10);
    h.jumpTo(at(kMonday, 12, 10));
    h.runMinutes(65);
    EXPECT_EQ(h.fired, (Firings{{13, 1, 1, false}, {13, 5, 2, false}, {13, 15, 3, false}}));
    EXPECT_TRUE(h.missed.empty());
}

TEST(ClockChange, AJumpByWholeHoursChecksTheMinuteItLandsIn) {
    EngineHarness h(at(kMonday, 8, 0));
    h.engine.setItems({everyDay(16, 0), everyDay(12, 0)});
    h.jumpTo(at(kMonday, 16, 0));
    EXPECT_EQ(h.fired, (Firings{{16, 0, 1, false}}));
    EXPECT_EQ(h.missed, (std::vector<Occasions>{{{at(kMonday, 12, 0), 2, false}}}));
}

TEST(ClockChange, FallBackFiresTheRepeatedHourOnce) {
    EngineHarness h(at(kMonday, 0, 50));
    h.clock.setZone(at(kMonday, 0, 50), 120);
    h.engine.setItems({everyDay(1, 30), everyDay(5, 15, 0, 1), everyDay(2, 10)});
    h.runMinutes(69); // 01:59 summer time
    h.clock.setZone(at(kMonday, 1, 0), 60);
    h.engine.minuteTick();
    h.runMinutes(70); // to 02:10 winter time
    EXPECT_EQ(h.fired,
              (Firings{{1, 0, 2, false}, {1, 30, 1, false}, {2, 0, 2, false}, {2, 10, 3, false}}));
    EXPECT_TRUE(h.missed.empty());
}

TEST(ClockChange, SpringForwardFiresTheSkippedTimesAtTheFirstMinuteAfter) {
    EngineHarness h(at(kMonday, 1, 50));
    h.clock.setZone(at(kMonday, 1, 50), 60);
    h.engine.setItems({everyDay(2, 30), everyDay(2, 0), everyDay(3, 0), everyDay(3, 1)});
    h.runMinutes(9); // 01:59 winter time
    h.clock.setZone(at(kMonday, 3, 0), 120);
    h.engine.minuteTick();
    EXPECT_EQ(h.fired, (Firings{{3, 0, 2, false}, {3, 0, 1, false}, {3, 0, 3, false}}));
    EXPECT_TRUE(h.missed.empty());
    h.runMinutes(1);
    EXPECT_EQ(h.fired.back(), (Fired{3, 1, 4, false}));
}

TEST(ClockChange, AZoneChangeByHoursListsTheSkippedTimes) {
    EngineHarness h(at(kMonday, 8, 0));
    h.engine.setItems({everyDay(12, 0), everyDay(16, 0)});
    h.clock.setZone(at(kMonday, 16, 0), 8 * 60); // the same moment, eight hours east
    h.engine.minuteTick();
    EXPECT_EQ(h.fired, (Firings{{16, 0, 2, false}}));
    EXPECT_EQ(h.missed, (std::vector<Occasions>{{{at(kMonday, 12, 0), 1, false}}}));
}

TEST(ClockChange, SetBackFurtherThanTheLookBackStartsAfresh) {
    EngineHarness h(at(Date{2030, 1, 1}, 8, 0)); // a clock far ahead, then corrected
    h.engine.setItems({everyDay(8, 1)});
    h.jumpTo(at(kMonday, 8, 0));
    h.runMinutes(1);
    EXPECT_EQ(h.fired, (Firings{{8, 1, 1, false}}));
}

} // namespace
} // namespace kelvo::test
