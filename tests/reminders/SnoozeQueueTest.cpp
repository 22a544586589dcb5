#include "EngineHarness.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

using Entry = ReminderEngine::SnoozeEntry;
using Queue = std::vector<Entry>;
constexpr int kPass = ReminderEngine::kTicksPerPass;

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

TEST_F(SnoozeQueue, FiveMinutesFireAtTheFifthPass) {
    ASSERT_TRUE(h.engine.requestSnooze(3, 5));
    h.snoozeTicks(5 * kPass - 1);
    EXPECT_TRUE(h.fired.empty());
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{1, 3}}));
    h.snoozeTicks(1);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{3}));
    EXPECT_FALSE(h.fired[0].advance);
    EXPECT_TRUE(h.engine.snoozeQueue().empty());
}

TEST_F(SnoozeQueue, EntriesReachingZeroTogetherFireInOrderEachAfterThePrevious) {
    h.engine.requestSnooze(4, 2);
    h.engine.requestSnooze(1, 3);
    h.engine.requestSnooze(2, 2);
    std::vector<Queue> queueWhileFiring;
    h.onFire = [&](int32_t, bool) { queueWhileFiring.push_back(h.engine.snoozeQueue()); };
    h.snoozeTicks(2 * kPass);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{4, 2}));
    // The later entries were counted down once each and kept their order.
    EXPECT_EQ(queueWhileFiring, (std::vector<Queue>{{{2, 1}, {1, 2}}, {{1, 1}}}));
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{1, 1}}));
}

TEST_F(SnoozeQueue, TheTwentyFirstRequestIsDropped) {
    for (int i = 1; i <= ReminderEngine::kMaxSnoozes; ++i)
        ASSERT_TRUE(h.engine.requestSnooze(i, 5));
    EXPECT_FALSE(h.engine.requestSnooze(21, 1));
    ASSERT_EQ(h.engine.snoozeQueue().size(), 20u);
    EXPECT_EQ(h.engine.snoozeQueue().back(), (Entry{5, 20}));
}

TEST_F(SnoozeQueue, EntryWithoutMinutesFiresAtTheFirstPass) {
    h.engine.requestSnooze(6, 0);
    h.snoozeTicks(kPass);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{6}));
}

TEST_F(SnoozeQueue, TicksDuringAPassStartNoSecondPassAndDoNotCount) {
    h.engine.requestSnooze(1, 1);
    h.engine.requestSnooze(2, 2);
    h.onFire = [&](int32_t item, bool) {
        if (item == 1)
            h.snoozeTicks(3 * kPass); // the popup stays open for three minutes
    };
    h.snoozeTicks(kPass);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{1}));
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{1, 2}}));
    // The counter restarted when the pass ended.
    h.snoozeTicks(kPass - 1);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{1}));
    h.snoozeTicks(1);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{1, 2}));
}

TEST_F(SnoozeQueue, RequestsDuringAPassWaitForTheNextPass) {
    h.engine.requestSnooze(1, 1);
    h.engine.requestSnooze(2, 3);
    h.onFire = [&](int32_t item, bool) {
        if (item == 1)
            h.engine.requestSnooze(1, 1); // the popup's remind-later button
    };
    h.snoozeTicks(kPass);
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{2, 2}, {1, 1}}));
    h.onFire = nullptr;
    h.snoozeTicks(kPass);
    EXPECT_EQ(firedItems(), (std::vector<int32_t>{1, 1}));
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{1, 2}}));
}

TEST_F(SnoozeQueue, DeletingAnItemRenumbersItsEntries) {
    h.engine.requestSnooze(3, 4);
    h.engine.requestSnooze(2, 5);
    h.engine.requestSnooze(3, 6);
    h.engine.requestSnooze(1, 7);
    h.engine.itemDeleted(2);
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{4, 2}, {6, 2}, {7, 1}}));
    h.engine.itemDeleted(2);
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{7, 1}}));
}

TEST_F(SnoozeQueue, DeletionDuringAPassLeavesNoEntryTreatedTwiceOrSkipped) {
    h.engine.requestSnooze(1, 1);
    h.engine.requestSnooze(2, 2);
    h.engine.requestSnooze(3, 2);
    h.onFire = [&](int32_t item, bool) {
        if (item == 1)
            h.engine.itemDeleted(1);
    };
    h.snoozeTicks(kPass);
    EXPECT_EQ(h.engine.snoozeQueue(), (Queue{{1, 1}, {1, 2}}));
}

TEST_F(SnoozeQueue, PausedMinuteChecksLeaveSnoozesRunning) {
    h.engine.setItems({everyDay(12, 1), everyDay(12, 3)});
    h.engine.requestSnooze(2, 2);
    // Paused: the clock goes on, gtimer does not tick, retimer does.
    for (int minute = 0; minute < 3; ++minute) {
        h.clock.advanceMinutes(1);
        h.snoozeTicks(kPass);
    }
    EXPECT_EQ(h.fired, (std::vector<Fired>{{12, 2, 2, false}}));
    // Resumed at 12:03: only the current minute is checked.
    h.engine.minuteTick();
    EXPECT_EQ(h.fired.back(), (Fired{12, 3, 2, false}));
    EXPECT_EQ(h.fired.size(), 2u);
}

} // namespace
} // namespace kelvo::test
