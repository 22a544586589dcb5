// The keys of interval reminders and warnings days ahead in the data file,
// and what a reader that knows only the other keys makes of such an item.
#include "storage/ItemRuleKeys.h"

#include "reminders/Schedule.h"
#include "storage/DataFile.h"
#include "storage/DataKeys.h"
#include "storage/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using test::TempDir;

ReminderItem drinkWater() {
    ReminderItem item;
    item.year = item.month = item.day = 0;
    item.hour = 9;
    item.min = 0;
    item.rdBefore = 10;
    item.message = "喝水";
    item.interval = IntervalRule{45, 18 * 60};
    item.warnings = dayWarnings({7, 1}, 20 * 60 + 30);
    return item;
}

// The item as a reader of Year … MindMethod, Message and Music alone reads it.
ItemSchedule throughOlderKeys(const TIniFile& data, int32_t k) {
    const std::string s = itemSection(k);
    namespace key = datakeys;
    ItemSchedule item;
    item.year = data.ReadInteger(s, key::Year, 2000);
    item.month = data.ReadInteger(s, key::Month, 1);
    item.day = data.ReadInteger(s, key::Day, 1);
    item.hour = data.ReadInteger(s, key::Hour, 1);
    item.min = data.ReadInteger(s, key::Min, 1);
    item.rdBefore = data.ReadInteger(s, key::RdBefore, 0);
    item.mindMethod = data.ReadInteger(s, key::MindMethod, 0);
    return item;
}

TEST(ItemRuleKeys, StoredAndReadBackAndClearedByAnEdit) {
    TempDir dir;
    TIniFile data(dir.file("DataFile.dat"));
    createDataFile(data);
    const int32_t k = appendItem(data, drinkWater(), false);
    const ReminderItem read = readItem(data, k, kEditDefaults);
    EXPECT_EQ(read.interval, drinkWater().interval);
    EXPECT_EQ(read.warnings, drinkWater().warnings);
    const std::string bytes = dir.read("DataFile.dat");
    for (const char* line : {"Interval=45", "IntervalEndHour=18", "IntervalEndMin=0",
                             "WarnDays=1,7", "WarnHour=20", "WarnMin=30"})
        EXPECT_NE(bytes.find(line), std::string::npos) << line;
    // An edit to a plain reminder leaves no interval nor warning behind.
    ReminderItem plain = drinkWater();
    plain.interval = {};
    plain.warnings = {};
    storeEditedItem(data, k, plain);
    const ReminderItem edited = readItem(data, k, kEditDefaults);
    EXPECT_FALSE(edited.interval.active());
    EXPECT_FALSE(edited.warnings.any());
    // A plain item gets none of the keys.
    const int32_t other = appendItem(data, plain, false);
    EXPECT_EQ(data.ReadString(itemSection(other), datakeys::Interval, "none"), "none");
    EXPECT_EQ(data.ReadString(itemSection(other), datakeys::WarnDays, "none"), "none");
}

TEST(ItemRuleKeys, ADeleteMovesThemWithTheirItem) {
    TempDir dir;
    TIniFile data(dir.file("DataFile.dat"));
    createDataFile(data);
    ReminderItem first = drinkWater();
    first.interval = {};
    first.warnings = {};
    appendItem(data, first, false);
    appendItem(data, drinkWater(), false);
    deleteItem(data, 1);
    const ReminderItem moved = readItem(data, 1, kEditDefaults);
    EXPECT_EQ(moved.interval, drinkWater().interval);
    EXPECT_EQ(moved.warnings, drinkWater().warnings);
}

TEST(ItemRuleKeys, AnOlderReaderSeesTheWindowStartAndTheAdvanceMinutes) {
    TempDir dir;
    TIniFile data(dir.file("DataFile.dat"));
    createDataFile(data);
    const int32_t k = appendItem(data, drinkWater(), false);
    const ItemSchedule older = throughOlderKeys(data, k);
    // Every day at the window's start, warned 10 minutes before, as stored.
    const Date day{2026, 12, 9};
    Firings f(older, DateTime{day, 0, 0}, DateTime{day, 23, 59});
    EXPECT_EQ(f.next(), (FiringTime{DateTime{day, 8, 50}, FiringKind::Advance}));
    EXPECT_EQ(f.next(), (FiringTime{DateTime{day, 9, 0}, FiringKind::SetTime}));
    EXPECT_EQ(f.next(), std::nullopt);
    // The program itself fires the whole window and the warnings.
    const ItemSchedule own = scheduleOf(readItem(data, k, kListDefaults));
    EXPECT_TRUE(intervalApplies(own));
    EXPECT_EQ(dayWarningMinute(own), 20 * 60 + 30);
}

TEST(ItemRuleKeys, DayCountsTextsAndDamagedValues) {
    EXPECT_EQ(parseDayCounts("7,1"), (std::vector<int32_t>{7, 1}));
    EXPECT_EQ(parseDayCounts("7、1 3"), (std::vector<int32_t>{7, 1, 3}));
    EXPECT_EQ(parseDayCounts(""), std::vector<int32_t>{});
    EXPECT_EQ(parseDayCounts("7,x"), std::nullopt);
    EXPECT_EQ(dayCountsText(dayWarnings({30, 0, 31, 7, 7, 1, 2, 3, 4})), "1,2,3,4,7");
    // A damaged WarnDays or warning time reads as none or as the set time.
    TempDir dir;
    dir.write("DataFile.dat", "[Main]\r\nItems=2\r\n"
                              "[Item1]\r\nWarnDays=7,x\r\nInterval=45\r\nIntervalEndHour=30\r\n"
                              "[Item2]\r\nWarnDays=2\r\nWarnHour=25\r\n");
    const TIniFile data(dir.file("DataFile.dat"));
    const ItemSchedule damaged = scheduleOf(readItem(data, 1, kListDefaults));
    EXPECT_FALSE(damaged.warnings.any());
    EXPECT_FALSE(intervalApplies(damaged));
    EXPECT_EQ(readItem(data, 2, kListDefaults).warnings, dayWarnings({2}));
}

} // namespace
} // namespace kelvo
