#include "reminders/ReminderList.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "storage/ReminderFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>

namespace kelvo::test {
namespace {

ReminderItem item(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t min,
                  int32_t mindMethod, std::string message) {
    ReminderItem it;
    it.year = year, it.month = month, it.day = day, it.hour = hour, it.min = min;
    it.mindMethod = mindMethod, it.message = std::move(message);
    return it;
}

TEST(ListLine, BuildsThePiecesInOrder) {
    EXPECT_EQ(listLine(item(2005, 10, 1, 8, 30, 0, "开会")),
              "2005 年 10 月 1 日 8 时 30 分 0 方式，提醒为：开会");
    EXPECT_EQ(listLine(item(0, 0, 0, 12, 0, 1, "午饭")),
              "每年 每月 每天 12 时 0 分 1 方式，提醒为：午饭");
    EXPECT_EQ(listLine(item(0, 0, 5631, 9, 5, 3, "锻炼")),
              "每年 每月 周一三五9 时 5 分 3 方式，提醒为：锻炼");
}

TEST(ListLine, LunarRepetitionsNameTheirLunarDay) {
    ReminderItem midAutumn = item(2026, 9, 25, 9, 0, 0, "中秋");
    midAutumn.lunar = LunarRepeat{LunarRepeat::kYearly, 8, 15, false};
    EXPECT_EQ(listLine(midAutumn), "农历每年 八月 十五 9 时 0 分 0 方式，提醒为：中秋");
    midAutumn.lunar = LunarRepeat{LunarRepeat::kYearly, 4, 1, true};
    EXPECT_EQ(listLine(midAutumn), "农历每年 闰四月 初一 9 时 0 分 0 方式，提醒为：中秋");
    ReminderItem incense = item(2026, 12, 9, 7, 0, 0, "上香");
    incense.lunar = LunarRepeat{LunarRepeat::kMonthly, 0, 1, false};
    EXPECT_EQ(listLine(incense), "农历每月 初一 7 时 0 分 0 方式，提醒为：上香");
}

TEST(ListLine, WeeklyDaysRunMondayToSundayWithoutSeparator) {
    EXPECT_EQ(listLine(item(2024, 0, 255 + 256 + 16384, 7, 0, 2, "x")),
              "2024 年 每月 周一日7 时 0 分 2 方式，提醒为：x");
    EXPECT_EQ(listLine(item(0, 0, 32767, 7, 0, 0, "")),
              "每年 每月 周一二三四五六日7 时 0 分 0 方式，提醒为：");
    // A weekly value without a day (hand-edited) shows only the week word.
    EXPECT_EQ(listLine(item(0, 3, 100, 9, 0, 0, "y")), "每年 3 月 周9 时 0 分 0 方式，提醒为：y");
}

class LoadList : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("DataFile.dat");
};

TEST_F(LoadList, AFreshFileListsNothing) {
    TIniFile data(path);
    createDataFile(data);
    const ReminderList list = loadReminderList(data);
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(list.lines.empty());
    EXPECT_EQ(loadReminderList(TIniFile(dir.file("missing.dat"))).count(), 0);
}

TEST_F(LoadList, ReadsEveryItemWithTheListDefaults) {
    dir.write("DataFile.dat", "[Main]\r\nItems=2\r\n"
                              "[Item1]\r\nYear=0\r\nMonth=0\r\nDay=0\r\nHour=7\r\nMin=45\r\n"
                              "RdBefore=15\r\nMindMethod=1\r\nMessage=early\r\n"
                              "[Item2]\r\n"
                              "[Item3]\r\nMessage=left behind by a delete\r\n");
    const ReminderList list = loadReminderList(TIniFile(path));
    ASSERT_EQ(list.count(), 2);
    const ItemSchedule& first = list.items[0];
    EXPECT_EQ((std::array{first.year, first.month, first.day, first.hour, first.min, first.rdBefore,
                          first.mindMethod}),
              (std::array{0, 0, 0, 7, 45, 15, 1}));
    const ItemSchedule& second = list.items[1];
    EXPECT_EQ((std::array{second.year, second.month, second.day, second.hour, second.min,
                          second.rdBefore, second.mindMethod}),
              (std::array{2000, 1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(list.lines[0], "每年 每月 每天 7 时 45 分 1 方式，提醒为：early");
    EXPECT_EQ(list.lines[1], "2000 年 1 月 1 日 1 时 1 分 0 方式，提醒为：Message");
}

TEST_F(LoadList, AHostileCountLoadsQuicklyWithBoundedLines) {
    dir.write("DataFile.dat", "[Main]\r\nItems=2147483647\r\n[Item1]\r\nMessage=one\r\n");
    const auto start = std::chrono::steady_clock::now();
    const ReminderList list = loadReminderList(TIniFile(path));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_LE(list.count(), 2);
    EXPECT_EQ(list.lines.size(), static_cast<size_t>(list.count()));
    EXPECT_EQ(list.lines[0], "2000 年 1 月 1 日 1 时 1 分 0 方式，提醒为：one");
}

} // namespace
} // namespace kelvo::test
