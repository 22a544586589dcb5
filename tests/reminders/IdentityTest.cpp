// Items held by identity across deletes and reloads, the occasions that
// fired remembered across a clock set back and a restart, the minute whose
// alerts did not all come, and reminders added for a minute checked already.
#include "EngineHarness.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

using Firings = std::vector<Fired>;
using Occasions = std::vector<Occasion>;

DateTime at(const Date& day, int hour, int minute, int second = 0) {
    return DateTime{day, hour, minute, second};
}

ItemSchedule keyed(ItemSchedule item, uint64_t key) {
    item.key = key;
    return item;
}

// A, B and C due together; A's alert is open while item 1 (A) is deleted.
TEST(ItemIdentity, ADeleteDuringAFiringGoesOnWithTheItemsAsTheyAreThen) {
    EngineHarness h(at(kMonday, 8, 29));
    const ItemSchedule a = keyed(everyDay(8, 30), 1), b = keyed(everyDay(8, 30), 2),
                       c = keyed(everyDay(8, 30), 3);
    h.engine.setItems({a, b, c});
    h.onFire = [&](int32_t item, bool) {
        if (h.fired.size() == 1 && item == 1) {
            h.engine.itemDeleted(1);
            h.engine.setItems({b, c});
        }
    };
    h.runMinutes(1);
    EXPECT_EQ(h.fired, (Firings{{8, 30, 1, false}, {8, 30, 1, false}, {8, 30, 2, false}}));
}

TEST(ItemIdentity, ItemsAddedOrRemovedByAnotherProgramKeepTheirsByContent) {
    EngineHarness h(at(kMonday, 8, 29));
    const ItemSchedule a = keyed(everyDay(8, 30), 1), b = keyed(everyDay(8, 30), 2);
    h.engine.setItems({a, b});
    h.onFire = [&](int32_t item, bool) {
        if (h.fired.size() == 1 && item == 1)
            h.engine.setItems({keyed(everyDay(7, 0), 9), b}); // a replaced by another item
    };
    h.runMinutes(1);
    // b is held at its identity, now item 2, and fires once.
    EXPECT_EQ(h.fired, (Firings{{8, 30, 1, false}, {8, 30, 2, false}}));
}

TEST(ItemIdentity, TheSnoozeOfADeletedItemIsNotQueued) {
    EngineHarness h(at(kMonday, 8, 29));
    EXPECT_FALSE(h.engine.requestSnooze(0, 5));
    EXPECT_TRUE(h.engine.snoozeQueue().empty());
}

// The clock was a day ahead and is put right while the program runs.
TEST(FiredMemory, AClockSetBackADayChecksItsMinutesAgainAndFiresNothingTwice) {
    EngineHarness h(at(kTuesday, 8, 28));
    h.engine.setItems({everyDay(8, 30), ItemSchedule{2024, 1, 1, 8, 31, 0, 0},
                       ItemSchedule{2024, 1, 2, 8, 29, 0, 0}});
    h.runMinutes(3); // 08:31 on the wrong day: the daily one fires
    EXPECT_EQ(h.fired, (Firings{{8, 29, 3, false}, {8, 30, 1, false}}));
    h.jumpTo(at(kMonday, 8, 29, 50));
    h.runMinutes(2);
    EXPECT_EQ(
        h.fired,
        (Firings{{8, 29, 3, false}, {8, 30, 1, false}, {8, 30, 1, false}, {8, 31, 2, false}}));
    EXPECT_TRUE(h.missed.empty());
    // Forward again to the wrong day, as a second correction might: what
    // fired then does not fire again.
    h.jumpTo(at(kTuesday, 8, 29));
    h.runMinutes(3);
    EXPECT_EQ(h.fired.size(), 4u);
}

TEST(FiredMemory, ASetBackOfAMinuteOrTwoWaitsForTheMinutesChecked) {
    EngineHarness h(at(kMonday, 8, 29));
    h.engine.setItems({everyDay(8, 30), everyDay(8, 31)});
    h.runMinutes(2);
    h.jumpTo(at(kMonday, 8, 29, 58));
    EXPECT_EQ(h.engine.lastChecked(), at(kMonday, 8, 31));
    h.runMinutes(3);
    EXPECT_EQ(h.fired, (Firings{{8, 30, 1, false}, {8, 31, 2, false}}));
}

TEST(FiredMemory, AnHourlyItemFiresItsFullHourAndItsSetTimeOnceEachAfterASetBack) {
    EngineHarness h(at(kMonday, 9, 59));
    h.engine.setItems({everyDay(10, 0, 0, 1)});
    h.runMinutes(2);
    h.jumpTo(at(kMonday, 9, 50));
    h.runMinutes(15);
    EXPECT_EQ(h.fired, (Firings{{10, 0, 1, false}, {10, 0, 1, false}}));
}

TEST(FiredMemory, WhatFiredIsForgottenAfterSevenDays) {
    EngineHarness h(at(kMonday, 8, 29));
    h.engine.setItems({everyDay(8, 30), everyDay(8, 31)});
    h.runMinutes(1);
    ASSERT_EQ(h.engine.firedOccasions().size(), 1u);
    h.jumpTo(at(addDays(kMonday, 8), 8, 30));
    h.runMinutes(1);
    EXPECT_EQ(h.engine.firedOccasions().size(), 2u); // 08:30 and 08:31 of the 8th day
}

// A run fired some occasions and stored its last check; the clock is set
// back before the next start.
TEST(FiredMemory, ARestartAfterASetBackFiresAgainOnlyWhatDidNotFire) {
    EngineHarness first(at(kMonday, 8, 29));
    const std::vector<ItemSchedule> items{keyed(everyDay(8, 30), 11), keyed(everyDay(8, 45), 12)};
    first.engine.setItems(items);
    first.runMinutes(10); // to 08:39: 08:30 fired, 08:45 not yet
    const auto fired = first.engine.firedOccasions();
    const DateTime lastCheck = first.engine.lastChecked();
    const int64_t lastCheckUtc = first.engine.lastCheckedUtc();

    EngineHarness second(at(kMonday, 8, 28));
    second.engine.setItems(items);
    second.engine.restoreFired(fired);
    second.engine.resume(lastCheck, {}, lastCheckUtc);
    EXPECT_TRUE(second.missed.empty());
    second.runMinutes(20);
    EXPECT_EQ(second.fired, (Firings{{8, 45, 2, false}}));
}

// 2027-10-31 in Europe/Berlin: 02:46 summer time, restarted at 02:29
// winter time, an hour of real time later.
TEST(FiredMemory, ARestartInTheRepeatedHourFiresItsReminderOnce) {
    const Date day{2027, 10, 31};
    EngineHarness first(at(day, 2, 20));
    first.clock.setZone(at(day, 2, 20), 120);
    const std::vector<ItemSchedule> items{keyed(everyDay(2, 30), 5), keyed(everyDay(2, 50), 6)};
    first.engine.setItems(items);
    first.runMinutes(26);
    EXPECT_EQ(first.fired, (Firings{{2, 30, 1, false}}));
    const int64_t lastCheckUtc = first.engine.lastCheckedUtc();
    EXPECT_EQ(lastCheckUtc, localSeconds(at(day, 0, 46)));

    EngineHarness second(at(day, 2, 29));
    second.clock.setZone(at(day, 2, 29), 60);
    second.engine.setItems(items);
    second.engine.restoreFired(first.engine.firedOccasions());
    second.engine.resume(first.engine.lastChecked(), {}, lastCheckUtc);
    second.runMinutes(30);
    EXPECT_EQ(second.fired, (Firings{{2, 50, 2, false}}));
}

// The user logs out with the first of three alerts of 08:30 open.
TEST(InterruptedMinute, AMinuteIsCheckedOnlyWhenEveryItemOfItFired) {
    EngineHarness h(at(kMonday, 8, 29));
    const std::vector<ItemSchedule> items{keyed(everyDay(8, 30), 1), keyed(everyDay(8, 30), 2),
                                          keyed(everyDay(8, 30), 3)};
    h.engine.setItems(items);
    std::optional<DateTime> whileOpen;
    h.onFire = [&](int32_t, bool) {
        whileOpen = h.engine.lastChecked();
        h.engine.stop();
    };
    h.runMinutes(2);
    EXPECT_EQ(h.fired, (Firings{{8, 30, 1, false}}));
    EXPECT_EQ(whileOpen, at(kMonday, 8, 29));
    EXPECT_EQ(h.engine.lastChecked(), at(kMonday, 8, 29));

    // The next start lists the two that never came, not the one shown.
    EngineHarness next(at(kMonday, 8, 40));
    next.engine.setItems(items);
    next.engine.restoreFired(h.engine.firedOccasions());
    next.engine.resume(h.engine.lastChecked(), {}, h.engine.lastCheckedUtc());
    EXPECT_EQ(next.missed, (std::vector<Occasions>{
                               {{at(kMonday, 8, 30), 2, false}, {at(kMonday, 8, 30), 3, false}}}));
}

// A question of the start was open from 08:39:40 to 08:40:40.
TEST(InterruptedMinute, AStartThatWaitedListsUpToItsFirstMinuteAndChecksTheRest) {
    EngineHarness h(at(kMonday, 8, 39, 40));
    h.engine.setItems({everyDay(8, 37), everyDay(8, 40)});
    h.clock.set(at(kMonday, 8, 40, 40));
    h.engine.resume(at(kMonday, 8, 36), {});
    EXPECT_EQ(h.missed, (std::vector<Occasions>{{{at(kMonday, 8, 37), 1, false}}}));
    h.engine.minuteTick();
    EXPECT_EQ(h.fired, (Firings{{8, 40, 2, false}}));
}

TEST(AddedItems, AnOccasionUpToFiveMinutesBackFiresAtOnceWhenAdded) {
    EngineHarness h(at(kMonday, 8, 30));
    h.engine.setItems({keyed(everyDay(8, 35), 1)});
    h.engine.resume(std::nullopt, {});
    h.runMinutes(5);
    h.clock.set(at(kMonday, 8, 35, 20));
    EXPECT_EQ(h.fired, (Firings{{8, 35, 1, false}}));
    h.engine.setItems({keyed(everyDay(8, 35), 1), keyed(everyDay(8, 35), 2),
                       keyed(everyDay(8, 29), 3), keyed(everyDay(8, 30), 4),
                       keyed(everyDay(8, 36), 5)});
    h.engine.checkAdded();
    EXPECT_EQ(h.fired, (Firings{{8, 35, 1, false}, {8, 35, 4, false}, {8, 35, 2, false}}));
    h.engine.checkAdded(); // nothing is new any more
    h.runMinutes(2);
    EXPECT_EQ(h.fired.size(), 4u);
    EXPECT_EQ(h.fired.back(), (Fired{8, 36, 5, false}));
}

TEST(AddedItems, TheItemsOfTheStartAreNotAdded) {
    EngineHarness h(at(kMonday, 8, 30, 30));
    h.engine.setItems({everyDay(8, 30), everyDay(8, 28)});
    h.engine.resume(std::nullopt, {});
    h.engine.checkAdded();
    EXPECT_TRUE(h.fired.empty());
}

} // namespace
} // namespace kelvo::test
