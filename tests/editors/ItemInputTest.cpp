#include "editors/ItemInput.h"
#include "reminders/ItemTexts.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {

// A complete, storable input: 2024-06-03 08:30, precise, "开会".
ItemInput valid() {
    ItemInput in;
    in.year = 2024;
    in.month = 6;
    in.day = 3;
    in.hour = 8;
    in.min = 30;
    in.mindMethod = 0;
    in.message = "开会";
    return in;
}

const std::string_view kShutdownAtStart = "开机提醒时不能设置为自动关机！";
const std::string_view kBadData = "输入数据错误，请检查输入！";
const std::string_view kNoMessage = "请输入提醒内容！";
const std::string_view kBadAdvance = "输入的提前提醒时间必须在0到30之间，0为不提前提醒！";
const std::string_view kNoWeekday = "请选择星期中的一天！";

} // namespace

TEST(ItemInputCheck, ValidInputPasses) {
    EXPECT_EQ(inputError(valid()), "");
}

TEST(ItemInputCheck, EachFieldOutOfItsRangeIsBadData) {
    const auto withBad = [](auto change) {
        ItemInput in = valid();
        change(in);
        return inputError(in);
    };
    EXPECT_EQ(withBad([](ItemInput& in) { in.year = 1999; }), kBadData);
    EXPECT_EQ(withBad([](ItemInput& in) { in.year = 3001; }), kBadData);
    EXPECT_EQ(withBad([](ItemInput& in) { in.month = 13; }), kBadData);
    EXPECT_EQ(withBad([](ItemInput& in) { in.day = 0; }), kBadData);
    EXPECT_EQ(withBad([](ItemInput& in) { in.hour = 24; }), kBadData);
    EXPECT_EQ(withBad([](ItemInput& in) { in.min = -1; }), kBadData);
    // The day is checked while the week box replaces it, too.
    EXPECT_EQ(withBad([](ItemInput& in) {
                  in.everyWeek = true;
                  in.weekdays[0] = true;
                  in.day = 32;
              }),
              kBadData);
}

TEST(ItemInputCheck, RepetitionBoxesExemptTheirFields) {
    ItemInput in = valid();
    in.everyYear = in.everyMonth = in.everyDay = true;
    in.year = 5;
    in.month = 99;
    in.day = -4;
    EXPECT_EQ(inputError(in), "");
    // 31 February is not compared with the month's length.
    in = valid();
    in.month = 2;
    in.day = 31;
    EXPECT_EQ(inputError(in), "");
}

TEST(ItemInputCheck, ChecksRunInOrderAndTheFirstFailureWins) {
    ItemInput in = valid();
    in.mindMethod = 2;
    in.message = "AutoShutDownWindows";
    in.month = 13;
    in.rdBefore = 45;
    in.everyWeek = true;
    EXPECT_EQ(inputError(in), kShutdownAtStart);
    in.mindMethod = 3;
    EXPECT_EQ(inputError(in), kShutdownAtStart);
    in.mindMethod = 0;
    EXPECT_EQ(inputError(in), kBadData);
    in.month = 12;
    in.message.clear();
    EXPECT_EQ(inputError(in), kNoMessage);
    in.message = " "; // blanks are a message
    EXPECT_EQ(inputError(in), kBadAdvance);
    in.rdBefore = 30;
    EXPECT_EQ(inputError(in), kNoWeekday);
    in.weekdays[6] = true;
    EXPECT_EQ(inputError(in), "");
}

TEST(ItemInputCheck, ShutdownMarkerIsComparedExactly) {
    ItemInput in = valid();
    in.mindMethod = 2;
    in.message = "autoshutdownwindows";
    EXPECT_EQ(inputError(in), "");
    in.message = "AutoShutDownWindows";
    in.mindMethod = 1;
    EXPECT_EQ(inputError(in), "");
}

TEST(ItemFromInput, RepetitionsBecomeZeroAndWeekdaysTheCode) {
    ItemInput in = valid();
    in.everyYear = true;
    in.everyMonth = true;
    in.everyWeek = true;
    in.weekdays = {true, false, false, false, false, false, true};
    const ReminderItem weekly = itemFromInput(in);
    EXPECT_EQ(weekly.year, 0);
    EXPECT_EQ(weekly.month, 0);
    EXPECT_EQ(weekly.day, 16895);
    in.everyDay = true; // wins over the week box
    EXPECT_EQ(itemFromInput(in).day, 0);
    in.everyDay = in.everyWeek = false;
    EXPECT_EQ(itemFromInput(in).day, 3);
}

TEST(ItemFromInput, SoundOnlyWhenChosenAndModeAsTicked) {
    ItemInput in = valid();
    in.music = "/music/a.mp3";
    EXPECT_EQ(itemFromInput(in).music, "");
    in.withMusic = true;
    EXPECT_EQ(itemFromInput(in).music, "/music/a.mp3");
    in.mindMethod = ItemInput::kNoMindMethod;
    EXPECT_EQ(itemFromInput(in).mindMethod, ItemInput::kNoMindMethod);
}

TEST(ViewTexts, WildcardsWeekdaysAndNumbersWithoutLeadingZeros) {
    ReminderItem item;
    item.year = item.month = item.day = 0;
    item.hour = 8;
    item.min = 5;
    ViewTexts t = viewTexts(item);
    EXPECT_EQ(t.year, "每年");
    EXPECT_EQ(t.month, "每月");
    EXPECT_EQ(t.day, "每天");
    EXPECT_EQ(t.hour, "8");
    EXPECT_EQ(t.min, "5");

    item.day = 255 + 256 + 1024 + 16384;
    EXPECT_EQ(viewTexts(item).day, "周一三日");
    item.day = 100; // weekly without a day
    EXPECT_EQ(viewTexts(item).day, "周");
    item.day = 31;
    EXPECT_EQ(viewTexts(item).day, "31");
}

TEST(ViewTexts, FlagModeSoundAndMessage) {
    ReminderItem item;
    item.message = "AutoShutDownWindows";
    item.music = "/music/a.mp3";
    item.reminded = true;
    item.mindMethod = 3;
    ViewTexts t = viewTexts(item);
    EXPECT_EQ(t.reminded, "已提醒");
    EXPECT_EQ(t.mindMethod, "开机整点");
    EXPECT_EQ(t.music, "已经设置");
    EXPECT_EQ(t.message, "AutoShutDownWindows");

    item = ReminderItem{};
    t = viewTexts(item);
    EXPECT_EQ(t.reminded, "未提醒");
    EXPECT_EQ(t.mindMethod, "精确提醒");
    EXPECT_EQ(t.music, "系统音乐");
    item.mindMethod = 4;
    EXPECT_FALSE(viewTexts(item).mindMethod.has_value());
}

TEST(LunarInput, TheDateFieldsAreTheFirstOccurrenceOfTheirLunarDate) {
    ItemInput in = valid();
    in.year = 2026, in.month = 9, in.day = 25; // 八月十五
    in.lunar = true;
    in.everyYear = in.everyMonth = in.everyWeek = true; // ignored beside the lunar box
    EXPECT_EQ(inputError(in), "");
    ReminderItem item = itemFromInput(in);
    EXPECT_EQ(item.year, 2026);
    EXPECT_EQ(item.month, 9);
    EXPECT_EQ(item.day, 25);
    EXPECT_EQ(item.lunar, (LunarRepeat{LunarRepeat::kYearly, 8, 15, false}));
    in.lunarCycle = LunarRepeat::kMonthly;
    EXPECT_EQ(itemFromInput(in).lunar, (LunarRepeat{LunarRepeat::kMonthly, 0, 15, false}));
    in.lunar = false;
    EXPECT_FALSE(itemFromInput(in).lunar.active());
}

TEST(LunarInput, AnEditedItemKeepsItsDayThirty) {
    ItemInput in = valid();
    in.year = 2027, in.month = 2, in.day = 5; // 廿九 of a 29-day 腊月
    in.lunar = true;
    in.keptLunar = LunarRepeat{LunarRepeat::kYearly, 12, 30, false};
    EXPECT_EQ(itemFromInput(in).lunar, in.keptLunar);
}

TEST(LunarInput, AFirstOccurrenceMustExistWithinTheCalendar) {
    ItemInput in = valid();
    in.lunar = true;
    in.year = 2026, in.month = 2, in.day = 31;
    EXPECT_EQ(inputError(in), "按农历重复时，日期必须是公历中存在的一天！");
    in.year = 2100, in.month = 2, in.day = 9;
    EXPECT_EQ(inputError(in), "按农历重复的首次日期必须在1901年2月19日到2100年2月8日之间！");
    in.day = 8;
    EXPECT_EQ(inputError(in), "");
    // The other checks come first, and the year is checked though every year is ticked.
    in.everyYear = true;
    in.year = 3001;
    EXPECT_EQ(inputError(in), kBadData);
}

TEST(ViewTexts, LunarDateOfTheItem) {
    ReminderItem item;
    item.year = 2026, item.month = 12, item.day = 7;
    EXPECT_EQ(viewTexts(item).lunar, "农历十月廿九");
    item.lunar = LunarRepeat{LunarRepeat::kYearly, 8, 15, false};
    EXPECT_EQ(viewTexts(item).lunar, "农历每年 八月 十五");
    item.lunar = LunarRepeat{};
    item.year = 0;
    EXPECT_EQ(viewTexts(item).lunar, "");
    item.year = 2026, item.day = 0;
    EXPECT_EQ(viewTexts(item).lunar, "");
}

namespace {

ReminderItem itemAt(int32_t year, int32_t month, int32_t day) {
    ReminderItem item;
    item.year = year, item.month = month, item.day = day, item.hour = 9;
    return item;
}

} // namespace

TEST(FiringWarning, WarnsOfAPastOrEndingReminderAndSaysUntilWhenItRepeats) {
    const DateTime now{Date{2026, 12, 8}, 14, 30};
    const std::string past = "这个提醒的时间已经过去，以后不会再提醒。";
    EXPECT_EQ(firingWarning(itemAt(2000, 1, 1), now), past);
    EXPECT_EQ(firingWarning(itemAt(2000, 1, 255 + 256), now),
              past + "没有勾选“每年”和“每月”，它只重复到2000年1月31日。");
    EXPECT_EQ(firingWarning(itemAt(2025, 0, 0), now),
              past + "没有勾选“每年”，它只重复到2025年12月31日。");
    // Still ahead, but ending with the year or the month shown.
    EXPECT_EQ(firingWarning(itemAt(2026, 0, 0), now), "没有勾选“每年”，它只重复到2026年12月31日。");
    EXPECT_EQ(firingWarning(itemAt(2026, 12, 255 + 256 + 512), now),
              "没有勾选“每年”和“每月”，它只重复到2026年12月29日。");
    EXPECT_EQ(firingWarning(itemAt(2026, 12, 31), now), "");
    EXPECT_EQ(firingWarning(itemAt(0, 12, 0), now), "");
    EXPECT_EQ(firingWarning(itemAt(0, 0, 15), now), "");
    // However far ahead a single day lies, it is not past.
    EXPECT_EQ(firingWarning(itemAt(2035, 1, 1), now), "");
    EXPECT_EQ(firingWarning(itemAt(2099, 12, 31), now), "");
    EXPECT_EQ(firingWarning(itemAt(3000, 2, 29), now),
              "这个日期不存在，永远不会提醒。"); // no leap year
}

TEST(FiringWarning, ADayThatNoMonthOfItHasIsNamedSo) {
    const DateTime now{Date{2026, 12, 8}, 14, 30};
    const std::string never = "这个日期不存在，永远不会提醒。";
    EXPECT_EQ(firingWarning(itemAt(2027, 2, 30), now), never);
    EXPECT_EQ(firingWarning(itemAt(2027, 4, 31), now), never);
    EXPECT_EQ(firingWarning(itemAt(0, 2, 30), now), never);
    EXPECT_EQ(firingWarning(itemAt(2027, 2, 29), now), never);
    // 29 February of every year comes in leap years; the 31st of every month
    // in seven of them.
    EXPECT_EQ(firingWarning(itemAt(0, 2, 29), now), "");
    EXPECT_EQ(firingWarning(itemAt(2028, 2, 29), now), "");
    EXPECT_EQ(firingWarning(itemAt(0, 0, 31), now), "");
}
