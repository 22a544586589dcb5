#include "sync/Computer.h"
#include "sync/FakeCalendar.h"

#include "storage/IniFile.h"
#include "sync/SyncState.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvo {
namespace {

using test::Computer;
using test::FakeCalendar;
using test::kNow;
using test::once;
using test::TempDir;

const std::string kMeeting = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\n"
                             "BEGIN:VEVENT\r\nUID:meeting@phone\r\nDTSTAMP:20261201T000000Z\r\n"
                             "DTSTART:20301104T100000\r\nRRULE:FREQ=WEEKLY;COUNT=5;INTERVAL=2\r\n"
                             "SUMMARY:例会\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

class SyncEngineTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { server.collection = GetParam(); }
    FakeCalendar server;
    Computer a, b;
};

TEST_P(SyncEngineTest, AddsEditsAndDeletesTravelBothWays) {
    a.add(once("买菜"));
    a.add(once("交房租"));
    EXPECT_EQ(a.sync(server).uploaded, 2);
    EXPECT_EQ(b.sync(server).downloaded, 2);
    EXPECT_EQ(b.messages(), a.messages());

    ReminderItem later = once("买菜", 18);
    b.edit("买菜", later);
    b.remove("交房租");
    const SyncReport sent = b.sync(server);
    EXPECT_EQ(sent.uploaded, 1);
    EXPECT_EQ(sent.removedThere, 1);
    const SyncReport got = a.sync(server);
    EXPECT_EQ(got.removedHere, 1);
    EXPECT_EQ(a.messages(), std::vector<std::string>{"买菜"});
    EXPECT_EQ(a.item(1).hour, 18);
    EXPECT_EQ(server.hrefs().size(), 1u);
}

TEST_P(SyncEngineTest, EditsOfOneReminderOnBothSidesAreMergedOrCopied) {
    ReminderItem item = once("开会");
    a.add(item);
    a.sync(server);
    b.sync(server);
    ReminderItem onA = item, onB = item;
    onA.hour = 14;             // A changes the time
    onB.rdBefore = 10;         // B the advance warning: both are kept
    onB.message = "开会（B）"; // and both change the message
    onA.message = "开会（A）";
    a.edit("开会", onA);
    b.edit("开会", onB);
    a.sync(server);
    const SyncReport report = b.sync(server);
    a.sync(server);
    ASSERT_EQ(report.conflicts, std::vector<std::string>{"开会（B）"});
    const std::vector<std::string> both{"开会（A）", "开会（B）（冲突副本）"};
    EXPECT_EQ(b.messages(), both);
    EXPECT_EQ(a.messages(), both);
    const ReminderItem merged = a.item(a.numberOf("开会（A）"));
    EXPECT_EQ(merged.hour, 14);
    EXPECT_EQ(merged.rdBefore, 10);
}

TEST_P(SyncEngineTest, AnObjectChangedJustBeforeTheUploadIsMergedAndSentAgain) {
    a.add(once("取快递"));
    a.sync(server);
    b.sync(server);
    ReminderItem onB = once("取快递");
    onB.rdBefore = 5;
    b.edit("取快递", onB);
    b.sync(server);
    ReminderItem onA = once("取快递", 20);
    a.edit("取快递", onA);
    // B's change arrives only between A's pull and its upload: a 412.
    const FakeCalendar::Stored fromB = server.objects.begin()->second;
    server.objects.begin()->second.etag = "\"old\"";
    bool once = true;
    server.beforePut = [&](const DavPut& put) {
        if (std::exchange(once, false))
            server.write(put.href, fromB.data);
    };
    a.sync(server);
    server.beforePut = nullptr;
    b.sync(server);
    EXPECT_EQ(b.item(1).hour, 20);
    EXPECT_EQ(b.item(1).rdBefore, 5);
    EXPECT_EQ(server.hrefs().size(), 1u);
}

TEST_P(SyncEngineTest, ADeletionThereOfAReminderEditedHereKeepsTheReminder) {
    a.add(once("体检"));
    a.sync(server);
    b.sync(server);
    b.remove("体检");
    b.sync(server);
    a.edit("体检", once("体检", 7));
    a.sync(server);
    EXPECT_EQ(a.messages(), std::vector<std::string>{"体检"});
    ASSERT_EQ(server.hrefs().size(), 1u);
    b.sync(server);
    EXPECT_EQ(b.item(1).hour, 7);
}

TEST_P(SyncEngineTest, EventsNoReminderExpressesAreLeftAloneAndToldOnce) {
    server.write("/user/kelvo/meeting.ics", kMeeting);
    a.add(once("浇花"));
    EXPECT_EQ(a.sync(server).unexpressible, std::vector<std::string>{"例会"});
    EXPECT_TRUE(a.sync(server).unexpressible.empty());
    a.remove("浇花");
    a.sync(server);
    EXPECT_EQ(server.hrefs(), std::vector<std::string>{"/user/kelvo/meeting.ics"});
    EXPECT_TRUE(a.messages().empty());
}

TEST_P(SyncEngineTest, AFailedUploadKeepsEverythingAndTheNextSyncGoesOn) {
    a.add(once("缴费"));
    server.failPutsWith = 507;
    try {
        a.sync(server);
        FAIL() << "a full server must stop the sync";
    } catch (const SyncError& e) {
        EXPECT_EQ(e.failure(), DavFailure::Quota);
        EXPECT_NE(std::string(e.what()).find("存储空间已满"), std::string::npos);
    }
    EXPECT_EQ(a.messages(), std::vector<std::string>{"缴费"});
    server.failPutsWith = 0;
    EXPECT_EQ(a.sync(server).uploaded, 1);
}

TEST_P(SyncEngineTest, ASyncWithNothingChangedIsOneRequest) {
    for (int i = 0; i < 50; ++i)
        a.add(once("提醒" + std::to_string(i)));
    a.sync(server);
    a.sync(server);
    server.requests = 0;
    const SyncReport report = a.sync(server);
    EXPECT_EQ(server.requests, 1);
    EXPECT_EQ(report.uploaded + report.downloaded, 0);
}

TEST_P(SyncEngineTest, ASingleReminderThatIsPastArrivesAsFiredAndARepeatedOneAsItWas) {
    ReminderItem past = once("昨天的会");
    past.year = 2026, past.month = 12, past.day = 8;
    ReminderItem daily = once("每天喝水");
    daily.year = 0, daily.month = 0, daily.day = 0;
    a.add(past);
    a.add(daily);
    a.add(once("明年的会"));
    a.sync(server);
    b.sync(server);
    ASSERT_EQ(b.messages().size(), 3u);
    EXPECT_TRUE(b.item(b.numberOf("昨天的会")).reminded);
    EXPECT_FALSE(b.item(b.numberOf("每天喝水")).reminded);
    EXPECT_FALSE(b.item(b.numberOf("明年的会")).reminded);
}

INSTANTIATE_TEST_SUITE_P(SyncCollectionAndETags, SyncEngineTest, ::testing::Bool());

TEST(SyncStateTest, ReadsWhatWasWrittenAndADamagedFileAsNone) {
    TempDir dir;
    SyncState state{"/c/", "token 1", {}};
    state.objects["uid-1"] = {"/c/uid-1.ics", "\"e1\"", fieldsOf(once("x")), false};
    state.objects["uid-2"] = {"/c/uid-2.ics", "\"e2\"", {}, true};
    ASSERT_TRUE(writeSyncState(dir.file("Sync.state"), state));
    const SyncState read = readSyncState(dir.file("Sync.state"));
    EXPECT_EQ(read.token, "token 1");
    EXPECT_EQ(read.uidAt("/c/uid-2.ics"), "uid-2");
    EXPECT_EQ(read.objects.at("uid-1").base, fieldsOf(once("x")));
    EXPECT_TRUE(read.objects.at("uid-2").foreign);
    dir.write("Sync.state", "KelvoSync 1\nobject\tbroken\n");
    EXPECT_TRUE(readSyncState(dir.file("Sync.state")).objects.empty());
}

} // namespace
} // namespace kelvo
