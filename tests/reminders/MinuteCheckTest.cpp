#include "EngineHarness.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

using Firings = std::vector<Fired>;

// Runs one item from just before midnight of the first day through the whole
// Monday and returns what fired on the Monday.
Firings firingsOverMonday(const ItemSchedule& item) {
    EngineHarness h(DateTime{addDays(kMonday, -1), 23, 59});
    h.engine.setItems({item});
    h.runMinutes(24 * 60);
    return h.fired;
}

TEST(MinuteCheck, AdvanceWarningWithinTheSameHour) {
    EXPECT_EQ(firingsOverMonday(everyDay(8, 30, 10)),
              (Firings{{8, 20, 1, true}, {8, 30, 1, false}}));
}

TEST(MinuteCheck, AdvanceWarningReachesIntoThePreviousHour) {
    EXPECT_EQ(firingsOverMonday(everyDay(9, 5, 10)), (Firings{{8, 55, 1, true}, {9, 5, 1, false}}));
    EXPECT_EQ(firingsOverMonday(everyDay(9, 45, 20)),
              (Firings{{9, 25, 1, true}, {9, 45, 1, false}}));
}

TEST(MinuteCheck, NoAdvanceWarningOnThePreviousDay) {
    EngineHarness h(DateTime{kMonday, 22, 0});
    h.engine.setItems({everyDay(0, 5, 10)});
    h.runMinutes(3 * 60);
    EXPECT_EQ(h.fired, (Firings{{0, 5, 1, false}}));
}

TEST(MinuteCheck, OnTheHourFiresEveryFullHourOfAMatchingDate) {
    const Firings fired = firingsOverMonday(everyDay(10, 30, 0, 1));
    ASSERT_EQ(fired.size(), 25u);
    for (int h = 0; h <= 10; ++h)
        EXPECT_EQ(fired[h], (Fired{h, 0, 1, false}));
    EXPECT_EQ(fired[11], (Fired{10, 30, 1, false}));
    EXPECT_EQ(fired.back(), (Fired{23, 0, 1, false}));
}

TEST(MinuteCheck, SetTimeOnAFullHourFiresTwiceOnTheHourFirst) {
    EngineHarness h(DateTime{kMonday, 9, 59});
    h.engine.setItems({everyDay(10, 0, 0, 1)});
    h.runMinutes(1);
    EXPECT_EQ(h.fired, (Firings{{10, 0, 1, false}, {10, 0, 1, false}}));
}

TEST(MinuteCheck, AdvanceMomentOnAFullHourFollowsTheHourlyFiring) {
    EngineHarness h(DateTime{kMonday, 9, 59});
    h.engine.setItems({everyDay(10, 10, 10, 3)});
    h.runMinutes(1);
    EXPECT_EQ(h.fired, (Firings{{10, 0, 1, false}, {10, 0, 1, true}}));
}

TEST(MinuteCheck, ItemsFireInItemOrder) {
    EngineHarness h(DateTime{kMonday, 7, 59});
    h.engine.setItems({everyDay(8, 10, 10), everyDay(8, 0), everyDay(9, 0, 0, 1)});
    h.runMinutes(1);
    EXPECT_EQ(h.fired, (Firings{{8, 0, 1, true}, {8, 0, 2, false}, {8, 0, 3, false}}));
}

TEST(MinuteCheck, OnlyMatchingDatesFire) {
    EngineHarness h(DateTime{kMonday, 17, 59});
    const int32_t tuesdayOnly = 255 + 512;
    h.engine.setItems({ItemSchedule{0, 0, tuesdayOnly, 18, 0, 0, 0},
                       ItemSchedule{2024, 1, 2, 18, 0, 0, 0}, ItemSchedule{0, 2, 0, 18, 0, 0, 0},
                       ItemSchedule{0, 0, 100, 18, 0, 0, 0}});
    h.runMinutes(1);
    EXPECT_TRUE(h.fired.empty());
    h.runMinutes(24 * 60);
    EXPECT_EQ(h.fired, (Firings{{18, 0, 1, false}, {18, 0, 2, false}}));
}

TEST(MinuteCheck, TheMinuteOfCreationIsNeverChecked) {
    EngineHarness h(DateTime{kMonday, 8, 30, 5});
    h.engine.setItems({everyDay(8, 30)});
    h.clock.set(DateTime{kMonday, 8, 30, 59});
    h.engine.minuteTick();
    EXPECT_TRUE(h.fired.empty());
    h.runMinutes(24 * 60);
    EXPECT_EQ(h.fired, (Firings{{8, 30, 1, false}}));
}

// The mind-method table over one Monday: start firings, hourly firings, and
// the set time with its advance warning.
struct MindMethodCase {
    int mindMethod;
    size_t atStart;
    size_t onTheHour;
};
class MindMethodTable : public ::testing::TestWithParam<MindMethodCase> {};

TEST_P(MindMethodTable, FiresAsTheMethodSays) {
    const MindMethodCase c = GetParam();
    EngineHarness h(DateTime{kMonday, 6, 17});
    h.engine.setItems({everyDay(10, 30, 5, c.mindMethod)});
    h.engine.startCheck();
    EXPECT_EQ(h.fired.size(), c.atStart);
    h.fired.clear();
    h.runMinutes(24 * 60);
    size_t hourly = 0, setTime = 0, advance = 0;
    for (const Fired& f : h.fired) {
        hourly += f.minute == 0;
        setTime += f.hour == 10 && f.minute == 30 && !f.advance;
        advance += f.hour == 10 && f.minute == 25 && f.advance;
    }
    EXPECT_EQ(hourly, c.onTheHour);
    EXPECT_EQ(setTime, 1u);
    EXPECT_EQ(advance, 1u);
    EXPECT_EQ(h.fired.size(), hourly + setTime + advance);
}

INSTANTIATE_TEST_SUITE_P(AllMethods, MindMethodTable,
                         ::testing::Values(MindMethodCase{0, 0, 0}, MindMethodCase{1, 0, 24},
                                           MindMethodCase{2, 1, 0}, MindMethodCase{3, 1, 24},
                                           MindMethodCase{7, 0, 0}));

TEST(StartCheck, WeeklyAtStartItemFiresOnItsDayAtAnyTime) {
    const ItemSchedule mondays{0, 0, 255 + 256, 18, 0, 0, 2};
    EngineHarness monday(DateTime{kMonday, 7, 13});
    monday.engine.setItems({mondays});
    monday.engine.startCheck();
    monday.runMinutes(12 * 60);
    EXPECT_EQ(monday.fired, (Firings{{7, 13, 1, false}, {18, 0, 1, false}}));

    EngineHarness tuesday(DateTime{kTuesday, 0, 0});
    tuesday.engine.setItems({mondays});
    tuesday.engine.startCheck();
    tuesday.runMinutes(24 * 60 - 1);
    EXPECT_TRUE(tuesday.fired.empty());
}

TEST(StartCheck, FiresEveryMatchingAtStartItemInOrder) {
    EngineHarness h(DateTime{kMonday, 23, 59});
    h.engine.setItems({everyDay(1, 0, 0, 3), everyDay(1, 0, 0, 1),
                       ItemSchedule{2023, 0, 0, 1, 0, 0, 2}, everyDay(1, 0, 0, 2)});
    h.engine.startCheck();
    EXPECT_EQ(h.fired, (Firings{{23, 59, 1, false}, {23, 59, 4, false}}));
}

TEST(Reentrancy, NestedCheckForTheNewMinuteThenTheOuterCheckResumes) {
    EngineHarness h(DateTime{kMonday, 8, 29});
    h.engine.setItems({everyDay(8, 30), everyDay(8, 30), everyDay(8, 31)});
    bool popupOpen = false;
    h.onFire = [&](int32_t, bool) {
        if (popupOpen)
            return;
        popupOpen = true; // the first popup stays open over the minute change
        h.runMinutes(1);
        popupOpen = false;
    };
    h.runMinutes(1);
    EXPECT_EQ(h.fired, (Firings{{8, 30, 1, false}, {8, 31, 3, false}, {8, 31, 2, false}}));
    // The outer check fired item 2 for 08:30 after the nested one, although
    // the clock showed 08:31 by then.
    h.fired.clear();
    h.runMinutes(1);
    EXPECT_TRUE(h.fired.empty());
}

TEST(Reentrancy, APopupHeldOpenAcrossThreeMinutesLetsTheLaterOnesStackOnTop) {
    EngineHarness h(DateTime{kMonday, 8, 29});
    h.engine.setItems({everyDay(8, 30), everyDay(8, 31), everyDay(8, 32)});
    int open = 0; // popups open now, none of them closed until the end
    h.onFire = [&](int32_t, bool) {
        ++open;
        if (open == 1)
            h.runMinutes(3);
    };
    h.runMinutes(1);
    EXPECT_EQ(h.fired, (Firings{{8, 30, 1, false}, {8, 31, 2, false}, {8, 32, 3, false}}));
    EXPECT_EQ(open, 3);
    h.runMinutes(60);
    EXPECT_EQ(h.fired.size(), 3u);
}

TEST(Reentrancy, ItemsReplacedDuringAFiringAreReadAfresh) {
    EngineHarness h(DateTime{kMonday, 8, 59});
    h.engine.setItems({everyDay(9, 0, 0, 1), everyDay(9, 0), everyDay(9, 0)});
    h.onFire = [&](int32_t item, bool) {
        if (item == 1)
            h.engine.setItems({everyDay(9, 0), everyDay(9, 0)});
    };
    h.runMinutes(1);
    // Item 1 was replaced after its hourly firing and still matches 09:00;
    // item 3 no longer exists.
    EXPECT_EQ(h.fired, (Firings{{9, 0, 1, false}, {9, 0, 1, false}, {9, 0, 2, false}}));

    EngineHarness shrink(DateTime{kMonday, 8, 59});
    shrink.engine.setItems({everyDay(9, 0, 0, 1), everyDay(9, 0)});
    shrink.onFire = [&](int32_t, bool) { shrink.engine.setItems({}); };
    shrink.runMinutes(1);
    EXPECT_EQ(shrink.fired, (Firings{{9, 0, 1, false}}));
}

} // namespace
} // namespace kelvo::test
