#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <utility>

namespace kelvo::test {
namespace {

using Entry = ReminderEngine::SnoozeEntry;
using Queue = std::vector<Entry>;

// 2024-01-01 12:00:30 on the harness's clock (UTC offset 0).
constexpr int64_t kStart = 1704110430;

class SnoozeQueue : public ::testing::Test {
protected:
    EngineHarness h{DateTime{kMonday, 12, 0, 30}};

    std::vector<int32_t> firedItems() const {
        std::vector<int32_t> items;
        for (const Fired& f : h.fired)
            items.push_back(f.item);
        return items;
    }
};

TEST_F(SnoozeQueue, ComesBackMinutesAfterTheRequestToTheSecond) {
    h.runSeconds(24); // 12:00:54
    ASSERT_TRUE(h.engine.requestSnooze(3, 1));
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{kStart + 24 + 60, 3}}));
    h.runSeconds(59);
    EXPECT_TRUE(h.fired.empty());
    h.runSeconds(1);
    EXPECT_EQ(h.fired, (std::vector<Fired>{{12, 1, 3, false}}));
    EXPECT_EQ(h.clock.now().second, 54);
    EXPECT_TRUE(h.engine.snoozeQueue().empty());
}

TEST_F(SnoozeQueue, EntriesDueTogetherFireInQueueOrderEachAfterThePrevious) {
    h.engine.requestSnooze(4, 2);
    h.engine.requestSnooze(1, 3);
    h.engine.requestSnooze(2, 2);
    std::vector<Queue> queueWhileFiring;
    h.onFire = [&](int32_t, bool) { queueWhileFiring.push_back(h.engine.snoozeQueue()); };
    h.runSeconds(120);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{4, 2}));
    EXPECT_EQ(queueWhileFiring,
              (std::vector<Queue>{{{kStart + 180, 1}, {kStart + 120, 2}}, {{kStart + 180, 1}}}));
}

// The program sleeps until the next change of the minute or the next entry
// due, whichever its timers reach first.
TEST_F(SnoozeQueue, TheSleepLastsUntilTheNextMinuteAndTheNextEntryDue) {
    h.clock.set(DateTime{kMonday, 12, 0, 54}, 700);
    EXPECT_EQ(h.engine.msToNextMinute(), 5300);
    EXPECT_FALSE(h.engine.msToNextSnooze());
    ASSERT_TRUE(h.engine.requestSnooze(3, 2));
    ASSERT_TRUE(h.engine.requestSnooze(4, 1));
    EXPECT_EQ(h.engine.msToNextSnooze(), 59'300); // due at 12:01:54, to the second
    h.clock.set(DateTime{kMonday, 12, 1, 59}, 999);
    EXPECT_EQ(h.engine.msToNextMinute(), 1);
    EXPECT_EQ(h.engine.msToNextSnooze(), 0); // overdue: at once
    h.clock.set(DateTime{kMonday, 12, 2, 0});
    EXPECT_EQ(h.engine.msToNextMinute(), 60'000);
}

TEST_F(SnoozeQueue, TheTwentyFirstRequestIsDropped) {
    for (int i = 1; i <= ReminderEngine::kMaxSnoozes; ++i)
        ASSERT_TRUE(h.engine.requestSnooze(i, 5));
    EXPECT_FALSE(h.engine.requestSnooze(21, 1));
    ASSERT_EQ(h.engine.snoozeQueue().size(), 20u);
    EXPECT_EQ(h.engine.snoozeQueue().back(), (Entry{kStart + 300, 20}));
    EXPECT_EQ(h.queueChanges, 20);
}

TEST_F(SnoozeQueue, EntryWithoutMinutesFiresAtTheNextTick) {
    h.engine.requestSnooze(6, 0);
    h.runSeconds(1);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{6}));
}

TEST_F(SnoozeQueue, AnEntryDueWhileAPopupIsOpenComesUpOnTop) {
    h.engine.requestSnooze(1, 1);
    h.engine.requestSnooze(2, 2);
    h.engine.requestSnooze(3, 9);
    h.onFire = [&](int32_t item, bool) {
        if (item == 1)
            h.runSeconds(3 * 60); // the popup stays open for three minutes
    };
    h.runSeconds(60);
    EXPECT_EQ(h.fired, (std::vector<Fired>{{12, 1, 1, false}, {12, 2, 2, false}}));
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{kStart + 540, 3}}));
}

TEST_F(SnoozeQueue, ARequestDuringAFiringWaitsItsFullTime) {
    h.engine.requestSnooze(1, 1);
    bool snoozed = false;
    h.onFire = [&](int32_t, bool) {
        if (!std::exchange(snoozed, true))
            h.engine.requestSnooze(1, 1); // the popup's remind-later button
    };
    h.runSeconds(60);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{1}));
    h.runSeconds(59);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{1}));
    h.runSeconds(1);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{1, 1}));
}

TEST_F(SnoozeQueue, DeletingAnItemRenumbersItsEntries) {
    h.engine.requestSnooze(3, 4);
    h.engine.requestSnooze(2, 5);
    h.engine.requestSnooze(3, 6);
    h.engine.requestSnooze(1, 7);
    h.engine.itemDeleted(2);
    EXPECT_EQ(h.engine.snoozeQueue(),
              (Queue{{kStart + 240, 2}, {kStart + 360, 2}, {kStart + 420, 1}}));
    h.engine.itemDeleted(2);
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{kStart + 420, 1}}));
    const int changes = h.queueChanges;
    h.engine.itemDeleted(5);
    EXPECT_EQ(h.queueChanges, changes);
}

TEST_F(SnoozeQueue, ADismissalElsewhereReplacesTheItemsEntriesWithItsSnooze) {
    h.engine.requestSnooze(3, 4);
    h.engine.requestSnooze(2, 5);
    h.engine.requestSnooze(3, 6);
    h.engine.replaceSnoozes(3, kStart + 600);
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{kStart + 300, 2}, {kStart + 600, 3}}));
    const int changes = h.queueChanges;
    h.engine.replaceSnoozes(3, kStart + 600); // known already: nothing changes
    EXPECT_EQ(h.queueChanges, changes);
    h.engine.replaceSnoozes(2, kStart - 60); // a snooze that has passed is none
    h.engine.replaceSnoozes(3, std::nullopt);
    EXPECT_TRUE(h.engine.snoozeQueue().empty());
}

TEST_F(SnoozeQueue, DeletionDuringAFiringLeavesNoEntryFiredTwiceOrSkipped) {
    h.engine.requestSnooze(1, 1);
    h.engine.requestSnooze(2, 1);
    h.engine.requestSnooze(3, 2);
    bool deleted = false;
    h.onFire = [&](int32_t, bool) {
        if (!std::exchange(deleted, true))
            h.engine.itemDeleted(1);
    };
    h.runSeconds(60);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{1, 1})); // old item 2, now 1
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{kStart + 120, 2}}));
}

TEST_F(SnoozeQueue, PausedMinuteChecksLeaveSnoozesRunning) {
    h.engine.setItems({everyDay(12, 1), everyDay(12, 3)});
    h.engine.requestSnooze(2, 2);
    // Paused: the clock goes on, the minute check does not run.
    h.runSeconds(3 * 60);
    EXPECT_EQ(h.fired, (std::vector<Fired>{{12, 2, 2, false}}));
    // Resumed at 12:03: the paused minutes are neither checked nor listed.
    h.engine.skipUntil(addMinutes(h.clock.now(), -1));
    h.engine.minuteTick();
    EXPECT_EQ(h.fired.back(), (Fired{12, 3, 2, false}));
    EXPECT_EQ(h.fired.size(), 2u);
    EXPECT_TRUE(h.missed.empty());
}

TEST_F(SnoozeQueue, RestoredEntriesAheadWaitAndThoseDueMeanwhileAreListed) {
    h.engine.resume(std::nullopt,
                    {{kStart + 90, 4}, {kStart - 3600, 2}, {kStart + 30, 1}, {kStart - 60, 3}});
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{kStart + 90, 4}, {kStart + 30, 1}}));
    EXPECT_EQ(h.engine.msToNextSnooze(), 30'000);
    ASSERT_EQ(h.missed.size(), 1u);
    EXPECT_EQ(h.missed[0], (std::vector<Occasion>{{DateTime{kMonday, 11, 0}, 2, false},
                                                  {DateTime{kMonday, 11, 59}, 3, false}}));
    EXPECT_EQ(h.queueChanges, 1); // the file is to lose the listed ones
    h.runSeconds(90);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{1, 4}));
    EXPECT_FALSE(h.engine.msToNextSnooze());
}

TEST_F(SnoozeQueue, SnoozesAndRulesMissedWhileNotRunningAreOneListOldestFirst) {
    h.engine.setItems({everyDay(9, 0), everyDay(11, 30)});
    h.engine.resume(DateTime{kMonday, 8, 0}, {{kStart - 3600, 2}, {kStart - 7200, 1}});
    EXPECT_EQ(h.missed,
              (std::vector<std::vector<Occasion>>{{{DateTime{kMonday, 9, 0}, 1, false},
                                                   {DateTime{kMonday, 10, 0}, 1, false},
                                                   {DateTime{kMonday, 11, 0}, 2, false},
                                                   {DateTime{kMonday, 11, 30}, 2, false}}}));
}

} // namespace
} // namespace kelvo::test
