#include "storage/AckKeys.h"

#include "reminders/ItemTexts.h"
#include "reminders/Schedule.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "storage/ReminderFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace kelvo {
namespace {

using test::TempDir;

constexpr int64_t kNineUtc = 1'796'806'800; // 2026-12-09 09:00:00 UTC

TEST(AckKeys, UtcTextsReadBackAndAnythingElseIsNone) {
    EXPECT_EQ(utcText(kNineUtc + 30), "20261209T090030Z");
    EXPECT_EQ(parseUtcText("20261209T090030Z"), kNineUtc + 30);
    EXPECT_EQ(parseUtcText(utcText(951'782'400)), 951'782'400); // 2000-02-29
    for (const char* bad :
         {"", "20261209T090030", "20261209 090030Z", "20260230T090000Z", "20261209T250000Z",
          "19691231T235959Z", "20261209T090030Z ", "2026-12-09T09:00:30Z"})
        EXPECT_EQ(parseUtcText(bad), 0) << bad;
}

class Dismissals : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "CST-8", 1); // Beijing time, without the zone files
        tzset();
        TIniFile data(path);
        createDataFile(data);
        for (const char* message : {"早会", "午饭", "下班"}) {
            ReminderItem daily;
            daily.year = daily.month = daily.day = 0;
            daily.hour = 9;
            daily.message = message;
            appendItem(data, daily, false);
        }
    }
    void TearDown() override {
        unsetenv("TZ");
        tzset();
    }
    void acknowledge(int32_t k, const std::string& message, int64_t at, int64_t snoozed = 0) {
        TIniFile data(path);
        PendingMarks marks;
        marks.acknowledge(k, message, at, snoozed);
        marks.store(data);
    }
    ReminderItem item(int32_t k) const { return readItem(TIniFile(path), k, kListDefaults); }
    TempDir dir;
    std::string path = dir.file("DataFile.dat");
};

TEST_F(Dismissals, AreStoredOnlyForwardAndOnlyForTheReminderThatWasShown) {
    acknowledge(2, "午饭", kNineUtc, kNineUtc + 600);
    EXPECT_EQ(TIniFile(path).ReadString(itemSection(2), "Acked", ""), "20261209T090000Z");
    EXPECT_EQ(TIniFile(path).ReadString(itemSection(2), "SnoozedTo", ""), "20261209T091000Z");
    acknowledge(2, "午饭", kNineUtc - 60); // older: kept out
    acknowledge(1, "别的", kNineUtc);      // item 1 holds another message now
    EXPECT_EQ(item(2).acknowledged, kNineUtc);
    EXPECT_EQ(item(2).snoozedUntil, kNineUtc + 600);
    EXPECT_EQ(item(1).acknowledged, 0);
    acknowledge(2, "午饭", kNineUtc + 60); // a dismissal without a snooze clears it
    EXPECT_EQ(item(2).snoozedUntil, 0);
    EXPECT_EQ(TIniFile(path).ReadString(itemSection(2), "SnoozedTo", "(none)"), "");
}

TEST_F(Dismissals, FollowTheirReminderThroughADeleteAndSilenceWhatFellDueUntilThen) {
    acknowledge(3, "下班", kNineUtc + 30); // 17:00:30 in Beijing
    TIniFile data(path);
    deleteItem(data, 1);
    const ReminderList list = loadReminderList(TIniFile(path));
    ASSERT_EQ(list.dismissals.size(), 1u);
    EXPECT_EQ(list.dismissals[0], (Dismissal{2, kNineUtc + 30, 0}));
    // Nothing fires up to 17:00 of that day; the day after it does.
    EXPECT_EQ(list.items[1].notBefore, minuteNumber(DateTime{Date{2026, 12, 9}, 17, 1}));
    EXPECT_EQ(nextFiring(list.items[1], DateTime{Date{2026, 12, 9}, 8, 0})->at,
              (DateTime{Date{2026, 12, 10}, 9, 0}));
    EXPECT_EQ(pauseNote(list.items[1], DateTime{Date{2026, 12, 9}, 17, 0}),
              ""); // no skip of the user's
    EXPECT_EQ(list.items[0].notBefore, kNoPause);
}

} // namespace
} // namespace kelvo
