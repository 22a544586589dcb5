#include "kelvoctl/KelvoctlRun.h"
#include "lunar/Calendar.h"

namespace kelvo::test {
namespace {

ReminderItem stored(const TempDir& dir, int32_t k) {
    return readItem(TIniFile(dir.file("DataFile.dat")), k, kViewDefaults);
}

TLunarDate lunarOfDate(const ReminderItem& item) {
    return SolarToLunar(Date{item.year, item.month, item.day});
}

// A lunar repetition is stored with its first day as the Gregorian date, so
// that a reader of the date keys alone fires it once, on a right day.
TEST_F(Kelvoctl, AddLunarStoresTheRepetitionAndItsFirstDay) {
    EXPECT_EQ(kelvoctl(dirArg() + "add --lunar '*-8-15 09:00' 中秋").out, "5\n");
    ReminderItem item = stored(dir, 5);
    EXPECT_EQ(item.lunar, (LunarRepeat{LunarRepeat::kYearly, 8, 15, false}));
    EXPECT_EQ(lunarOfDate(item).Month, 8);
    EXPECT_EQ(lunarOfDate(item).Day, 15);
    EXPECT_FALSE(lunarOfDate(item).IsLeap);

    EXPECT_EQ(kelvoctl(dirArg() + "add '*-*-1 07:00' 上香 --lunar --mode 1").out, "6\n");
    item = stored(dir, 6);
    EXPECT_EQ(item.lunar, (LunarRepeat{LunarRepeat::kMonthly, 0, 1, false}));
    EXPECT_EQ(lunarOfDate(item).Day, 1);
    EXPECT_EQ(item.mindMethod, 1);

    // The leap month's entry and a 30th that falls on the 29th keep what was asked.
    EXPECT_EQ(kelvoctl(dirArg() + "add --lunar '*-L4-1 09:00' 闰月").out, "7\n");
    EXPECT_EQ(stored(dir, 7).lunar, (LunarRepeat{LunarRepeat::kYearly, 4, 1, true}));
    EXPECT_EQ(lunarOfDate(stored(dir, 7)).Month, 4);
    EXPECT_EQ(kelvoctl(dirArg() + "add --lunar '*-12-30 18:00' 除夕").out, "8\n");
    EXPECT_EQ(stored(dir, 8).lunar, (LunarRepeat{LunarRepeat::kYearly, 12, 30, false}));
    EXPECT_EQ(lunarOfDate(stored(dir, 8)).Month, 12);
    EXPECT_GE(lunarOfDate(stored(dir, 8)).Day, 29);

    // With a year it is one day: its Gregorian date, no lunar keys.
    EXPECT_EQ(kelvoctl(dirArg() + "add --lunar '2027-8-15 09:00' 团圆").out, "9\n");
    const std::string once = kelvoctl(dirArg() + "show 9").out;
    EXPECT_EQ(once.substr(0, 27), "Year=2027\nMonth=9\nDay=15\nHo");
    EXPECT_EQ(once.find("Lunar"), std::string::npos);

    const std::string list = kelvoctl(dirArg() + "list").out;
    EXPECT_NE(list.find("农历每年 八月 十五 9 时 0 分 0 方式，提醒为：中秋\n"), std::string::npos);
    EXPECT_NE(list.find("农历每月 初一 7 时 0 分 1 方式，提醒为：上香\n"), std::string::npos);
    EXPECT_NE(list.find("农历每年 闰四月 初一 9 时 0 分 0 方式，提醒为：闰月\n"),
              std::string::npos);
}

TEST_F(Kelvoctl, AddLunarRefusesWhatNamesNoLunarDay) {
    const auto before = snapshot(dir);
    for (const auto& [when, message] : std::vector<std::pair<std::string, std::string>>{
             {"'*-*-* 09:00'", "--lunar: DAY cannot be *, a lunar reminder falls on one day of "
                               "the lunar month: *-*-*"},
             {"'2027-*-1 09:00'", "--lunar: a lunar YEAR needs its MONTH: 2027-*-1"},
             {"'2027-8-30 09:00'", "--lunar: no such lunar date: 2027-8-30"},
             {"'2027-L8-1 09:00'", "--lunar: no such lunar date: 2027-L8-1"},
             {"'2100-1-1 09:00'", "--lunar: no such lunar date: 2100-1-1"},
             {"'*-13-1 09:00'",
              "--lunar: MONTH is 1 … 12 (L1 … L12 for a leap month) and DAY 1 … 30: *-13-1"},
             {"'*-*-31 09:00'",
              "--lunar: MONTH is 1 … 12 (L1 … L12 for a leap month) and DAY 1 … 30: *-*-31"},
             {"'*-L*-1 09:00'", "add: a lunar WHEN is of the form \"YEAR-MONTH-DAY HH:MM\" (YEAR "
                                "and MONTH may be *, a leap MONTH is written L4): *-L*-1 09:00"},
             {"'*-8-15 24:00'", "输入数据错误，请检查输入！"},
             {"'*-8-15 09:00' --weekdays 1", "--weekdays does not go with a lunar date"},
         }) {
        SCOPED_TRACE(when);
        const Result r = kelvoctl(dirArg() + "add --lunar " + when + " x");
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "kelvoctl: " + message + "\n");
    }
    EXPECT_EQ(kelvoctl(dirArg() + "edit 1 --lunar").err, "kelvoctl: --lunar needs a WHEN\n");
    EXPECT_EQ(snapshot(dir), before);
}

TEST_F(Kelvoctl, EditKeepsALunarReminderLunarUntilAGregorianWhenIsGiven) {
    ASSERT_EQ(kelvoctl(dirArg() + "add --lunar '*-12-30 18:00' 除夕").status, 0);
    const LunarRepeat eve{LunarRepeat::kYearly, 12, 30, false};
    EXPECT_EQ(kelvoctl(dirArg() + "edit 5 --message 年夜饭 --advance 10").status, 0);
    EXPECT_EQ(stored(dir, 5).lunar, eve);
    EXPECT_EQ(stored(dir, 5).message, "年夜饭");
    EXPECT_EQ(kelvoctl(dirArg() + "edit 5 --weekdays 1").status, 2);

    EXPECT_EQ(kelvoctl(dirArg() + "edit 5 --lunar --when '*-*-15 08:00'").status, 0);
    EXPECT_EQ(stored(dir, 5).lunar, (LunarRepeat{LunarRepeat::kMonthly, 0, 15, false}));
    EXPECT_EQ(stored(dir, 5).rdBefore, 10);

    EXPECT_EQ(kelvoctl(dirArg() + "edit 5 --when '2030-05-01 07:00'").status, 0);
    const ReminderItem gregorian = stored(dir, 5);
    EXPECT_FALSE(gregorian.lunar.active());
    EXPECT_EQ(gregorian.year, 2030);
    EXPECT_NE(kelvoctl(dirArg() + "list -n")
                  .out.find("5\t2030 年 5 月 1 日 7 时 0 分 0 方式，提醒为：年夜饭"),
              std::string::npos);
}

} // namespace
} // namespace kelvo::test
