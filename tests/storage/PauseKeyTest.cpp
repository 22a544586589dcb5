#include "storage/PauseKey.h"

#include "core/Clock.h"
#include "reminders/ItemTexts.h"
#include "reminders/ReminderEngine.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "storage/ReminderFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using test::TempDir;

constexpr DateTime kEight{Date{2026, 12, 9}, 8, 0};

// Every day at 09:00 with a warning ten minutes before, and a one-off that
// has passed.
class PauseKeyTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("DataFile.dat");

    void SetUp() override {
        TIniFile data(path);
        createDataFile(data);
        ReminderItem daily;
        daily.year = daily.month = daily.day = 0;
        daily.hour = 9;
        daily.rdBefore = 10;
        daily.message = "站会";
        appendItem(data, daily, false);
        ReminderItem once = daily;
        once.year = 2026, once.month = 12, once.day = 1, once.message = "已过";
        appendItem(data, once, false);
    }
    // As the next start reads it.
    ItemSchedule loaded(int32_t k) const {
        return loadReminderList(TIniFile(path)).items.at(static_cast<size_t>(k - 1));
    }
    std::string stored(int32_t k) const {
        return TIniFile(path).ReadString(itemSection(k), "NotBefore", "(none)");
    }
};

TEST_F(PauseKeyTest, SkipPauseAndResumeAreStoredAndReadBackWithTheKeyUnchanged) {
    const ItemSchedule plain = loaded(1);
    TIniFile data(path);
    // The next occurrence is 09:00 (its warning at 08:50 goes with it).
    EXPECT_EQ(skipNextOccurrence(data, 1, kEight), PauseOutcome::Done);
    EXPECT_EQ(stored(1), "2026-12-09 09:01");
    ItemSchedule item = loaded(1);
    EXPECT_EQ(item.key, plain.key);
    EXPECT_EQ(pauseNote(item, kEight), "（跳过 12月9日 09:00）");
    EXPECT_EQ(nextFiring(item, kEight)->at, (DateTime{Date{2026, 12, 10}, 8, 50}));
    // Once more: the day after as well.
    EXPECT_EQ(skipNextOccurrence(data, 1, kEight), PauseOutcome::Done);
    EXPECT_EQ(pauseNote(loaded(1), kEight), "（跳过 12月10日 09:00）");

    EXPECT_EQ(pauseError(kEight.date, kEight.date), "暂停到的日期必须在今天之后。");
    EXPECT_EQ(pauseItem(data, 1, Date{2027, 1, 5}), PauseOutcome::Done);
    EXPECT_EQ(stored(1), "2027-01-05 00:00");
    item = loaded(1);
    EXPECT_EQ(item.key, plain.key);
    EXPECT_EQ(pauseNote(item, kEight), "（已暂停到 2027年1月5日）");
    EXPECT_EQ(nextFiring(item, kEight)->at, (DateTime{Date{2027, 1, 5}, 8, 50}));
    EXPECT_TRUE(
        occasionsBetween({item}, minuteNumber(kEight), minuteNumber(kEight) + 3 * 1440).empty());
    EXPECT_EQ(pauseNote(item, DateTime{Date{2027, 1, 5}, 0, 0}), "");

    EXPECT_EQ(resumeItem(data, 1), PauseOutcome::Done);
    EXPECT_EQ(stored(1), "");
    EXPECT_EQ(loaded(1).notBefore, kNoPause);
    EXPECT_EQ(pauseNote(loaded(1), kEight), "");
}

// Nothing is written for a reminder that is not there or never fires again;
// a reader of the other keys sees the paused reminder as it always was.
TEST_F(PauseKeyTest, RefusedChangesWriteNothingAndOtherReadersSeeThePlainItem) {
    const std::string before = dir.read("DataFile.dat");
    TIniFile data(path);
    EXPECT_EQ(skipNextOccurrence(data, 3, kEight), PauseOutcome::NoItem);
    EXPECT_EQ(pauseItem(data, 0, Date{2027, 1, 1}), PauseOutcome::NoItem);
    EXPECT_EQ(skipNextOccurrence(data, 2, kEight), PauseOutcome::NothingAhead);
    EXPECT_EQ(dir.read("DataFile.dat"), before);

    const ReminderItem plain = readItem(data, 1, kViewDefaults);
    pauseItem(data, 1, Date{2026, 12, 20});
    const ReminderItem paused = readItem(TIniFile(path), 1, kViewDefaults);
    EXPECT_EQ(listLine(paused), listLine(plain));
    EXPECT_EQ(scheduleOf(paused).key, scheduleOf(plain).key);
}

// A delete moves the key down with its reminder; a new reminder in a
// section that holds one from before has none.
TEST_F(PauseKeyTest, TheKeyMovesWithItsReminderAndANewOneHasNone) {
    TIniFile data(path);
    pauseItem(data, 2, Date{2026, 12, 20});
    deleteItem(data, 1);
    EXPECT_EQ(stored(1), "2026-12-20 00:00");
    EXPECT_EQ(stored(2), "");
    data.changeLocked([&] { data.WriteString(itemSection(2), "NotBefore", "2026-12-24 00:00"); });
    EXPECT_EQ(appendItem(data, readItem(data, 1, kListDefaults), false), 2);
    EXPECT_EQ(stored(2), "");
}

// The key leaves the reminder's identity alone: what fired for it is found
// after the skip is undone and the program starts again with the clock set
// back, so nothing fires twice.
TEST_F(PauseKeyTest, WhatFiredDuringASkipIsFoundAfterResumeAndRestart) {
    TIniFile data(path);
    skipNextOccurrence(data, 1, kEight); // today's 09:00
    const DateTime tomorrow{Date{2026, 12, 10}, 8, 59};
    ManualClock clock(tomorrow);
    std::vector<DateTime> fired;
    const auto record = [&](int32_t, const FiringTime&) { fired.push_back(clock.now()); };
    std::vector<FiredOccasion> kept;
    {
        ReminderEngine engine(clock, {record, {}, {}, [] {}});
        engine.setItems(loadReminderList(TIniFile(path)).items);
        engine.resume(std::nullopt, {});
        clock.advanceMinutes(1);
        engine.minuteTick();
        kept = engine.firedOccasions();
    }
    ASSERT_EQ(fired, std::vector<DateTime>{addMinutes(tomorrow, 1)});
    resumeItem(data, 1);

    const DateTime lastCheck = addMinutes(tomorrow, 30);
    clock.set(addMinutes(tomorrow, -4)); // set back before 09:00
    ReminderEngine again(clock, {record, {}, {}, [] {}});
    again.setItems(loadReminderList(TIniFile(path)).items);
    again.restoreFired(kept);
    again.resume(lastCheck, {}, localSeconds(lastCheck));
    for (int i = 0; i < 10; ++i) {
        clock.advanceMinutes(1);
        again.minuteTick();
    }
    EXPECT_EQ(fired.size(), 1u);
}

} // namespace
} // namespace kelvo
