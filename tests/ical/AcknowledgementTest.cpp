// An alarm acknowledged or snoozed on one computer, as the calendar module
// writes it for the others and reads it back, in Thunderbird's properties
// and in those of RFC 9074; and acknowledge() on events of other programs.
#include "ical/IcalModule.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

namespace kelvo {
namespace {

int64_t utc(const char* text) {
    return icaltime_as_timet_with_zone(icaltime_from_string(text), icaltimezone_get_utc_timezone());
}

std::string dataFile(const std::string& name) {
    std::ifstream in(std::string(KELVO_ICAL_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

bool has(const std::string& text, const std::string& line) {
    return count(text, line + "\r\n") > 0;
}

std::vector<CalendarEvent> read(const std::string& text) {
    std::vector<CalendarEvent> events;
    std::string error;
    EXPECT_TRUE(icalModule().read(text, utc("20270101T000000Z"), events, error)) << error;
    return events;
}

std::string write(const CalendarEvent& event, int64_t stamp = utc("20270101T000000Z")) {
    std::string text, error;
    EXPECT_TRUE(icalModule().write({event}, stamp, text, error)) << error;
    return text;
}

std::string acknowledge(const std::string& text, int64_t acknowledged, int64_t snoozedUntil) {
    std::string out, error;
    EXPECT_TRUE(icalModule().acknowledge(text, acknowledged, snoozedUntil, out, error)) << error;
    return out;
}

CalendarEvent reminder() {
    CalendarEvent event;
    event.uid = "r1@kelvo";
    event.start = DateTime{{2027, 1, 5}, 9, 0, 0};
    event.summary = "开会";
    event.alarmsBefore = {10, 0};
    return event;
}

std::string withoutStamp(std::string text) {
    const size_t at = text.find("DTSTAMP:");
    return text.erase(at, text.find("\r\n", at) - at);
}

class Acknowledgement : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "Asia/Shanghai", 1);
        ::tzset();
    }
};

TEST_F(Acknowledgement, WrittenBothWaysAndReadBack) {
    CalendarEvent event = reminder();
    event.acknowledged = utc("20270105T005000Z");
    event.snoozedUntil = utc("20270105T010500Z");
    const std::string text = write(event);
    EXPECT_TRUE(has(text, "X-MOZ-LASTACK:20270105T005000Z"));
    EXPECT_EQ(count(text, "ACKNOWLEDGED:20270105T005000Z\r\n"), 2u);
    EXPECT_TRUE(has(text, "X-MOZ-SNOOZE-TIME:20270105T010500Z"));
    EXPECT_TRUE(has(text, "RELATED-TO;RELTYPE=SNOOZE:r1@kelvo-alarm-10"));
    EXPECT_TRUE(has(text, "TRIGGER;VALUE=DATE-TIME:20270105T010500Z"));
    EXPECT_EQ(count(text, "SEQUENCE"), 0u);

    const std::vector<CalendarEvent> back = read(text);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].acknowledged, event.acknowledged);
    EXPECT_EQ(back[0].snoozedUntil, event.snoozedUntil);
    EXPECT_EQ(back[0].alarmsBefore, event.alarmsBefore); // the snooze is no alarm of its own
    EXPECT_FALSE(back[0].attendees);
}

// Every alarm has a UID of its event and trigger, the same at every write;
// without an acknowledgement nothing of one is written.
TEST_F(Acknowledgement, AlarmUidsAreTheSameAtEveryWrite) {
    const std::string first = write(reminder(), utc("20270101T000000Z"));
    EXPECT_EQ(withoutStamp(first), withoutStamp(write(reminder(), utc("20270301T000000Z"))));
    EXPECT_TRUE(has(first, "UID:r1@kelvo-alarm-10"));
    EXPECT_TRUE(has(first, "UID:r1@kelvo-alarm-0"));
    for (const char* mark : {"X-MOZ", "ACKNOWLEDGED", "RELATED-TO"})
        EXPECT_EQ(count(first, mark), 0u) << mark;
    EXPECT_EQ(read(first)[0].acknowledged, 0);
}

TEST_F(Acknowledgement, ASnoozeAcknowledgedSinceIsNone) {
    CalendarEvent event = reminder();
    event.acknowledged = utc("20270105T011000Z");
    event.snoozedUntil = utc("20270105T010500Z");
    const std::string text = write(event);
    EXPECT_EQ(count(text, "SNOOZE"), 0u);
    EXPECT_EQ(read(text)[0].snoozedUntil, 0);

    const std::string thunderbird =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:t\r\nDTSTART:20270105T090000\r\n"
        "X-MOZ-LASTACK:20270105T011000Z\r\nX-MOZ-SNOOZE-TIME:20270105T010500Z\r\n"
        "END:VEVENT\r\nEND:VCALENDAR\r\n";
    const CalendarEvent read0 = read(thunderbird)[0];
    EXPECT_EQ(read0.acknowledged, utc("20270105T011000Z"));
    EXPECT_EQ(read0.snoozedUntil, 0);
}

// Thunderbird names the snooze of one occurrence by its RECURRENCE-ID in
// microseconds since 1970, a floating time read as UTC: here the one whose
// alarm (10 minutes before 09:00 Shanghai time) was due at the acknowledgement.
TEST_F(Acknowledgement, ARepeatedEventsSnoozeNamesItsOccurrence) {
    CalendarEvent event = reminder();
    CalendarRule daily;
    daily.freq = CalendarRule::Freq::Daily;
    event.rules = {daily};
    event.acknowledged = utc("20270107T005100Z"); // 08:51 on the 7th
    event.snoozedUntil = utc("20270107T010100Z");
    const std::string text = write(event);
    const int64_t seventh = utc("20270107T090000Z") * 1'000'000;
    EXPECT_TRUE(has(text, "X-MOZ-SNOOZE-TIME-" + std::to_string(seventh) + ":20270107T010100Z"))
        << text;
    EXPECT_EQ(count(text, "X-MOZ-SNOOZE-TIME"), 1u);
    EXPECT_EQ(read(text)[0].snoozedUntil, event.snoozedUntil);
    // Acknowledged before any alarm was due: the first occurrence.
    event.acknowledged = utc("20261201T000000Z");
    const int64_t fifth = utc("20270105T090000Z") * 1'000'000;
    EXPECT_TRUE(
        has(write(event), "X-MOZ-SNOOZE-TIME-" + std::to_string(fifth) + ":20270107T010100Z"));
    // Weekly on Tuesdays, acknowledged on a Thursday: that week's Tuesday.
    event.rules[0].freq = CalendarRule::Freq::Weekly;
    event.acknowledged = utc("20270121T000000Z");
    event.snoozedUntil = utc("20270121T001000Z");
    const int64_t tuesday = utc("20270119T090000Z") * 1'000'000;
    EXPECT_TRUE(
        has(write(event), "X-MOZ-SNOOZE-TIME-" + std::to_string(tuesday) + ":20270121T001000Z"));
}

// Thunderbird snoozed an alarm by 5 minutes (python icalendar's test file).
TEST_F(Acknowledgement, ThunderbirdsSnoozeIsRead) {
    const std::vector<CalendarEvent> events =
        read(dataFile("icalendar-alarm_thunderbird_snoozed.ics"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].acknowledged, utc("20241023T173630Z"));
    EXPECT_EQ(events[0].snoozedUntil, utc("20241023T174130Z"));
    EXPECT_EQ(events[0].alarmsBefore, (std::vector<int32_t>{1, 24}));
}

// RFC 9074's example: an alarm snoozed, then dismissed with its snooze.
TEST_F(Acknowledgement, TheRfcsSnoozeAndDismissalAreRead) {
    const std::vector<CalendarEvent> events = read(dataFile("rfc9074-snoozed-and-dismissed.ics"));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].acknowledged, utc("20210302T151514Z"));
    EXPECT_EQ(events[0].snoozedUntil, utc("20210302T152000Z"));
    EXPECT_EQ(events[0].alarmsBefore, (std::vector<int32_t>{15}));
    EXPECT_EQ(events[1].acknowledged, utc("20210302T152507Z"));
    EXPECT_EQ(events[1].snoozedUntil, 0);
}

TEST_F(Acknowledgement, AttendeesAreTold) {
    const std::string text =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:m\r\nDTSTART:20270105T090000\r\n"
        "ORGANIZER:mailto:a@example.com\r\nATTENDEE;PARTSTAT=ACCEPTED:mailto:b@example.com\r\n"
        "END:VEVENT\r\nEND:VCALENDAR\r\n";
    EXPECT_TRUE(read(text)[0].attendees);
}

const std::string kForeign =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//Other//EN\r\n"
    "BEGIN:VTIMEZONE\r\nTZID:Asia/Shanghai\r\nBEGIN:STANDARD\r\nTZOFFSETFROM:+0800\r\n"
    "TZOFFSETTO:+0800\r\nTZNAME:CST\r\nDTSTART:19700101T000000\r\nEND:STANDARD\r\n"
    "END:VTIMEZONE\r\n"
    "BEGIN:VEVENT\r\nUID:f@other\r\nDTSTAMP:20261201T000000Z\r\nSEQUENCE:3\r\n"
    "DTSTART;TZID=Asia/Shanghai:20270105T090000\r\nSUMMARY:周会\r\nDESCRIPTION:带上报告\r\n"
    "LOCATION:三楼\r\nX-OTHER-COLOR:blue\r\nX-MOZ-LASTACK:20270104T000000Z\r\n"
    "X-MOZ-SNOOZE-TIME:20270104T000500Z\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nDESCRIPTION:周会\r\n"
    "ACKNOWLEDGED:20270104T000000Z\r\nEND:VALARM\r\n"
    "BEGIN:VALARM\r\nUID:old-snooze\r\nACTION:DISPLAY\r\n"
    "TRIGGER;VALUE=DATE-TIME:20270104T000500Z\r\nRELATED-TO;RELTYPE=SNOOZE:x\r\n"
    "END:VALARM\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

// A newer acknowledgement replaces the old one and the snooze it covers;
// all else of the other program's event stays as it was.
TEST_F(Acknowledgement, AcknowledgeKeepsTheRestOfAForeignEvent) {
    const std::string out = acknowledge(kForeign, utc("20270105T005000Z"), 0);
    for (const char* line :
         {"SEQUENCE:3", "DTSTAMP:20261201T000000Z", "DESCRIPTION:带上报告", "LOCATION:三楼",
          "X-OTHER-COLOR:blue", "TZID:Asia/Shanghai", "X-MOZ-LASTACK:20270105T005000Z",
          "ACKNOWLEDGED:20270105T005000Z", "UID:f@other-alarm-15"})
        EXPECT_TRUE(has(out, line)) << line;
    for (const char* gone : {"20270104T0", "SNOOZE", "old-snooze"})
        EXPECT_EQ(count(out, gone), 0u) << gone;
    EXPECT_EQ(count(out, "X-MOZ-LASTACK"), 1u);
    const CalendarEvent back = read(out)[0];
    EXPECT_EQ(back.acknowledged, utc("20270105T005000Z"));
    EXPECT_EQ(back.snoozedUntil, 0);
    EXPECT_EQ(acknowledge(out, utc("20270105T005000Z"), 0), out);
}

TEST_F(Acknowledgement, AcknowledgeSnoozesAThunderbirdEvent) {
    const std::string file = dataFile("icalendar-alarm_thunderbird_snoozed.ics");
    const std::string out = acknowledge(file, utc("20241023T180000Z"), utc("20241023T181000Z"));
    for (const char* line :
         {"X-MOZ-GENERATION:3", "X-MOZ-LASTACK:20241023T180000Z",
          "X-MOZ-SNOOZE-TIME:20241023T181000Z", "TZNAME:Europe/London(DST)",
          "RELATED-TO;RELTYPE=SNOOZE:731b9b91-cf72-499b-bbc9-c53c28e21fc7-alarm-1"})
        EXPECT_TRUE(has(out, line)) << line;
    EXPECT_EQ(count(out, "X-MOZ-SNOOZE-TIME"), 1u);
    EXPECT_EQ(count(out, "BEGIN:VALARM"), 3u);
    const CalendarEvent back = read(out)[0];
    EXPECT_EQ(back.snoozedUntil, utc("20241023T181000Z"));
    EXPECT_EQ(back.alarmsBefore, (std::vector<int32_t>{1, 24}));
}

// The master event of a series is acknowledged, its moved occurrence is
// left as it was.
TEST_F(Acknowledgement, AcknowledgeSetsTheMasterOfASeriesWithAnOverride) {
    const std::string text =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//Other//EN\r\n"
        "BEGIN:VEVENT\r\nUID:s@other\r\nRECURRENCE-ID:20270106T010000Z\r\n"
        "DTSTART:20270106T020000Z\r\nSUMMARY:改时间\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT5M\r\nEND:VALARM\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:s@other\r\nDTSTART:20270105T010000Z\r\nRRULE:FREQ=DAILY\r\n"
        "SUMMARY:每天\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT5M\r\nEND:VALARM\r\n"
        "END:VEVENT\r\nEND:VCALENDAR\r\n";
    const std::string out = acknowledge(text, utc("20270106T005600Z"), utc("20270106T010600Z"));
    const size_t master = out.find("SUMMARY:每天");
    EXPECT_EQ(out.substr(0, master).find("ACKNOWLEDGED"), std::string::npos);
    const int64_t sixth = utc("20270106T010000Z") * 1'000'000;
    EXPECT_TRUE(has(out, "X-MOZ-SNOOZE-TIME-" + std::to_string(sixth) + ":20270106T010600Z"));
    EXPECT_TRUE(has(out, "RELATED-TO;RELTYPE=SNOOZE:s@other-alarm-5"));
    const std::vector<CalendarEvent> back = read(out);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].acknowledged, 0);
    EXPECT_EQ(back[1].acknowledged, utc("20270106T005600Z"));
    EXPECT_EQ(back[1].snoozedUntil, utc("20270106T010600Z"));
}

// Nor is one whose property libical cannot read: it would come back damaged.
TEST_F(Acknowledgement, WhatIsNoCalendarObjectIsRefused) {
    for (const std::string& text :
         {std::string("hello"),
          std::string("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\n"
                      "UID:t\r\nEND:VTODO\r\nEND:VCALENDAR\r\n"),
          std::string("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:e\r\n"
                      "DTSTART:20270301T090000\r\nDTEND:the day after\r\n"
                      "END:VEVENT\r\nEND:VCALENDAR\r\n")}) {
        std::string out, error;
        EXPECT_FALSE(icalModule().acknowledge(text, 1, 0, out, error)) << text;
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
} // namespace kelvo
