#include "storage/HolidayFile.h"

#include "reminders/HolidayText.h"
#include "storage/DataFile.h"
#include "storage/FileLock.h"
#include "storage/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using test::TempDir;

YearArrangement year(int32_t y, std::vector<ArrangedDay> days, std::string source = "a.ics") {
    return YearArrangement{y, std::move(days), std::move(source)};
}

TEST(HolidayFile, YearsAreStoredOverTheSameYearsAndReadBack) {
    TempDir dir;
    const std::string path = dir.file("Holidays.txt");
    EXPECT_TRUE(readOwnHolidays(path).years.empty()); // missing: none, no fault
    EXPECT_EQ(readOwnHolidays(path).error, "");
    storeOwnHolidays(path, {year(2027, {{Date{2027, 2, 6}, OfficialDay::Off, "春节"}}),
                            year(2028, {{Date{2028, 1, 29}, OfficialDay::Work, ""}})});
    storeOwnHolidays(path,
                     {year(2027, {{Date{2026, 12, 31}, OfficialDay::Work, "元旦"}}, "b.txt")});
    const OwnHolidays own = readOwnHolidays(path);
    ASSERT_EQ(own.error, "");
    ASSERT_EQ(own.years.size(), 2u);
    EXPECT_EQ(own.years[0], year(2027, {{Date{2026, 12, 31}, OfficialDay::Work, "元旦"}}, "b.txt"));
    EXPECT_EQ(own.years[1], year(2028, {{Date{2028, 1, 29}, OfficialDay::Work, ""}}));
    // In the file encoding, as the program's other files.
    EXPECT_NE(dir.read("Holidays.txt").find("\xd4\xaa\xb5\xa9"), std::string::npos); // 元旦
}

TEST(HolidayFile, ADamagedOrLockedFileIsNeverWrittenOver) {
    TempDir dir;
    const std::string path = dir.file("Holidays.txt");
    dir.write("Holidays.txt", "2027-02-06 休\nnot a day\n");
    const OwnHolidays own = readOwnHolidays(path);
    EXPECT_TRUE(own.years.empty());
    EXPECT_EQ(own.error, path + " 第2行：日期写法不对，应为 2027-02-06");
    EXPECT_THROW(storeOwnHolidays(path, {year(2028, {{Date{2028, 1, 1}, OfficialDay::Off, ""}})}),
                 IniWriteError);
    EXPECT_EQ(dir.read("Holidays.txt"), "2027-02-06 休\nnot a day\n");
    // The built-in calendar alone is in force then, and the fault is told.
    EXPECT_EQ(loadHolidayCalendar(path), own.error);
    EXPECT_TRUE(holidayCalendar().knows(2026));
    EXPECT_FALSE(holidayCalendar().knows(2027));

    dir.write("Holidays.txt", "");
    const FileLock other(path, std::chrono::milliseconds(0));
    ASSERT_TRUE(other.acquired());
    const auto wait = setLockWait(std::chrono::milliseconds(0));
    try {
        storeOwnHolidays(path, {year(2028, {{Date{2028, 1, 1}, OfficialDay::Off, ""}})});
        ADD_FAILURE() << "stored through a held lock";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(e.reason(), IniWriteError::Reason::Busy);
    }
    setLockWait(wait);
    EXPECT_EQ(dir.read("Holidays.txt"), "");
}

// The item's key: only a reminder on the official days has it, and a reader
// of the date keys alone sees a weekly one.
TEST(OfficialDaysKey, StoredOnlyForTheRuleMovedByDeleteClearedByEdit) {
    TempDir dir;
    TIniFile data(dir.file("DataFile.dat"));
    createDataFile(data);
    ReminderItem workdays;
    workdays.year = workdays.month = 0;
    workdays.day = kMondayToFridayCode;
    workdays.hour = 9, workdays.message = "打卡", workdays.official = OfficialRule::Workdays;
    ReminderItem plain = workdays;
    plain.official = OfficialRule::None;
    appendItem(data, plain, false);
    appendItem(data, workdays, false);
    EXPECT_EQ(data.ReadString("Item1", "OfficialDays", "absent"), "absent");
    EXPECT_EQ(data.ReadString("Item2", "OfficialDays", ""), "1");
    EXPECT_EQ(data.ReadInteger("Item2", "Day", 0), 8191);
    EXPECT_EQ(readListedItem(data, 2).official, OfficialRule::Workdays);
    deleteItem(data, 1);
    EXPECT_EQ(readItem(data, 1, kEditDefaults).official, OfficialRule::Workdays);
    EXPECT_EQ(readItem(data, 2, kDeleteDefaults).official, OfficialRule::None);
    storeEditedItem(data, 1, plain);
    EXPECT_EQ(readItem(data, 1, kViewDefaults).official, OfficialRule::None);
    data.WriteInteger("Item1", "OfficialDays", 9);
    EXPECT_EQ(readItem(data, 1, kViewDefaults).official, OfficialRule::None);
}

} // namespace
} // namespace kelvo
