#include "ical/CalendarFile.h"
#include "core/UserError.h"
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
// kNow in Berlin.
constexpr ClockReading kReading{kNow, 1796720400, 0};

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
        return readCalendar(dir.file("in.ics"), data, kReading);
    }
    // The file of dir read into a fresh data file.
    CalendarImport readIntoFresh(const std::string& name) const {
        TempDir other;
        TIniFile fresh(other.file("DataFile.dat"));
        createDataFile(fresh);
        return readCalendar(dir.file(name), fresh, kReading);
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
// a full duration. Shanghai has no summer time and Berlin has: a weekly
// event there moves by an hour in Berlin's summer, and is skipped; one
// event comes at its moment.
TEST_F(CalendarFile, TimesOfAnotherZoneBecomeLocalWallTimeWhenTheyStayPut) {
    const std::string weekly =
        event("weekly@google.com", "DTSTART;TZID=Asia/Shanghai:20260104T090000\r\n"
                                   "DTEND;TZID=Asia/Shanghai:20260104T100000\r\n"
                                   "RRULE:FREQ=WEEKLY;BYDAY=SU\r\nSUMMARY:周日例会\r\n"
                                   "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:提醒\r\n"
                                   "TRIGGER:-P0DT0H30M0S\r\nEND:VALARM\r\n");
    // 00:30 in Shanghai is 01:30 in Tokyo, 16:30 of the day before in UTC.
    const std::string early = event("early", "DTSTART;TZID=Asia/Shanghai:20260105T003000\r\n"
                                             "RRULE:FREQ=WEEKLY;BYDAY=MO\r\nSUMMARY:早\r\n");
    const std::string once = event("utc", "DTSTART:20270301T010000Z\r\nSUMMARY:协调世界时\r\n");
    const std::string file = calendar(kShanghaiZone + weekly + early + once);
    const CalendarImport berlin = read(file);
    ASSERT_EQ(berlin.items.size(), 1u);
    expectItem(berlin.items[0], 2027, 3, 1, 2, 0, 0, "协调世界时");
    ASSERT_EQ(berlin.skipped.size(), 2u);
    EXPECT_EQ(berlin.skipped[0].reason, SkipReason::ZoneMoves);
    EXPECT_EQ(berlin.skipped[1].reason, SkipReason::ZoneMoves);

    for (const char* zone : {"Asia/Tokyo", "UTC"}) {
        SCOPED_TRACE(zone);
        ::setenv("TZ", zone, 1);
        ::tzset();
        const bool tokyo = zone[0] == 'A';
        const CalendarImport c = read(file);
        ASSERT_EQ(c.items.size(), 3u);
        expectItem(c.items[0], 0, 0, 255 + (256 << 6), tokyo ? 10 : 1, 0, 30, "周日例会");
        // In UTC, Monday 00:30 in Shanghai is Sunday 16:30.
        expectItem(c.items[1], 0, 0, 255 + (256 << (tokyo ? 0 : 6)), tokyo ? 1 : 16, 30, 0, "早");
        expectItem(c.items[2], 2027, 3, 1, tokyo ? 10 : 1, 0, 0, "协调世界时");
        EXPECT_EQ(c.uids, (std::vector<std::string>{"weekly@google.com", "early", "utc"}));
    }
}

// A series in the local zone itself stays put through summer time; a zone
// that no VTIMEZONE and no system zone knows is a reason, not local time.
TEST_F(CalendarFile, SeriesOfTheLocalZoneComeInAndUnknownZonesAreSkipped) {
    const CalendarImport c =
        read(calendar(event("berlin", "DTSTART;TZID=Europe/Berlin:20260105T090000\r\n"
                                      "RRULE:FREQ=WEEKLY;BYDAY=MO\r\nSUMMARY:周会\r\n") +
                      event("windows", "DTSTART;TZID=W. Europe Standard Time:20270105T090000\r\n"
                                       "SUMMARY:窗口时区\r\n")));
    ASSERT_EQ(c.items.size(), 1u);
    expectItem(c.items[0], 0, 0, 255 + 256, 9, 0, 0, "周会");
    ASSERT_EQ(c.skipped.size(), 1u);
    EXPECT_EQ(c.skipped[0].reason, SkipReason::UnknownZone);
    EXPECT_EQ(c.skipped[0].detail, "W. Europe Standard Time");
}

// Google and Exchange write empty properties on almost every event, and
// holiday calendars a DTSTAMP that is a date: neither costs the event. A
// property Kelvo needs that cannot be read is named.
TEST_F(CalendarFile, WhatKelvoDoesNotUseNeverCostsTheEvent) {
    const std::string noise = "DESCRIPTION:\r\nLOCATION:\r\nX-MICROSOFT-CDO-APPT-SEQUENCE:\r\n"
                              "CATEGORIES:\r\nX-EMPTY;X-P=1:\r\nURL:\r\nFOO-BAR:baz\r\n";
    const CalendarImport c = read(calendar(
        "BEGIN:VEVENT\r\nUID:h\r\nDTSTAMP;VALUE=DATE:20251101\r\n"
        "DTSTART;VALUE=DATE:20270101\r\nSUMMARY:元旦\r\n" +
        noise + "END:VEVENT\r\n" + event("e", "DTSTART:20270102T080000\r\nSUMMARY:\r\n" + noise) +
        event("r", "DTSTART:20270102T080000\r\nRRULE:FREQ=WEEKLY;FOO=1\r\nSUMMARY:坏规则\r\n") +
        event("t", "DTSTART:20270102T080000\r\nSUMMARY:坏闹钟\r\n"
                   "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:\r\nTRIGGER:-PT5Q\r\n"
                   "END:VALARM\r\n") +
        event("s", "DTSTART:tomorrow\r\nSUMMARY:坏开始\r\n") +
        event("f", "DTSTART:20270230T090000\r\nSUMMARY:二月三十\r\n")));
    ASSERT_EQ(c.items.size(), 2u);
    expectItem(c.items[0], 2027, 1, 1, 9, 0, 0, "元旦");
    expectItem(c.items[1], 2027, 1, 2, 8, 0, 0, "");
    std::vector<std::string> reasons;
    for (const SkippedEvent& s : c.skipped)
        reasons.push_back(s.summary + "：" + skipReasonText(s.reason, s.detail));
    EXPECT_EQ(reasons,
              (std::vector<std::string>{"坏规则：RRULE 无法读懂", "坏闹钟：TRIGGER 无法读懂",
                                        "坏开始：DTSTART 无法读懂",
                                        "二月三十：DTSTART 的日期不存在（如 2 月 30 日）"}));
}

TEST_F(CalendarFile, CancelledEventsAndAnEndBeforeTheStartAreSkipped) {
    const CalendarImport c = read(
        calendar(event("c", "DTSTART:20270101T090000\r\nSTATUS:CANCELLED\r\nSUMMARY:取消了\r\n") +
                 event("u", "DTSTART:20270301T090000\r\nRRULE:FREQ=DAILY;UNTIL=20270201T090000\r\n"
                            "SUMMARY:结束在前\r\n") +
                 // Not every day of 2027.
                 event("y", "DTSTART:20270101T090000\r\nRRULE:FREQ=DAILY;UNTIL=20261231T090000\r\n"
                            "SUMMARY:跨年结束在前\r\n") +
                 event("k", "DTSTART:20270101T090000\r\nSTATUS:CONFIRMED\r\nSUMMARY:照常\r\n")));
    ASSERT_EQ(c.items.size(), 1u);
    EXPECT_EQ(c.items[0].message, "照常");
    ASSERT_EQ(c.skipped.size(), 3u);
    EXPECT_EQ(c.skipped[0].reason, SkipReason::Cancelled);
    EXPECT_EQ(c.skipped[1].reason, SkipReason::NoOccurrence);
    EXPECT_EQ(c.skipped[2].reason, SkipReason::NoOccurrence);
}

// Exceptions and changed occurrences before today leave a series that a
// reminder expresses from today on; a COUNT is the end of its last
// occurrence.
TEST_F(CalendarFile, WhatLiesBeforeTodayNoLongerStandsInTheWay) {
    const std::string master = "DTSTART:20260105T090000\r\nRRULE:FREQ=WEEKLY;BYDAY=MO\r\n";
    const CalendarImport c = read(calendar(
        event("ex", master + "EXDATE:20260112T090000,20260119T090000\r\nSUMMARY:过去的例外\r\n") +
        event("mv", master + "SUMMARY:改过一次\r\n") +
        event("mv", "RECURRENCE-ID:20260202T090000\r\nDTSTART:20260203T100000\r\n"
                    "SUMMARY:改过一次\r\n") +
        event("fx", master + "EXDATE:20261214T090000\r\nSUMMARY:今后的例外\r\n") +
        event("fm", master + "SUMMARY:今后改过\r\n") +
        event("fm", "RECURRENCE-ID:20261214T090000\r\nDTSTART:20261215T100000\r\n"
                    "SUMMARY:今后改过\r\n") +
        event("c1", "DTSTART:20270401T090000\r\nRRULE:FREQ=DAILY;COUNT=1\r\nSUMMARY:一次\r\n") +
        // 3 January 2027 is a Sunday: 52 Sundays are those of 2027.
        event("c52", "DTSTART:20270103T090000\r\nRRULE:FREQ=WEEKLY;COUNT=52\r\n"
                     "SUMMARY:2027 周日\r\n") +
        event("c5", "DTSTART:20270103T090000\r\nRRULE:FREQ=DAILY;COUNT=5\r\nSUMMARY:五天\r\n")));
    std::vector<std::string> items;
    for (const ReminderItem& it : c.items)
        items.push_back(it.message + " " + std::to_string(it.year) + "-" +
                        std::to_string(it.month) + "-" + std::to_string(it.day));
    EXPECT_EQ(items, (std::vector<std::string>{"过去的例外 0-0-511", "改过一次 0-0-511",
                                               "一次 2027-4-1", "2027 周日 2027-0-16639"}));
    std::vector<std::pair<std::string, SkipReason>> skipped;
    for (const SkippedEvent& s : c.skipped)
        skipped.emplace_back(s.summary, s.reason);
    using S = std::vector<std::pair<std::string, SkipReason>>;
    EXPECT_EQ(skipped, (S{{"改过一次", SkipReason::Past},
                          {"今后的例外", SkipReason::Exdate},
                          {"今后改过", SkipReason::Moved},
                          {"今后改过", SkipReason::Moved},
                          {"五天", SkipReason::Count}}));
}

// TRIGGER;RELATED=START is the start's alarm; RELATED=END counts from the
// end that DTEND or DURATION gives.
TEST_F(CalendarFile, AlarmsCountFromTheStartOrFromTheEnd) {
    auto alarm = [](const std::string& trigger) {
        return "BEGIN:VALARM\r\nACTION:DISPLAY\r\n" + trigger + "\r\nEND:VALARM\r\n";
    };
    const CalendarImport c = read(calendar(
        event("s",
              "DTSTART:20270101T090000\r\nSUMMARY:s\r\n" + alarm("TRIGGER;RELATED=START:-PT10M")) +
        event("e", "DTSTART:20270101T090000\r\nDTEND:20270101T093000\r\nSUMMARY:e\r\n" +
                       alarm("TRIGGER;RELATED=END:-PT45M") + alarm("TRIGGER;RELATED=END:-PT20M")) +
        event("d", "DTSTART:20270101T090000\r\nDURATION:PT1H\r\nSUMMARY:d\r\n" +
                       alarm("TRIGGER;RELATED=END:-PT1H25M"))));
    ASSERT_EQ(c.items.size(), 3u);
    EXPECT_EQ(c.items[0].rdBefore, 10);
    EXPECT_EQ(c.items[1].rdBefore, 15);
    EXPECT_EQ(c.items[2].rdBefore, 25);
}

// What to-do programs and phones export as reminders.
TEST_F(CalendarFile, ToDosWithADueTimeOrAnAlarmComeOnce) {
    const CalendarImport c = read(
        calendar("BEGIN:VTODO\r\nUID:t1\r\nDUE:20270115T170000\r\nSUMMARY:交报告\r\nEND:VTODO\r\n"
                 "BEGIN:VTODO\r\nUID:t2\r\nDUE;VALUE=DATE:20270120\r\nSUMMARY:缴税\r\n"
                 "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;VALUE=DATE-TIME:20270119T070000Z\r\n"
                 "END:VALARM\r\nEND:VTODO\r\n"
                 "BEGIN:VTODO\r\nUID:t3\r\nDUE:20270115T170000\r\nSUMMARY:提前\r\n"
                 "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;RELATED=END:-PT1H\r\nEND:VALARM\r\n"
                 "END:VTODO\r\n"
                 "BEGIN:VTODO\r\nUID:t4\r\nDUE:20270115T170000\r\nSTATUS:COMPLETED\r\n"
                 "SUMMARY:做完了\r\nEND:VTODO\r\n"
                 "BEGIN:VTODO\r\nUID:t5\r\nSUMMARY:某天\r\nEND:VTODO\r\n"));
    ASSERT_EQ(c.items.size(), 3u);
    expectItem(c.items[0], 2027, 1, 15, 17, 0, 0, "交报告");
    expectItem(c.items[1], 2027, 1, 19, 8, 0, 0, "缴税");
    expectItem(c.items[2], 2027, 1, 15, 16, 0, 0, "提前");
    ASSERT_EQ(c.skipped.size(), 2u);
    EXPECT_EQ(c.skipped[0].reason, SkipReason::Completed);
    EXPECT_EQ(c.skipped[1].reason, SkipReason::NoDue);
}

// An event without UID is known again by its start, rule and summary.
TEST_F(CalendarFile, EventsWithoutUidAreImportedOnce) {
    const std::string file =
        calendar("BEGIN:VEVENT\r\nDTSTART:20270101T090000\r\nSUMMARY:无 UID\r\nEND:VEVENT\r\n"
                 "BEGIN:VEVENT\r\nDTSTART:20270101T100000\r\nSUMMARY:无 UID\r\nEND:VEVENT\r\n");
    const CalendarImport first = read(file);
    ASSERT_EQ(first.items.size(), 2u);
    EXPECT_NE(first.uids[0], first.uids[1]);
    EXPECT_EQ(importCalendar(data, first, ActingItems::Skip), 2);
    const CalendarImport again = read(file);
    EXPECT_TRUE(again.items.empty());
    ASSERT_EQ(again.skipped.size(), 2u);
    EXPECT_EQ(again.skipped[0].reason, SkipReason::Known);
}

TEST_F(CalendarFile, LinesEndingInCrAloneAreRead) {
    std::string text = calendar(event("cr", "DTSTART:20270101T090000\r\nSUMMARY:旧麦金塔\r\n"));
    std::erase(text, '\n');
    EXPECT_TRUE(looksLikeCalendar(text));
    const CalendarImport c = read(text);
    ASSERT_EQ(c.items.size(), 1u);
    EXPECT_EQ(c.items[0].message, "旧麦金塔");
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
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;RELATED=END:PT20M\r\nEND:VALARM\r\n"
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
    const CalendarImport c = readCalendar(dir.file("b.ics"), fresh, kReading);
    EXPECT_EQ(c.uids, (std::vector<std::string>{uids[0], uids[1]}));
    EXPECT_EQ(importCalendar(fresh, c, ActingItems::Skip), 2);
    EXPECT_EQ(readItem(fresh, 1, kViewDefaults).music, "/a/铃声.wav");
    EXPECT_EQ(readItem(fresh, 2, kEditDefaults).rdBefore, 10);
    EXPECT_EQ(readItemUid(fresh, 2), uids[1]);
    // Again: every event is known now, by its stored Uid.
    const CalendarImport again = readCalendar(dir.file("a.ics"), fresh, kReading);
    EXPECT_TRUE(again.items.empty());
    EXPECT_EQ(again.skipped.size(), 2u);
    // The reminders exported from the data file are known there as well.
    EXPECT_TRUE(readCalendar(dir.file("a.ics"), data, kReading).items.empty());
    // A delete moves the Uid with its reminder.
    deleteItem(fresh, 1);
    EXPECT_EQ(readItemUid(fresh, 1), uids[1]);
    EXPECT_EQ(readItemUid(fresh, 2), "");
}

// A lunar reminder goes out as its days, its rule in Kelvo's own property
// and no RRULE that a reader without RSCALE would read as Gregorian days,
// and comes back as the same lunar reminder.
TEST_F(CalendarFile, LunarRemindersGoOutAsTheirDaysAndComeBackLunar) {
    ReminderItem midAutumn;
    midAutumn.year = 2027, midAutumn.month = 9, midAutumn.day = 15, midAutumn.hour = 9;
    midAutumn.message = "中秋";
    midAutumn.lunar = LunarRepeat{LunarRepeat::kYearly, 8, 15, false};
    appendItem(data, midAutumn, false);
    exportCalendar(data, {1}, dir.file("lunar.ics"), kNow.date, 0);
    std::string text = dir.read("lunar.ics");
    for (size_t fold = text.find("\r\n "); fold != std::string::npos; fold = text.find("\r\n "))
        text.erase(fold, 3); // unfolded
    EXPECT_EQ(text.find("RRULE"), std::string::npos);
    EXPECT_NE(text.find("X-KELVO-LUNAR:RSCALE=CHINESE;FREQ=YEARLY;BYMONTHDAY=15;BYMONTH=8;"
                        "SKIP=BACKWARD"),
              std::string::npos);
    EXPECT_NE(text.find("RDATE:20281003T090000"), std::string::npos); // 八月十五 of 2028

    const CalendarImport c = readIntoFresh("lunar.ics");
    ASSERT_EQ(c.items.size(), 1u);
    EXPECT_EQ(c.items[0].lunar, midAutumn.lunar);
    expectItem(c.items[0], 2027, 9, 15, 9, 0, 0, "中秋");
}

// Warnings days ahead go out as VALARMs of whole days ("-P7D", at the set
// time) or with the hours of their own time, and come back as they were;
// an interval's window travels in a property of its own.
TEST_F(CalendarFile, WarningsDaysAheadAndIntervalsGoOutAndComeBack) {
    ReminderItem birthday;
    birthday.year = 0, birthday.month = 3, birthday.day = 14, birthday.hour = 9;
    birthday.rdBefore = 10;
    birthday.message = "生日";
    birthday.warnings = dayWarnings({7, 1});
    ReminderItem bill = birthday;
    bill.message = "账单";
    bill.rdBefore = 0;
    bill.warnings = dayWarnings({2}, 20 * 60);
    ReminderItem water = birthday;
    water.month = 0, water.day = 0, water.rdBefore = 0, water.message = "喝水";
    water.warnings = {};
    water.interval = IntervalRule{45, 18 * 60};
    for (const ReminderItem& item : {birthday, bill, water})
        appendItem(data, item, false);
    exportCalendar(data, {1, 2, 3}, dir.file("out.ics"), kNow.date, 0);
    const std::string text = dir.read("out.ics");
    for (const char* line : {"TRIGGER:-P7D", "TRIGGER:-P1D", "TRIGGER:-PT10M", "TRIGGER:-P1DT13H",
                             "X-KELVO-INTERVAL:45;18:00"})
        EXPECT_NE(text.find(line), std::string::npos) << line;

    const CalendarImport c = readIntoFresh("out.ics");
    ASSERT_EQ(c.items.size(), 3u);
    EXPECT_EQ(c.items[0].warnings, birthday.warnings);
    EXPECT_EQ(c.items[0].rdBefore, 10);
    EXPECT_EQ(c.items[1].warnings, bill.warnings);
    EXPECT_EQ(c.items[2].interval, water.interval);
    // Alarms of other calendars: up to 30 days ahead, a week as weeks.
    const CalendarImport weeks = read(
        calendar(event("w", "DTSTART:20270314T090000\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:w\r\n"
                            "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-P1W\r\nEND:VALARM\r\n"
                            "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-P31D\r\nEND:VALARM\r\n")));
    ASSERT_EQ(weeks.items.size(), 1u);
    EXPECT_EQ(weeks.items[0].warnings, dayWarnings({7}));
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
    // A folded line counts with its continuations.
    std::string folded = "SUMMARY:";
    for (int i = 0; i < 10'000; ++i)
        folded += std::string(70, 'y') + "\r\n ";
    EXPECT_NE(problem(calendar(event("a", folded + "\r\n"))), "");
    EXPECT_EQ(problem(calendar(event("a", "SUMMARY:a\r\n b\r\n"))), "");
    std::string many;
    for (size_t i = 0; i <= kMostCalendarEvents; ++i)
        many += "BEGIN:VEVENT\r\nEND:VEVENT\r\n";
    EXPECT_NE(problem(calendar(many)), "");
}

TEST_F(CalendarFile, ABrokenCalendarIsAnErrorAndNothingIsRead) {
    for (const std::string& text :
         {std::string("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n"),
          std::string("BEGIN:VCALENDAR\r\n\xFF\xFE\r\nEND:VCALENDAR\r\n")}) {
        EXPECT_THROW(read(text), UserError);
    }
    // A property libical cannot read makes its event skipped, not misread.
    const CalendarImport c =
        read(calendar(event("a", "DTSTART:20270101T090000\r\nRRULE:FREQ=NEVER\r\nSUMMARY:坏\r\n")));
    ASSERT_EQ(c.skipped.size(), 1u);
    EXPECT_EQ(c.skipped[0].reason, SkipReason::Damaged);
}

} // namespace
} // namespace kelvo
