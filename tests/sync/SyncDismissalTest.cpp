// A dismissal or snooze on one computer reaches the others by sync, and
// changes of every part of a reminder travel.
#include "sync/Computer.h"
#include "sync/FakeCalendar.h"

#include "reminders/Schedule.h"
#include "storage/AckKeys.h"
#include "sync/SyncState.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using test::Computer;
using test::FakeCalendar;
using test::kNow;
using test::once;
using test::TempDir;

constexpr int64_t kSeenAt = 1'796'810'100; // five minutes before kNow

const std::string& serverText(const FakeCalendar& server) {
    return server.objects.begin()->second.data;
}

// An event of another program that a reminder expresses, with what Kelvo
// has no field for; `extra` goes into the event.
std::string phoneEvent(const std::string& extra) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\n"
           "BEGIN:VEVENT\r\nUID:dentist@phone\r\nDTSTAMP:20261201T000000Z\r\n"
           "DTSTART:20270301T090000\r\nSUMMARY:看牙\r\nDESCRIPTION:带上病历\r\n"
           "LOCATION:口腔医院\r\nSEQUENCE:3\r\n" +
           extra + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

class SyncDismissalTest : public ::testing::Test {
protected:
    void shareOne(const std::string& message) {
        a.add(once(message));
        a.sync(server);
        b.sync(server);
    }
    FakeCalendar server;
    Computer a, b;
};

TEST_F(SyncDismissalTest, ADismissalGoesUpOnceAndSilencesTheOtherComputer) {
    shareOne("开会");
    a.dismiss("开会", kSeenAt);
    EXPECT_EQ(a.sync(server).dismissedThere, 1);
    EXPECT_NE(serverText(server).find("X-MOZ-LASTACK:20261209T095500Z"), std::string::npos);
    EXPECT_NE(serverText(server).find("ACKNOWLEDGED:20261209T095500Z"), std::string::npos);
    EXPECT_EQ(serverText(server).find("SEQUENCE"), std::string::npos);

    EXPECT_EQ(b.sync(server).dismissedHere, 1);
    const ReminderItem onB = b.item(1);
    EXPECT_EQ(onB.acknowledged, kSeenAt);
    EXPECT_EQ(onB.reminded, false); // the dismissal is no edit
    EXPECT_GT(scheduleOf(onB).notBefore, kNoPause);

    // Nothing more moves either way.
    for (Computer* c : {&a, &b}) {
        const SyncReport again = c->sync(server);
        EXPECT_EQ(again.dismissedHere + again.dismissedThere + again.uploaded + again.downloaded,
                  0);
    }
}

TEST_F(SyncDismissalTest, ASnoozeTravelsWithItsDismissalAndTheLaterDismissalWins) {
    shareOne("吃药");
    a.dismiss("吃药", kSeenAt, kSeenAt + 600);
    b.dismiss("吃药", kSeenAt + 60, kSeenAt + 1800); // later, before it heard of A's
    a.sync(server);
    b.sync(server);
    EXPECT_EQ(b.item(1).acknowledged, kSeenAt + 60);
    EXPECT_EQ(a.sync(server).dismissedHere, 1);
    EXPECT_EQ(a.item(1).acknowledged, kSeenAt + 60);
    EXPECT_EQ(a.item(1).snoozedUntil, kSeenAt + 1800);
    // A change of the reminder keeps the dismissal on the server.
    ReminderItem later = once("吃药", 21);
    a.edit("吃药", later);
    EXPECT_EQ(a.sync(server).uploaded, 1);
    EXPECT_NE(serverText(server).find("X-MOZ-LASTACK:20261209T095600Z"), std::string::npos);
    EXPECT_NE(serverText(server).find("X-MOZ-SNOOZE-TIME"), std::string::npos);
}

TEST_F(SyncDismissalTest, AnotherProgramsEventKeepsWhatItHoldsAndOneWithAttendeesIsNotWritten) {
    server.write("/user/kelvo/dentist.ics", phoneEvent(""));
    a.sync(server);
    ASSERT_EQ(a.messages(), std::vector<std::string>{"看牙"});
    a.dismiss("看牙", kSeenAt);
    EXPECT_EQ(a.sync(server).dismissedThere, 1);
    for (const char* kept : {"DESCRIPTION:带上病历", "LOCATION:口腔医院", "SEQUENCE:3",
                             "X-MOZ-LASTACK:20261209T095500Z"})
        EXPECT_NE(serverText(server).find(kept), std::string::npos) << kept;

    FakeCalendar invited;
    Computer c;
    const std::string meeting = phoneEvent("ATTENDEE;CN=王:mailto:wang@example.org\r\n");
    invited.write("/user/kelvo/dentist.ics", meeting);
    c.sync(invited);
    c.dismiss("看牙", kSeenAt);
    EXPECT_EQ(c.sync(invited).dismissedThere, 0);
    EXPECT_EQ(serverText(invited), meeting);
}

TEST_F(SyncDismissalTest, ADismissalFromAClockFarAheadIsNotTaken) {
    server.write("/user/kelvo/dentist.ics", phoneEvent("X-MOZ-LASTACK:20301209T095500Z\r\n"));
    EXPECT_EQ(b.sync(server).dismissedHere, 0);
    EXPECT_EQ(b.item(1).acknowledged, 0);
}

TEST_F(SyncDismissalTest, IntervalsWarningsAndOfficialDaysTravelAsChanges) {
    ReminderItem weekly = once("站会");
    weekly.year = 0, weekly.month = 0, weekly.day = kMondayToFridayCode;
    a.add(weekly);
    a.sync(server);
    b.sync(server);
    ReminderItem changed = weekly;
    changed.official = OfficialRule::Workdays;
    changed.interval = intervalRule(30, 12 * 60);
    changed.warnings = dayWarnings({1});
    a.edit("站会", changed);
    EXPECT_EQ(a.sync(server).uploaded, 1);
    b.sync(server);
    const ReminderItem onB = b.item(1);
    EXPECT_EQ(onB.official, OfficialRule::Workdays);
    EXPECT_EQ(onB.interval, changed.interval);
    EXPECT_EQ(onB.warnings, changed.warnings);
}

TEST(SyncStateTest, AStateOfTheFirstVersionReadsWithTheNewFieldsAsNone) {
    TempDir dir;
    const ItemFields fields = fieldsOf(once("x"));
    std::string line = "object\tuid-1\t/c/uid-1.ics\t\"e1\"\t0";
    for (size_t i = 0; i < 7; ++i)
        line += '\t' + fields.values[i];
    dir.write("Sync.state", "KelvoSync 1\ncalendar\t/c/\ntoken\tt1\n" + line + '\n');
    const SyncState read = readSyncState(dir.file("Sync.state"));
    ASSERT_EQ(read.objects.size(), 1u);
    EXPECT_EQ(read.objects.at("uid-1").base, fields);
    EXPECT_EQ(read.objects.at("uid-1").acknowledged, 0);
    EXPECT_EQ(read.token, "t1");
}

} // namespace
} // namespace kelvo
