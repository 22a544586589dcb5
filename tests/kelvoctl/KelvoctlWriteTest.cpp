#include "kelvoctl/KelvoctlRun.h"
#include "support/MarkShown.h"

#include <algorithm>
#include <sstream>

namespace kelvo::test {
namespace {

std::string showOf(const std::string& dirArg, int k) {
    return kelvoctl(dirArg + "show " + std::to_string(k)).out;
}

// Each check of the add dialog with its message, in the dialog's order: the
// first that fails is the one reported, and nothing is written.
TEST_F(Kelvoctl, AddRefusesWhatTheAddDialogRefusesWithItsMessage) {
    const std::string shutdown = "开机提醒时不能设置为自动关机！";
    const std::string range = "输入数据错误，请检查输入！";
    const std::string empty = "请输入提醒内容！";
    const std::string advance = "输入的提前提醒时间必须在0到30之间，0为不提前提醒！";
    const std::string weekday = "请选择星期中的一天！";
    const auto before = snapshot(dir);
    for (const auto& [args, message] : std::vector<std::pair<std::string, std::string>>{
             {"'2026-01-01 08:00' AutoShutDownWindows --mode 2", shutdown},
             {"'2026-01-01 08:00' --shutdown --mode 3", shutdown},
             {"'1999-01-01 08:00' --shutdown --mode 2 --advance 99", shutdown},
             {"'1999-12-31 08:00' x", range},
             {"'3001-01-01 08:00' x", range},
             {"'2026-13-01 08:00' x", range},
             {"'2026-00-01 08:00' x", range},
             {"'2026-01-32 08:00' x", range},
             {"'2026-01-00 08:00' x", range},
             {"'2026-01-01 24:00' x", range},
             {"'2026-01-01 08:60' x", range},
             {"'1999-01-01 08:00' '' --advance 45", range},
             {"'2026-01-01 08:00' '' --advance 45", empty},
             {"'2026-01-01 08:00' x --advance 31", advance},
             {"'2026-01-01 08:00' x --advance -1", advance},
             {"'*-*-* 08:00' x --advance 31 --weekdays ''", advance},
             {"'*-*-* 08:00' x --weekdays ''", weekday},
         }) {
        SCOPED_TRACE(args);
        const Result r = kelvoctl(dirArg() + "add " + args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "kelvoctl: " + message + "\n");
    }
    EXPECT_EQ(snapshot(dir), before);
}

TEST_F(Kelvoctl, AddStoresTheKeysOfTheAddDialogAndPrintsTheNumber) {
    const Result r = kelvoctl(dirArg() + "add '*-12-24 08:30' 平安夜 --advance 10 --mode 1");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "5\n");
    EXPECT_EQ(showOf(dirArg(), 5), "Year=0\nMonth=12\nDay=24\nHour=8\nMin=30\nReMinded=0\n"
                                   "RdBefore=10\nMindMethod=1\nMessage=平安夜\n");
    EXPECT_EQ(TIniFile(dir.file("DataFile.dat")).ReadInteger("Main", "Items", 0), 5);

    // Weekly on Monday and Sunday; a sound; 31 February passes as in the dialog.
    EXPECT_EQ(kelvoctl(dirArg() + "add '2026-*-* 7:05' 跑步 --weekdays 1,7 --sound /a/b.wav").out,
              "6\n");
    EXPECT_EQ(showOf(dirArg(), 6), "Year=2026\nMonth=0\nDay=16895\nHour=7\nMin=5\nReMinded=0\n"
                                   "RdBefore=0\nMindMethod=0\nMessage=跑步\nMusic=/a/b.wav\n");
    EXPECT_EQ(kelvoctl(dirArg() + "add '2027-02-31 23:59' --shutdown --sound ''").out, "7\n");
    EXPECT_EQ(showOf(dirArg(), 7), "Year=2027\nMonth=2\nDay=31\nHour=23\nMin=59\nReMinded=0\n"
                                   "RdBefore=0\nMindMethod=0\nMessage=AutoShutDownWindows\n"
                                   "Music=\n");
    // A message that begins with a dash, after "--".
    EXPECT_EQ(kelvoctl(dirArg() + "add '*-*-15 09:00' -- -休息-").out, "8\n");
    EXPECT_EQ(kelvoctl(dirArg() + "list -n").out.substr(0, 2), "1\t");
}

// A reminder that never fires again is stored, with a warning that says so.
TEST_F(Kelvoctl, AddWarnsOfAReminderThatNeverFires) {
    Result r = kelvoctl(dirArg() + "add '2000-01-01 00:00' 过去");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "5\n");
    EXPECT_EQ(r.err, "kelvoctl: warning: 这个提醒的时间已经过去，以后不会再提醒。\n");
    r = kelvoctl(dirArg() + "add '2000-01-* 00:00' 一月 --weekdays 1");
    EXPECT_EQ(r.out, "6\n");
    EXPECT_EQ(r.err, "kelvoctl: warning: 这个提醒的时间已经过去，以后不会再提醒。"
                     "没有勾选“每年”和“每月”，它只重复到2000年1月31日。\n");
    r = kelvoctl(dirArg() + "add '*-*-15 09:00' 每月");
    EXPECT_EQ(r.err, "");
    // Years ahead is not past.
    r = kelvoctl(dirArg() + "add '2035-01-01 09:00' 远方");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(TIniFile(dir.file("DataFile.dat")).ReadInteger("Main", "Items", 0), 8);
}

// A day that its month never has, and a message longer than every reader
// reads of a value: stored, with a warning that says so.
TEST_F(Kelvoctl, AddWarnsOfADayThatDoesNotExistAndOfAMessageTooLong) {
    for (const char* when : {"2027-2-30 08:00", "2027-4-31 08:00", "*-2-30 08:00"}) {
        const Result r = kelvoctl(dirArg() + "add '" + when + "' 不存在");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "kelvoctl: warning: 这个日期不存在，永远不会提醒。\n") << when;
    }
    std::string longMessage;
    for (int i = 0; i < 1024; ++i)
        longMessage += "长";
    Result r = kelvoctl(dirArg() + "add '*-*-* 08:00' " + longMessage);
    EXPECT_EQ(r.err, "kelvoctl: warning: 提醒内容超过 2047 字节，只保存前 2047 字节。\n");
    longMessage.resize(longMessage.size() - 3);
    r = kelvoctl(dirArg() + "add '*-*-* 08:00' " + longMessage);
    EXPECT_EQ(r.err, "");
}

TEST(KelvoctlAdd, CreatesAMissingDataFileAsTheProgramDoes) {
    TempDir empty;
    const Result r = kelvoctl("--dir '" + empty.path() + "' add '*-*-* 12:00' 午饭");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1\n");
    const TIniFile data(empty.file("DataFile.dat"));
    EXPECT_EQ(data.ReadString("Main", "Version", ""), "1.00.003");
    EXPECT_EQ(data.ReadString("Item0", "Message", ""), "Here is the message");
    EXPECT_EQ(readItem(data, 1, kListDefaults).message, "午饭");
}

TEST_F(Kelvoctl, EditChangesOnlyWhatIsGivenAndStoresAsTheEditDialog) {
    {
        TIniFile data(dir.file("DataFile.dat"));
        markShown(data, 4);
    }
    Result r = kelvoctl(dirArg() + "edit 4 --message 晚会");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "changed reminder 4\n");
    EXPECT_EQ(showOf(dirArg(), 4), "Year=0\nMonth=0\nDay=0\nHour=8\nMin=30\nReMinded=0\n"
                                   "RdBefore=10\nMindMethod=0\nMessage=晚会\n"
                                   "Music=/home/me/ding.wav\n");
    EXPECT_EQ(kelvoctl(dirArg() + "edit 4 --sound ''").status, 0);
    EXPECT_EQ(readItem(TIniFile(dir.file("DataFile.dat")), 4, kViewDefaults).music, "");
    EXPECT_NE(showOf(dirArg(), 4).find("\nMusic=\n"), std::string::npos);

    // --weekdays alone changes the days and keeps the time; a new WHEN
    // replaces the whole date (every day unless --weekdays is given again).
    EXPECT_EQ(kelvoctl(dirArg() + "edit 3 --weekdays 6,7 --advance 5").status, 0);
    ReminderItem weekly = readItem(TIniFile(dir.file("DataFile.dat")), 3, kViewDefaults);
    EXPECT_EQ(weekly.day, 255 + 8192 + 16384);
    EXPECT_EQ(weekly.hour, 9);
    EXPECT_EQ(weekly.rdBefore, 5);
    EXPECT_EQ(weekly.mindMethod, 3);
    EXPECT_EQ(kelvoctl(dirArg() + "edit 3 --when '2030-05-*  07:00'").status, 2);
    EXPECT_EQ(kelvoctl(dirArg() + "edit 3 --when '2030-05-* 07:00' --mode 2").status, 0);
    weekly = readItem(TIniFile(dir.file("DataFile.dat")), 3, kViewDefaults);
    EXPECT_EQ(weekly.year, 2030);
    EXPECT_EQ(weekly.month, 5);
    EXPECT_EQ(weekly.day, 0);
    EXPECT_EQ(weekly.mindMethod, 2);
    EXPECT_EQ(kelvoctl(dirArg() + "list").out.find("每年 每月 周"), std::string::npos);
}

TEST_F(Kelvoctl, EditChecksTheResultAsTheEditDialogDoes) {
    // A mind method no button stands for stays; the checks see the whole item.
    {
        TIniFile data(dir.file("DataFile.dat"));
        data.WriteInteger("Item1", "MindMethod", 7);
        data.WriteInteger("Item1", "Hour", 30); // shows as 23 in the dialog
        data.UpdateFile();
    }
    EXPECT_EQ(kelvoctl(dirArg() + "edit 1 --message 改").status, 0);
    const ReminderItem one = readItem(TIniFile(dir.file("DataFile.dat")), 1, kViewDefaults);
    EXPECT_EQ(one.mindMethod, 7);
    EXPECT_EQ(one.hour, 23);
    EXPECT_EQ(one.message, "改");

    const auto before = snapshot(dir);
    Result r = kelvoctl(dirArg() + "edit 2 --advance 45");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "kelvoctl: 输入的提前提醒时间必须在0到30之间，0为不提前提醒！\n");
    r = kelvoctl(dirArg() + "edit 3 --shutdown");
    EXPECT_EQ(r.err, "kelvoctl: 开机提醒时不能设置为自动关机！\n");
    r = kelvoctl(dirArg() + "edit 2 --message ''");
    EXPECT_EQ(r.err, "kelvoctl: 请输入提醒内容！\n");
    EXPECT_EQ(snapshot(dir), before);
}

// An interval reminder on workdays and a birthday warned a week and a day
// ahead: stored with their keys, listed, due at their minutes, and refused
// with the dialogs' messages when out of range.
TEST_F(Kelvoctl, IntervalsAndWarningsDaysAheadAreAddedEditedAndDue) {
    Result r = kelvoctl(dirArg() + "add '*-*-* 08:00' 喝水 --every 45 --between 09:00-18:00 "
                                   "--weekdays 1,2,3,4,5");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "5\n");
    const std::string water = showOf(dirArg(), 5);
    EXPECT_NE(water.find("Hour=9\nMin=0\n"), std::string::npos) << water;
    EXPECT_NE(water.find("Interval=45\nIntervalEndHour=18\nIntervalEndMin=0\n"), std::string::npos)
        << water;
    r = kelvoctl(dirArg() + "add '*-3-14 09:00' 生日 --warn 7d,1d,30m --warn-at 20:00");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string birthday = showOf(dirArg(), 6);
    EXPECT_NE(birthday.find("RdBefore=30\n"), std::string::npos) << birthday;
    EXPECT_NE(birthday.find("WarnDays=1,7\nWarnHour=20\nWarnMin=0\n"), std::string::npos)
        << birthday;
    const std::string list = kelvoctl(dirArg() + "list").out;
    EXPECT_NE(list.find("每隔 45 分钟，从 09:00 到 18:00，提醒为：喝水"), std::string::npos)
        << list;
    EXPECT_NE(list.find("提前 1 天、7 天 20:00，提醒为：生日"), std::string::npos) << list;
    // Monday 2027-03-08: the warning at 20:00 and the window's minutes.
    r = kelvoctl(dirArg() + "due --from '2027-03-07 19:59' --to '2027-03-08 10:00'");
    for (const char* line : {"2027-03-07 20:00\t6\t提前7天提醒：生日\n",
                             "2027-03-08 09:00\t5\t喝水\n", "2027-03-08 09:45\t5\t喝水\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 32); // the others' as before
    // Edit: another window end; --every 0 ends the interval, --warn '' the warnings.
    EXPECT_EQ(kelvoctl(dirArg() + "edit 5 --between 10:00-12:00").status, 0);
    EXPECT_NE(showOf(dirArg(), 5).find("Hour=10\nMin=0\n"), std::string::npos);
    EXPECT_EQ(kelvoctl(dirArg() + "edit 5 --every 0").status, 0);
    EXPECT_NE(showOf(dirArg(), 5).find("Interval=0\n"), std::string::npos);
    EXPECT_EQ(kelvoctl(dirArg() + "edit 6 --warn ''").status, 0);
    EXPECT_NE(showOf(dirArg(), 6).find("WarnDays=\n"), std::string::npos);

    const auto before = snapshot(dir);
    for (const auto& [args, message] : std::vector<std::pair<std::string, std::string>>{
             {"--every 3 --between 09:00-18:00", "间隔提醒的间隔必须在5到720分钟之间！"},
             {"--every 45 --between 18:00-09:00",
              "间隔提醒的结束时间必须晚于开始时间，并且在同一天之内！"},
             {"--warn 31d", "提前提醒的天数必须在1到30之间！"},
             {"--warn 1d,2d,3d,4d,5d,6d", "提前天数最多可以设置5个！"},
         }) {
        SCOPED_TRACE(args);
        r = kelvoctl(dirArg() + "add '*-*-* 08:00' x " + args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "kelvoctl: " + message + "\n");
    }
    EXPECT_EQ(kelvoctl(dirArg() + "add '*-*-* 08:00' x --every 45").status, 2);
    EXPECT_EQ(kelvoctl(dirArg() + "add '*-*-* 08:00' x --warn 7w").status, 2);
    EXPECT_EQ(snapshot(dir), before);
}

TEST_F(Kelvoctl, DeleteWithoutARunningProgramMovesLaterRemindersDown) {
    const Result r = kelvoctl(dirArg() + "delete 1 3 3");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "deleted reminder(s) 3 1 in the data file (no Kelvo runs on it)\n");
    EXPECT_EQ(kelvoctl(dirArg() + "list -n").out,
              "1\t每年 每月 每天 12 时 0 分 1 方式，提醒为：午饭\n"
              "2\t每年 每月 每天 8 时 30 分 0 方式，提醒为：早会\n");
    const TIniFile data(dir.file("DataFile.dat"));
    EXPECT_EQ(data.ReadInteger("Main", "Items", 0), 2);
    EXPECT_EQ(readItem(data, 2, kViewDefaults).music, "/home/me/ding.wav");
}

TEST_F(Kelvoctl, ShowPrintsEveryKeyAsStored) {
    {
        TIniFile data(dir.file("DataFile.dat"));
        data.WriteString("Item2", "Extra", "a=b");
        data.WriteString("Item2", "Hour", "0x0C");
        data.UpdateFile();
    }
    EXPECT_EQ(showOf(dirArg(), 2), "Year=0\nMonth=0\nDay=0\nHour=0x0C\nMin=0\nReMinded=0\n"
                                   "RdBefore=0\nMindMethod=1\nMessage=午饭\nExtra=a=b\n");
    EXPECT_EQ(kelvoctl(dirArg() + "show 2 --json").out,
              "{\"Item\":2,\"Year\":\"0\",\"Month\":\"0\",\"Day\":\"0\",\"Hour\":\"0x0C\","
              "\"Min\":\"0\",\"ReMinded\":\"0\",\"RdBefore\":\"0\",\"MindMethod\":\"1\","
              "\"Message\":\"午饭\",\"Extra\":\"a=b\"}\n");
}

TEST_F(Kelvoctl, JsonIsOneEscapedObjectPerReminderOrFiring) {
    // Quotes, backslashes and control characters in a message, and bytes the
    // file's encoding does not know.
    dir.write("DataFile.dat", "[Main]\r\nItems=1\r\n[Item1]\r\nYear=0\r\nMonth=0\r\nDay=0\r\n"
                              "Hour=9\r\nMin=0\r\nMessage=say \"hi\" \\ \x01\tend \xFF\r\n");
    const Result list = kelvoctl(dirArg() + "list --json");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "{\"Item\":1,\"Year\":0,\"Month\":0,\"Day\":0,\"Hour\":9,\"Min\":0,"
                        "\"ReMinded\":false,\"RdBefore\":0,\"MindMethod\":0,"
                        "\"Message\":\"say \\\"hi\\\" \\\\ \\u0001\\tend \xEF\xBF\xBD\","
                        "\"Music\":\"\"}\n");
    const Result due = kelvoctl(dirArg() + "due --json --from '2024-01-01 09:00' --to "
                                           "'2024-01-01 09:00'");
    EXPECT_EQ(due.out,
              "{\"Time\":\"2024-01-01 09:00\",\"Item\":1,"
              "\"Msg\":\"say \\\"hi\\\" \\\\ \\u0001\\tend \xEF\xBF\xBD\",\"Music\":\"\"}\n");
}

TEST_F(Kelvoctl, BadWritingCommandsAreUsageErrorsThatWriteNothing) {
    expectUsageErrors({"add",
                       "add '2026-01-01 08:00'",
                       "add '2026-01-01' x",
                       "add '2026-1-1 8:00:00' x",
                       "add '2026-01-01 8' x",
                       "add 'x-01-01 08:00' x",
                       "add '2026-+1-01 08:00' x",
                       "add '2026-01-01 08:00' a b",
                       "add '2026-01-01 08:00' a --mode 4",
                       "add '2026-01-01 08:00' a --mode",
                       "add '2026-01-01 08:00' a --advance x",
                       "add '*-*-* 08:00' a --weekdays 8",
                       "add '*-*-* 08:00' a --weekdays 1,,2",
                       "add '*-*-05 08:00' a --weekdays 1",
                       "add '2026-01-01 08:00' a --shutdown",
                       "add '2026-01-01 08:00' a --frobnicate",
                       "add '99999999999-01-01 08:00' a",
                       "edit",
                       "edit 0",
                       "edit 5 --message x",
                       "edit x",
                       "edit 1 --when 08:00",
                       "edit 1 extra",
                       "delete",
                       "delete 0",
                       "delete 5",
                       "delete 1 x",
                       "show",
                       "show 5",
                       "show 1 2",
                       "list -x",
                       "skip",
                       "skip 0",
                       "skip 5",
                       "skip 1 2",
                       "skip 1", // a day of 2005: it fires no more
                       "pause 2",
                       "pause 2 --until",
                       "pause 2 --until 2030-13-01",
                       "pause 2 --until 2020-01-01",
                       "pause 2 2030-01-01 --until",
                       "resume x"});
    const Result past = kelvoctl(dirArg() + "pause 2 --until 2020-01-01");
    EXPECT_EQ(past.err, "kelvoctl: 暂停到的日期必须在今天之后。\n");
}

// At Tuesday 2026-12-08 10:00: the skip of the 08:30 reminder takes its
// warning of 08:20 with it; a pause of the hourly one holds it until the
// day's first full hour; resume brings the next full hour back. Each says
// what the list line now adds and when the reminder fires next.
TEST_F(Kelvoctl, SkipPauseAndResumeStoreTheMomentAndSayWhatFiresNext) {
    const std::string at = "TZ=UTC LD_PRELOAD=\"$(ls /usr/lib/*/faketime/libfaketime.so.1 "
                           "| head -n 1)\" FAKETIME='@2026-12-08 10:00:00' ";
    const auto run = [&](const std::string& args) {
        const Result r = kelvoctl(dirArg() + args, "", at);
        EXPECT_EQ(r.status, 0) << args << ": " << r.err;
        return r.out;
    };
    EXPECT_EQ(run("skip 4"), "reminder 4（跳过 12月9日 08:30）\n下次提醒：2026年12月10日 08:20\n");
    EXPECT_NE(showOf(dirArg(), 4).find("NotBefore=2026-12-09 08:31\n"), std::string::npos);
    EXPECT_NE(run("list").find("每天 8 时 30 分 0 方式，提醒为：早会（跳过 12月9日 08:30）\n"),
              std::string::npos);
    std::string fourth;
    std::istringstream due(run("due --from '2026-12-09 00:00' --to '2026-12-10 08:20'"));
    for (std::string line; std::getline(due, line);) {
        if (line.find("\t4\t") != std::string::npos)
            fourth += line + '\n';
    }
    EXPECT_EQ(fourth, "2026-12-10 08:20\t4\t提前提醒：早会\n");

    EXPECT_EQ(run("pause 2 --until 2026-12-20"),
              "reminder 2（已暂停到 12月20日）\n下次提醒：2026年12月20日 00:00\n");
    EXPECT_EQ(run("next 1"), "2026-12-09 00:00\t3\t锻炼\n");
    EXPECT_EQ(run("resume 2"), "reminder 2\n下次提醒：2026年12月8日 11:00\n");
    EXPECT_NE(showOf(dirArg(), 2).find("NotBefore=\n"), std::string::npos);
}

} // namespace
} // namespace kelvo::test
