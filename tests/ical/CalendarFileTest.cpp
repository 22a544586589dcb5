#include "ical/CalendarFile.h"
#include "ical/IcalModule.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace kelvo {
namespace {

using test::TempDir;

constexpr DateTime kNow{{2026, 12, 8}, 10, 0, 0};

// Local time is Berlin's for every test here, so that times of other zones
// are converted.
class CalendarFile : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "Europe/Berlin", 1);
        ::tzset();
        createDataFile(data);
    }
    CalendarImport read(const std::string& text) {
        dir.write("in.ics", text);
        return readCalendar(dir.file("in.ics"), data, kNow);
    }
    TempDir dir;
    TIniFile data{dir.file("DataFile.dat")};
};

std::string calendar(const std::string& body) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n" + body +
           "END:VCALENDAR\r\n";
}

const std::string kShanghaiZone = "BEGIN:VTIMEZONE\r\nTZID:Asia/Shanghai\r\n"
                                  "BEGIN:STANDARD\r\nTZOFFSETFROM:+0800\r\nTZOFFSETTO:+0800\r\n"
                                  "TZNAME:CST\r\nDTSTART:19700101T000000\r\nEND:STANDARD\r\n"
                                  "END:VTIMEZONE\r\n";

std::string event(const std::string& uid, const std::string& lines) {
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTAMP:20261201T000000Z\r\n" + lines +
           "END:VEVENT\r\n";
}

void expectItem(const ReminderItem& it, int32_t year, int32_t month, int32_t day, int32_t hour,
                int32_t min, int32_t rdBefore, const std::string& message) {
    EXPECT_EQ(it.year, year);
    EXPECT_EQ(it.month, month);
    EXPECT_EQ(it.day, day);
    EXPECT_EQ(it.hour, hour);
    EXPECT_EQ(it.min, min);
    EXPECT_EQ(it.rdBefore, rdBefore);
    EXPECT_EQ(it.message, message);
}

// As a web calendar writes it: a VTIMEZONE, DTSTART with TZID, an alarm as
// a full duration.
TEST_F(CalendarFile, TimesOfAnotherZoneBecomeLocalWallTime) {
    const CalendarImport c = read(
        calendar(kShanghaiZone +
                 event("weekly@google.com", "DTSTART;TZID=Asia/Shanghai:20260104T090000\r\n"
                                            "DTEND;TZID=Asia/Shanghai:20260104T100000\r\n"
                                            "RRULE:FREQ=WEEKLY;BYDAY=SU\r\nSUMMARY:周日例会\r\n"
                                            "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:提醒\r\n"
                                            "TRIGGER:-P0DT0H30M0S\r\nEND:VALARM\r\n") +
                 // 00:30 in Shanghai is 17:30 of the day before in Berlin: Monday
                 // becomes Sunday.
                 event("early", "DTSTART;TZID=Asia/Shanghai:20260105T003000\r\n"
                                "RRULE:FREQ=WEEKLY;BYDAY=MO\r\nSUMMARY:早\r\n") +
                 event("utc", "DTSTART:20270301T010000Z\r\nSUMMARY:协调世界时\r\n")));
    ASSERT_EQ(c.items.size(), 3u);
    expectItem(c.items[0], 0, 0, 255 + (256 << 6), 2, 0, 30, "周日例会");
    expectItem(c.items[1], 0, 0, 255 + (256 << 6), 17, 30, 0, "早");
    expectItem(c.items[2], 2027, 3, 1, 2, 0, 0, "协调世界时");
    EXPECT_EQ(c.uids, (std::vector<std::string>{"weekly@google.com", "early", "utc"}));
}

// A zone named without a VTIMEZONE is the system's zone of that name; one
// defined only in the file (as Outlook names them) is the file's.
TEST_F(CalendarFile, ZonesComeFromTheSystemOrFromTheFile) {
    const std::string outlookZone =
        "BEGIN:VTIMEZONE\r\nTZID:China Standard Time\r\nBEGIN:STANDARD\r\n"
        "DTSTART:16010101T000000\r\nTZOFFSETFROM:+0800\r\nTZOFFSETTO:+0800\r\nEND:STANDARD\r\n"
        "END:VTIMEZONE\r\n";
    const CalendarImport c = read(calendar(
        outlookZone +
        event("a", "DTSTART;TZID=Asia/Shanghai:20270601T200000\r\nSUMMARY:系统时区\r\n") +
        event("b", "DTSTART;TZID=China Standard Time:20270601T200000\r\nSUMMARY:文件时区\r\n"
                   "X-MICROSOFT-CDO-BUSYSTATUS:BUSY\r\n")));
    ASSERT_EQ(c.items.size(), 2u);
    expectItem(c.items[0], 2027, 6, 1, 14, 0, 0, "系统时区"); // summer time in Berlin
    expectItem(c.items[1], 2027, 6, 1, 14, 0, 0, "文件时区");
}

TEST_F(CalendarFile, AllDayBirthdaysRepeatYearlyAtNine) {
    const CalendarImport c = read(calendar(
        event("bday", "DTSTART;VALUE=DATE:19900314\r\nDTEND;VALUE=DATE:19900315\r\n"
                      "RRULE:FREQ=YEARLY\r\nSUMMARY:小明生日\r\n"
                      "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15H\r\nEND:VALARM\r\n") +
        event("anniv", "DTSTART;VALUE=DATE:20000101\r\nRRULE:FREQ=YEARLY;BYMONTH=10;"
                       "BYMONTHDAY=1\r\nSUMMARY:国庆\r\n")));
    ASSERT_EQ(c.items.size(), 2u);
    expectItem(c.items[0], 0, 3, 14, 9, 0, 0, "小明生日");
    // DTSTART is an occurrence of its own: 1 January 2000 lies in the past.
    expectItem(c.items[1], 0, 10, 1, 9, 0, 0, "国庆");
}

TEST_F(CalendarFile, AlarmsWithAndWithoutTrigger) {
    const std::string alarms =
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:无触发\r\nEND:VALARM\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;RELATED=END:-PT20M\r\nEND:VALARM\r\n"
        "BEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER;VALUE=DATE-TIME:20270101T075000Z\r\n"
        "END:VALARM\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT5M\r\nEND:VALARM\r\n";
    const CalendarImport c =
        read(calendar(event("x", "DTSTART:20270101T090000\r\nSUMMARY:闹钟\r\n" + alarms) +
                      event("y", "DTSTART:20270101T090000\r\nSUMMARY:无闹钟\r\n"
                                 "BEGIN:VALARM\r\nACTION:DISPLAY\r\nEND:VALARM\r\n")));
    ASSERT_EQ(c.items.size(), 2u);
    EXPECT_EQ(c.items[0].rdBefore, 5);
    EXPECT_EQ(c.items[1].rdBefore, 0);
}

TEST_F(CalendarFile, SkippedEventsAreCountedWithTheirReasons) {
    const CalendarImport c = read(calendar(
        event("1", "DTSTART:20270101T090000\r\nRRULE:FREQ=WEEKLY;INTERVAL=2\r\nSUMMARY:隔周\r\n") +
        event("2", "DTSTART:20270101T090000\r\nRRULE:FREQ=DAILY;COUNT=5\r\nSUMMARY:五次\r\n") +
        event("3", "DTSTART:20270101T090000\r\nRRULE:FREQ=MONTHLY;BYDAY=MO;BYSETPOS=1\r\n"
                   "SUMMARY:第一个周一\r\n") +
        event("4", "DTSTART:20261201T090000\r\nRRULE:FREQ=DAILY\r\nEXDATE:20261225T090000\r\n"
                   "SUMMARY:除圣诞\r\n") +
        event("5", "DTSTART:20261201T090000\r\nRRULE:FREQ=DAILY;BYHOUR=9,15\r\n"
                   "SUMMARY:两次\r\n") +
        event("6", "DTSTART:20200101T090000\r\nSUMMARY:过去\r\n") +
        event("7", "DTSTART:20270101T090000\r\nSUMMARY:好的\r\n") +
        event("7", "DTSTART:20270101T090000\r\nSUMMARY:同一 UID\r\n")));
    ASSERT_EQ(c.items.size(), 1u);
    EXPECT_EQ(c.items[0].message, "好的");
    std::vector<std::pair<std::string, SkipReason>> skipped;
    for (const SkippedEvent& s : c.skipped)
        skipped.emplace_back(s.summary, s.reason);
    EXPECT_EQ(skipped,
              (std::vector<std::pair<std::string, SkipReason>>{{"隔周", SkipReason::Interval},
                                                               {"五次", SkipReason::Count},
                                                               {"第一个周一", SkipReason::SetPos},
                                                               {"除圣诞", SkipReason::Exdate},
                                                               {"两次", SkipReason::OtherTimes},
                                                               {"过去", SkipReason::Past},
                                                               {"同一 UID", SkipReason::Known}}));
}

TEST_F(CalendarFile, ExportedRemindersComeBackOnceWithTheirUids) {
    ReminderItem a;
    a.year = 0, a.month = 12, a.day = 24, a.hour = 8, a.min = 30, a.rdBefore = 10;
    a.message = "平安夜";
    a.music = "/a/铃声.wav";
    appendItem(data, a, true);
    appendItem(data, a, true); // the same keys again: a UID of its own
    ReminderItem never = a;
    never.day = 100;
    appendItem(data, never, false);
    const CalendarExport first = exportCalendar(data, {1, 2, 3}, dir.file("a.ics"), kNow.date, 0);
    EXPECT_EQ(first.written, 2);
    EXPECT_EQ(first.neverFiring, 1);
    exportCalendar(data, {1, 2}, dir.file("b.ics"), kNow.date, 1000);
    const std::vector<std::string> uids = itemUids(data);
    EXPECT_EQ(uids[1], uids[0] + "-2");

    TempDir other;
    TIniFile fresh(other.file("DataFile.dat"));
    createDataFile(fresh);
    const CalendarImport c = readCalendar(dir.file("b.ics"), fresh, kNow);
    EXPECT_EQ(c.uids, (std::vector<std::string>{uids[0], uids[1]}));
    EXPECT_EQ(importCalendar(fresh, c, ActingItems::Skip), 2);
    EXPECT_EQ(readItem(fresh, 1, kViewDefaults).music, "/a/铃声.wav");
    EXPECT_EQ(readItem(fresh, 2, kEditDefaults).rdBefore, 10);
    EXPECT_EQ(readItemUid(fresh, 2), uids[1]);
    // Again: every event is known now, by its stored Uid.
    const CalendarImport again = readCalendar(dir.file("a.ics"), fresh, kNow);
    EXPECT_TRUE(again.items.empty());
    EXPECT_EQ(again.skipped.size(), 2u);
    // The reminders exported from the data file are known there as well.
    EXPECT_TRUE(readCalendar(dir.file("a.ics"), data, kNow).items.empty());
    // A delete moves the Uid with its reminder.
    deleteItem(fresh, 1);
    EXPECT_EQ(readItemUid(fresh, 1), uids[1]);
    EXPECT_EQ(readItemUid(fresh, 2), "");
}

TEST_F(CalendarFile, CommandsAndShutdownsAreAskedAboutAsForTheExchangeFile) {
    const CalendarImport c =
        read(calendar(event("c", "DTSTART:20270101T090000\r\nSUMMARY:备份 [cmd:backup.sh]\r\n") +
                      event("s", "DTSTART:20270101T230000\r\nSUMMARY:AutoShutDownWindows\r\n"
                                 "X-KELVO-SHUTDOWN:1\r\n") +
                      event("p", "DTSTART:20270101T090000\r\nSUMMARY:普通\r\n")));
    const std::vector<ActingItem> acting = actingItems(c.items);
    ASSERT_EQ(acting.size(), 2u);
    EXPECT_EQ(acting[0].command->command, "backup.sh");
    EXPECT_TRUE(acting[1].shutdown);
    EXPECT_EQ(importCalendar(data, c, ActingItems::Skip), 1);
    EXPECT_EQ(importCalendar(data, c, ActingItems::AddUnconfirmed), 3);
    EXPECT_EQ(readImported(data, 2), Imported::Unconfirmed);
    EXPECT_EQ(readImported(data, 3), Imported::No);
}

TEST(CalendarText, HostileTextsAreRefusedBeforeTheyAreParsed) {
    const std::string ok = calendar(event("a", "DTSTART:20270101T090000\r\n"));
    EXPECT_EQ(calendarTextProblem(ok), "");
    EXPECT_EQ(calendarTextProblem("\xEF\xBB\xBF\r\n" + ok), "");
    EXPECT_TRUE(looksLikeCalendar("\xEF\xBB\xBF\r\n  begin:vcalendar\r\n"));
    EXPECT_FALSE(looksLikeCalendar("[Main]\r\nItems=1\r\n"));

    auto problem = [](const std::string& text) { return calendarTextProblem(text); };
    EXPECT_NE(problem("[Main]\r\n" + ok), "");
    EXPECT_NE(problem(calendar(event("a", "SUMMARY:\xC3\x28\r\n"))), "");     // invalid UTF-8
    EXPECT_NE(problem(calendar(event("a", "SUMMARY:\xED\xA0\x80\r\n"))), ""); // a surrogate
    EXPECT_NE(problem("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nEND:VCALENDAR\r\n"), "");
    EXPECT_NE(problem("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n"), "");
    std::string deep = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 10; ++i)
        deep += "BEGIN:X\r\n";
    EXPECT_NE(problem(deep), "");
    EXPECT_NE(problem(calendar(event("a", "SUMMARY:" + std::string(70'000, 'x') + "\r\n"))), "");
    std::string many;
    for (size_t i = 0; i <= kMostCalendarEvents; ++i)
        many += "BEGIN:VEVENT\r\nEND:VEVENT\r\n";
    EXPECT_NE(problem(calendar(many)), "");
}

TEST_F(CalendarFile, ABrokenCalendarIsAnErrorAndNothingIsRead) {
    for (const std::string& text :
         {std::string("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n"),
          std::string("BEGIN:VCALENDAR\r\n\xFF\xFE\r\nEND:VCALENDAR\r\n")}) {
        EXPECT_THROW(read(text), CalendarError);
    }
    // A property libical cannot read makes its event skipped, not misread.
    const CalendarImport c =
        read(calendar(event("a", "DTSTART:20270101T090000\r\nRRULE:FREQ=NEVER\r\nSUMMARY:坏\r\n")));
    ASSERT_EQ(c.skipped.size(), 1u);
    EXPECT_EQ(c.skipped[0].reason, SkipReason::Damaged);
}

} // namespace
} // namespace kelvo
