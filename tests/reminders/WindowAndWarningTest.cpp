// Interval reminders within a window of the day and warnings days ahead:
// what fires when, in the minute check and in the look-ahead alike.
#include "EngineHarness.h"

#include "lunar/Calendar.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

ItemSchedule window(int hour, int min, int every, int endMinute, int32_t day = 0) {
    ItemSchedule s = everyDay(hour, min);
    s.day = day;
    s.interval = intervalRule(every, endMinute);
    return s;
}

TEST(IntervalWindow, EveryFortyFiveMinutesFromNineToSixOnWorkdays) {
    const int32_t workdays = weekdayCode({true, true, true, true, true, false, false});
    EngineHarness h(DateTime{kMonday, 8, 0});
    h.engine.setItems({window(9, 0, 45, 18 * 60, workdays)});
    h.runMinutes(11 * 60);
    ASSERT_EQ(h.fired.size(), 13u); // 09:00, 09:45 … 17:15, 18:00
    EXPECT_EQ(h.fired.front(), (Fired{9, 0, 1, false}));
    EXPECT_EQ(h.fired[1], (Fired{9, 45, 1, false}));
    EXPECT_EQ(h.fired.back(), (Fired{18, 0, 1, false}));
    // Saturday and Sunday (6 and 7 January) have none.
    const auto weekend =
        firingsBetween(window(9, 0, 45, 18 * 60, workdays), DateTime{Date{2024, 1, 6}, 0, 0},
                       DateTime{Date{2024, 1, 7}, 23, 59});
    EXPECT_TRUE(weekend.empty());
}

TEST(IntervalWindow, TheFirstMinuteIsTheSetTimeTheOthersTheirOwnKind) {
    DayFiring pattern[kMostDayFirings];
    const ItemSchedule item = window(9, 0, 45, 18 * 60);
    ASSERT_EQ(dayFirings(item, pattern), 13);
    EXPECT_EQ(pattern[0], (DayFiring{540, FiringKind::SetTime}));
    EXPECT_EQ(pattern[1], (DayFiring{585, FiringKind::Interval}));
    // The widest window: every 5 minutes all day, with the full hours and
    // the advance warning of an hourly item, fits the pattern.
    ItemSchedule widest = window(0, 10, 5, 1439);
    widest.mindMethod = 1;
    widest.rdBefore = 5;
    EXPECT_EQ(dayFirings(widest, pattern), 24 + 1 + 286);
}

TEST(IntervalWindow, EndsBeforeMidnightAndStartsAgainTheNextDay) {
    const auto f = firingsBetween(window(23, 30, 10, 1439), DateTime{kMonday, 23, 0},
                                  DateTime{kTuesday, 23, 35});
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[2].at, (DateTime{kMonday, 23, 50}));
    EXPECT_EQ(f[3].at, (DateTime{kTuesday, 23, 30}));
    EXPECT_EQ(f[3].kind, FiringKind::SetTime);
    // A window starting at midnight: the advance warning before it belongs
    // to no day, as for any set time in the first minutes.
    ItemSchedule early = window(0, 0, 30, 60);
    early.rdBefore = 10;
    EXPECT_EQ(nextFiring(early, DateTime{kMonday, 23, 0})->at, (DateTime{kTuesday, 0, 0}));
}

TEST(IntervalWindow, ARuleNoWindowFitsLeavesThePlainSetTime) {
    for (const auto& [every, end] :
         {std::pair{45, 9 * 60}, {45, 8 * 60}, {4, 18 * 60}, {721, 23 * 60}, {45, 1440}}) {
        const ItemSchedule item = window(9, 0, every, end);
        EXPECT_FALSE(intervalApplies(item)) << every << " " << end;
        const auto f = firingsBetween(item, DateTime{kMonday, 0, 0}, DateTime{kMonday, 23, 59});
        ASSERT_EQ(f.size(), 1u);
        EXPECT_EQ(f[0].at, (DateTime{kMonday, 9, 0}));
    }
}

TEST(IntervalWindow, AGapListsTheReminderOnceAtItsLatestMinute) {
    const std::vector<ItemSchedule> items{window(9, 0, 15, 17 * 60), everyDay(10, 0)};
    const auto missed = occasionsBetween(items, minuteNumber(DateTime{kMonday, 8, 0}),
                                         minuteNumber(DateTime{kMonday, 12, 5}));
    ASSERT_EQ(missed.size(), 2u);
    EXPECT_EQ(missed[0], (Occasion{DateTime{kMonday, 10, 0}, 2}));
    EXPECT_EQ(missed[1], (Occasion{DateTime{kMonday, 12, 0}, 1}));
    // The engine lists it once after a suspend, too.
    EngineHarness h(DateTime{kMonday, 8, 0});
    h.engine.setItems(items);
    h.jumpTo(DateTime{kMonday, 12, 5});
    ASSERT_EQ(h.missed.size(), 1u);
    EXPECT_EQ(h.missed[0], missed);
}

// The minutes the start of summer time skips are checked late at 03:00:
// the window fires once there, not once for each of them. The hour that
// the end of summer time repeats fires its minutes once.
TEST(IntervalWindow, DaylightSavingTimeSkipsOrRepeatsTheWindowsMinutesOnce) {
    EngineHarness spring(DateTime{kMonday, 1, 45});
    spring.clock.setZone(DateTime{kMonday, 1, 45}, 60);
    spring.engine.setItems({window(1, 0, 10, 4 * 60)});
    spring.runMinutes(14); // 01:59 winter time
    spring.clock.setZone(DateTime{kMonday, 3, 0}, 120);
    spring.engine.minuteTick();
    EXPECT_EQ(spring.fired, (std::vector<Fired>{{1, 50, 1, false}, {3, 0, 1, false}}));
    EXPECT_TRUE(spring.missed.empty());

    EngineHarness autumn(DateTime{kMonday, 0, 55});
    autumn.clock.setZone(DateTime{kMonday, 0, 55}, 120);
    autumn.engine.setItems({window(1, 0, 20, 4 * 60)});
    autumn.runMinutes(64); // 01:59 summer time
    autumn.clock.setZone(DateTime{kMonday, 1, 0}, 60);
    autumn.engine.minuteTick();
    autumn.runMinutes(70); // to 02:10 winter time
    EXPECT_EQ(autumn.fired,
              (std::vector<Fired>{
                  {1, 0, 1, false}, {1, 20, 1, false}, {1, 40, 1, false}, {2, 0, 1, false}}));
}

ItemSchedule yearly(int month, int day, std::vector<int32_t> warnDays, int warnMinute = -1) {
    ItemSchedule s{0, month, day, 9, 0};
    s.warnings = dayWarnings(std::move(warnDays), warnMinute);
    return s;
}

TEST(DayWarnings, SevenAndOneDayBeforeNewYearAcrossTheYearsEnd) {
    const auto f = firingsBetween(yearly(1, 1, {1, 7}, 20 * 60), DateTime{Date{2026, 12, 20}, 0, 0},
                                  DateTime{Date{2027, 1, 1}, 23, 59});
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0], (FiringTime{DateTime{Date{2026, 12, 25}, 20, 0}, FiringKind::DaysAhead, 7}));
    EXPECT_EQ(f[1], (FiringTime{DateTime{Date{2026, 12, 31}, 20, 0}, FiringKind::DaysAhead, 1}));
    EXPECT_EQ(f[2], (FiringTime{DateTime{Date{2027, 1, 1}, 9, 0}, FiringKind::SetTime, 0}));
    EXPECT_EQ(previousFiring(yearly(1, 1, {1, 7}, 20 * 60), DateTime{Date{2027, 1, 1}, 0, 0}),
              f[1]);
    // The minute check gives the same.
    EngineHarness h(DateTime{Date{2026, 12, 31}, 19, 58});
    h.engine.setItems({yearly(1, 1, {1, 7}, 20 * 60)});
    h.runMinutes(5);
    EXPECT_EQ(h.fired, (std::vector<Fired>{{20, 0, 1, false, 1}}));
}

TEST(DayWarnings, The29thOfFebruaryIsWarnedOfInLeapYearsOnly) {
    const ItemSchedule leapDay = yearly(2, 29, {1});
    const auto next = nextFiring(leapDay, DateTime{Date{2026, 12, 9}, 0, 0});
    EXPECT_EQ(next, (FiringTime{DateTime{Date{2028, 2, 28}, 9, 0}, FiringKind::DaysAhead, 1}));
    EXPECT_EQ(dayWarningAt(leapDay, DateTime{Date{2027, 2, 28}, 9, 0}), std::nullopt);
    EXPECT_EQ(dayWarningAt(leapDay, DateTime{Date{2028, 2, 28}, 9, 0}), 1);
}

TEST(DayWarnings, ALunarDayThirtyIsWarnedOfByGregorianDays) {
    ItemSchedule lastDay{0, 1, 1, 9, 0};
    lastDay.lunar = LunarRepeat{LunarRepeat::kMonthly, 0, 30, false};
    lastDay.warnings = dayWarnings({7});
    // Each lunar month's last day, 29 or 30, is warned of 7 days before.
    Date from{2027, 1, 1};
    for (int i = 0; i < 14; ++i) {
        const auto w = nextFiring(lastDay, DateTime{from, 0, 0});
        ASSERT_TRUE(w);
        if (w->kind == FiringKind::SetTime) {
            from = addDays(w->at.date, 1);
            continue;
        }
        ASSERT_EQ(w->kind, FiringKind::DaysAhead);
        const Date day = addDays(w->at.date, 7);
        const TLunarDate lunar = SolarToLunar(day);
        EXPECT_EQ(lunar.Day, LunarMonthLength(lunar)) << day.year << "-" << day.month;
        from = addDays(w->at.date, 1);
    }
}

TEST(DayWarnings, AWarningGivesWayToWhatFiresAtItsMinute) {
    // Weekly on Monday with a warning 7 days ahead at its own time: each
    // Monday's reminder says more than the warning of the next.
    ItemSchedule monday{0, 0, weekdayCode({true, false, false, false, false, false, false}), 9, 0};
    monday.warnings = dayWarnings({7, 2});
    const auto f =
        firingsBetween(monday, DateTime{kMonday, 0, 0}, DateTime{Date{2024, 1, 14}, 23, 59});
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0].kind, FiringKind::SetTime);
    EXPECT_EQ(f[1], (FiringTime{DateTime{Date{2024, 1, 6}, 9, 0}, FiringKind::DaysAhead, 2}));
    EXPECT_EQ(f[2], (FiringTime{DateTime{Date{2024, 1, 8}, 9, 0}, FiringKind::SetTime}));
    EXPECT_EQ(f[3], (FiringTime{DateTime{Date{2024, 1, 13}, 9, 0}, FiringKind::DaysAhead, 2}));
    // Two warnings of one minute (every day, 1 and 2 days ahead): the fewer days.
    ItemSchedule daily = everyDay(9, 0);
    daily.warnings = dayWarnings({2, 1}, 8 * 60);
    EngineHarness h(DateTime{kMonday, 7, 59});
    h.engine.setItems({daily});
    h.runMinutes(62);
    EXPECT_EQ(h.fired, (std::vector<Fired>{{8, 0, 1, false, 1}, {9, 0, 1, false, 0}}));
}

TEST(DayWarnings, EachFiresOncePerOccasionAcrossARestartWithTheClockSetBack) {
    const ItemSchedule item = yearly(12, 25, {3}, 8 * 60);
    EngineHarness first(DateTime{Date{2026, 12, 22}, 7, 59});
    first.engine.setItems({item});
    first.runMinutes(2);
    ASSERT_EQ(first.fired, (std::vector<Fired>{{8, 0, 1, false, 3}}));
    // The next run, started with the clock set back before it.
    EngineHarness second(DateTime{Date{2026, 12, 22}, 7, 50});
    second.engine.setItems({item});
    second.engine.restoreFired(first.engine.firedOccasions());
    second.engine.resume(DateTime{Date{2026, 12, 22}, 8, 1}, {},
                         second.clock.read().utcSeconds + 600);
    second.runMinutes(15);
    EXPECT_TRUE(second.fired.empty());
    EXPECT_TRUE(second.missed.empty());
}

} // namespace
} // namespace kelvo::test
