#include "storage/DataFile.h"

#include "storage/IniFile.h"
#include "support/MarkShown.h"
#include "support/TempDir.h"

#include <array>
#include <gtest/gtest.h>

namespace kelvo {
namespace {

using test::TempDir;

class DataFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("DataFile.dat");

    static ReminderItem item(int32_t day, std::string message, std::string music = "") {
        ReminderItem it;
        it.year = 0;
        it.month = 3;
        it.day = day;
        it.hour = 8;
        it.min = 30;
        it.rdBefore = 10;
        it.mindMethod = 1;
        it.message = std::move(message);
        it.music = std::move(music);
        return it;
    }
    std::string section(const std::string& name) const {
        const std::string bytes = dir.read("DataFile.dat");
        const size_t begin = bytes.find("[" + name + "]\r\n");
        const size_t end = bytes.find("\r\n[", begin + 1);
        return bytes.substr(begin, end == std::string::npos ? end : end + 2 - begin);
    }
};

TEST_F(DataFileTest, NewFileHoldsHeaderAndSampleButNoItems) {
    TIniFile data(path);
    createDataFile(data);
    EXPECT_EQ(dir.read("DataFile.dat"),
              "[Main]\r\nCorporation=Tarnwick Corp,Ltd.\r\nVersion=1.00.003\r\nUser=Corvan\r\n"
              "OpenTimes=0\r\nItems=0\r\n[Item0]\r\nYear=2000\r\nMonth=1\r\nDay=1\r\nHour=1\r\n"
              "Min=1\r\nReminded=0\r\nMindMethod=0\r\nMessage=Here is the message\r\n");
    EXPECT_EQ(itemCount(data), 0);
}

TEST_F(DataFileTest, AppendWritesKeysInOrderAndMusicOnlyWhenChosen) {
    TIniFile data(path);
    createDataFile(data);
    EXPECT_EQ(appendItem(data, item(8, "提醒"), false), 1);
    EXPECT_EQ(appendItem(data, item(9, "b", "/s.wav"), true), 2);
    EXPECT_EQ(section("Item1"), "[Item1]\r\nYear=0\r\nMonth=3\r\nDay=8\r\nHour=8\r\nMin=30\r\n"
                                "ReMinded=0\r\nRdBefore=10\r\nMindMethod=1\r\n"
                                "Message=\xCC\xE1\xD0\xD1\r\n");
    EXPECT_TRUE(section("Item2").ends_with("Message=b\r\nMusic=/s.wav\r\n"));
    EXPECT_EQ(storedItemCount(data), 2);
    const ReminderItem back = readItem(data, 1, kListDefaults);
    EXPECT_EQ(back.message, "提醒");
    EXPECT_EQ(back.day, 8);
    EXPECT_EQ(back.rdBefore, 10);
}

TEST_F(DataFileTest, EditResetsRemindedAndAlwaysWritesMusic) {
    TIniFile data(path);
    appendItem(data, item(8, "a"), false);
    test::markShown(data, 1);
    EXPECT_TRUE(readItem(TIniFile(path), 1, kViewDefaults).reminded);
    EXPECT_NE(dir.read("DataFile.dat").find("ReMinded=1\r\n"), std::string::npos);
    storeEditedItem(data, 1, item(12, "edited"));
    EXPECT_EQ(section("Item1"), "[Item1]\r\nYear=0\r\nMonth=3\r\nDay=12\r\nHour=8\r\nMin=30\r\n"
                                "ReMinded=0\r\nRdBefore=10\r\nMindMethod=1\r\nMessage=edited\r\n"
                                "Music=\r\n");
}

TEST_F(DataFileTest, DeletingTheSecondOfThreeLeavesDefaultsBehind) {
    TIniFile data(path);
    createDataFile(data);
    for (const char* msg : {"one", "two", "three"})
        appendItem(data, item(1, msg), false);
    test::markShown(data, 3);
    deleteItem(data, 2);
    EXPECT_EQ(itemCount(data), 2);
    const ReminderItem moved = readItem(data, 2, kDeleteDefaults);
    EXPECT_EQ(moved.message, "three");
    EXPECT_TRUE(moved.reminded);
    EXPECT_EQ(moved.rdBefore, 10);
    EXPECT_EQ(section("Item3"), "[Item3]\r\nYear=2000\r\nMonth=1\r\nDay=1\r\nHour=0\r\nMin=0\r\n"
                                "ReMinded=0\r\nRdBefore=0\r\nMindMethod=0\r\nMessage=\r\n"
                                "Music=\r\n");
    EXPECT_NE(dir.read("DataFile.dat").find("Items=2\r\n"), std::string::npos);
}

TEST_F(DataFileTest, ListedReadSkipsRemindedAndMusic) {
    TIniFile data(path);
    createDataFile(data);
    appendItem(data, item(15, "带音乐", "铃声.mp3"), true);
    test::markShown(data, 1);
    const ReminderItem full = readItem(data, 1, kViewDefaults);
    EXPECT_TRUE(full.reminded);
    EXPECT_EQ(full.music, "铃声.mp3");
    const ReminderItem listed = readListedItem(data, 1);
    EXPECT_FALSE(listed.reminded);
    EXPECT_EQ(listed.music, "");
    EXPECT_EQ((std::array{listed.year, listed.month, listed.day, listed.hour, listed.min,
                          listed.rdBefore, listed.mindMethod}),
              (std::array{0, 3, 15, 8, 30, 10, 1}));
    EXPECT_EQ(listed.message, "带音乐");
    EXPECT_EQ(readListedItem(data, 2).message, "Message"); // the list's default
}

TEST_F(DataFileTest, DeleteOutsideTheItemsChangesNothing) {
    TIniFile data(path);
    createDataFile(data);
    appendItem(data, item(1, "one"), false);
    appendItem(data, item(2, "two"), false);
    const std::string before = dir.read("DataFile.dat");
    for (int32_t k : {0, -1, 3, INT32_MAX})
        deleteItem(data, k);
    EXPECT_EQ(dir.read("DataFile.dat"), before);
    deleteItem(data, 2); // the last one: only its own section turns to defaults
    EXPECT_EQ(itemCount(data), 1);
    EXPECT_EQ(readItem(data, 1, kListDefaults).message, "one");
    EXPECT_EQ(section("Item2"), "[Item2]\r\nYear=2000\r\nMonth=1\r\nDay=1\r\nHour=0\r\nMin=0\r\n"
                                "ReMinded=0\r\nRdBefore=0\r\nMindMethod=0\r\nMessage=\r\n"
                                "Music=\r\n");
}

TEST_F(DataFileTest, DeleteFromTenThousandItemsShiftsEveryOne) {
    std::string bytes = "[Main]\r\nItems=10000\r\n";
    for (int k = 1; k <= 10000; ++k)
        bytes += "[Item" + std::to_string(k) +
                 "]\r\nYear=0\r\nMonth=0\r\nDay=" + std::to_string(k % 28 + 1) +
                 "\r\nHour=1\r\nMin=2\r\nReMinded=0\r\nRdBefore=0\r\n"
                 "MindMethod=0\r\nMessage=m" +
                 std::to_string(k) + "\r\n";
    dir.write("DataFile.dat", bytes);
    TIniFile data(path);
    deleteItem(data, 1);
    EXPECT_EQ(itemCount(data), 9999);
    EXPECT_EQ(readItem(data, 1, kListDefaults).message, "m2");
    EXPECT_EQ(readItem(data, 5000, kListDefaults).message, "m5001");
    EXPECT_EQ(readItem(data, 9999, kListDefaults).message, "m10000");
    EXPECT_EQ(readItem(data, 10000, kListDefaults).message, "");
    EXPECT_NE(dir.read("DataFile.dat").find("[Item9999]\r\nYear=0\r\nMonth=0\r\nDay=5\r\n"),
              std::string::npos);
}

TEST_F(DataFileTest, DamagedCountIsBoundedBySections) {
    dir.write("DataFile.dat", "[Main]\r\nItems=2147483647\r\n[Item1]\r\nMessage=x\r\n");
    TIniFile data(path);
    EXPECT_EQ(storedItemCount(data), INT32_MAX);
    EXPECT_EQ(itemCount(data), 2);
    // The new item follows the last one the file holds.
    EXPECT_EQ(appendItem(data, item(1, "new"), false), 2);
    EXPECT_EQ(itemCount(data), 2);
    data.WriteInteger("Main", "Items", -4);
    EXPECT_EQ(itemCount(data), 0);
    deleteItem(data, 1); // outside the bounded count
    EXPECT_EQ(readItem(data, 1, kListDefaults).message, "x");
}

TEST(WeekdayCode, AddsOneBitPerChosenDayToTheMarker) {
    EXPECT_EQ(weekdayCode({true, false, false, false, false, false, true}), 16895);
    EXPECT_EQ(weekdayCode({true, false, true, false, true, false, false}), 5631);
    EXPECT_EQ(weekdayCode({true, true, true, true, true, true, true}), 32767);
    EXPECT_EQ(weekdayCode({}), 255);
}

} // namespace
} // namespace kelvo

namespace kelvo {
namespace {

class LunarKeys : public DataFileTest {
protected:
    static ReminderItem midAutumn() {
        ReminderItem it = item(0, "moon");
        it.year = 2026, it.month = 9, it.day = 25;
        it.lunar = LunarRepeat{LunarRepeat::kYearly, 8, 15, false};
        return it;
    }
};

TEST_F(LunarKeys, StoredBesideTheDateKeysOnlyForALunarItem) {
    TIniFile data(path);
    createDataFile(data);
    appendItem(data, midAutumn(), false);
    appendItem(data, item(1, "plain"), false);
    EXPECT_EQ(section("Item1"), "[Item1]\r\nYear=2026\r\nMonth=9\r\nDay=25\r\nHour=8\r\nMin=30\r\n"
                                "ReMinded=0\r\nRdBefore=10\r\nMindMethod=1\r\nMessage=moon\r\n"
                                "LunarRepeat=1\r\nLunarMonth=8\r\nLunarDay=15\r\nLunarLeap=0\r\n");
    EXPECT_EQ(section("Item2").find("Lunar"), std::string::npos);
    EXPECT_EQ(readItem(data, 1, kViewDefaults).lunar, midAutumn().lunar);
    EXPECT_EQ(readListedItem(data, 1).lunar, midAutumn().lunar);
    EXPECT_FALSE(readListedItem(data, 2).lunar.active());
}

TEST_F(LunarKeys, EditingToAGregorianItemClearsTheRepetition) {
    TIniFile data(path);
    createDataFile(data);
    appendItem(data, midAutumn(), false);
    ReminderItem plain = midAutumn();
    plain.lunar = LunarRepeat{};
    storeEditedItem(data, 1, plain);
    EXPECT_FALSE(readItem(data, 1, kEditDefaults).lunar.active());
    EXPECT_NE(section("Item1").find("LunarRepeat=0\r\n"), std::string::npos);
}

TEST_F(LunarKeys, DeleteMovesTheRepetitionAndLeavesNoneBehind) {
    TIniFile data(path);
    createDataFile(data);
    appendItem(data, midAutumn(), false);
    appendItem(data, item(1, "plain"), false);
    appendItem(data, midAutumn(), false);
    deleteItem(data, 1);
    EXPECT_FALSE(readItem(data, 1, kDeleteDefaults).lunar.active());
    EXPECT_EQ(readItem(data, 2, kDeleteDefaults).lunar, midAutumn().lunar);
    EXPECT_FALSE(readItem(data, 3, kDeleteDefaults).lunar.active());
    // A later add into the left-over section is no lunar reminder either.
    appendItem(data, item(2, "new"), false);
    EXPECT_FALSE(readItem(data, 3, kDeleteDefaults).lunar.active());
}

TEST_F(LunarKeys, UnknownCycleValuesAreNoRepetition) {
    TIniFile data(path);
    createDataFile(data);
    appendItem(data, midAutumn(), false);
    data.WriteInteger("Item1", "LunarRepeat", 7);
    EXPECT_FALSE(readItem(data, 1, kViewDefaults).lunar.active());
}

} // namespace
} // namespace kelvo
