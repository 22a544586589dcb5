#include "kelvoctl/KelvoctlRun.h"

#include <algorithm>

namespace kelvo::test {
namespace {

TEST_F(Kelvoctl, ListPrintsTheListLines) {
    const Result r = kelvoctl(dirArg() + "list");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2005 年 10 月 1 日 8 时 30 分 0 方式，提醒为：开会\n"
                     "每年 每月 每天 12 时 0 分 1 方式，提醒为：午饭\n"
                     "每年 每月 周一三五9 时 5 分 3 方式，提醒为：锻炼\n"
                     "每年 每月 每天 8 时 30 分 0 方式，提醒为：早会\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(Kelvoctl, DueListsTheFiringsOfEveryMinuteBothEndsIncluded) {
    // 2024-01-01 is a Monday.
    const Result r = kelvoctl(dirArg() + "due --from '2024-01-01 08:20' --to '2024-01-01 09:05'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2024-01-01 08:20\t4\t提前提醒：早会\n"
                     "2024-01-01 08:30\t4\t早会\n"
                     "2024-01-01 09:00\t2\t午饭\n"
                     "2024-01-01 09:00\t3\t锻炼\n"
                     "2024-01-01 09:05\t3\t锻炼\n");
    EXPECT_EQ(kelvoctl(dirArg() + "due --from '2024-01-02 08:31' --to '2024-01-02 08:59'").out, "");
}

TEST_F(Kelvoctl, DueReachesAsFarAsAskedAndNextLooksAheadFromNow) {
    TempDir far;
    {
        TIniFile data(far.file("DataFile.dat"));
        appendItem(data, item(2005, 10, 1, 8, 30, 0, 0, "开会"), false);
        appendItem(data, item(2099, 12, 31, 23, 59, 5, 0, "世纪末"), false);
        appendItem(data, item(0, 2, 29, 7, 0, 0, 0, "闰日"), false);
    }
    const std::string farDir = "--dir '" + far.path() + "' ";
    const Result century =
        kelvoctl(farDir + "due --from '2096-03-01 00:00' --to '2104-12-31 23:59'");
    EXPECT_EQ(century.status, 0);
    EXPECT_EQ(century.out, "2099-12-31 23:54\t2\t提前提醒：世纪末\n"
                           "2099-12-31 23:59\t2\t世纪末\n"
                           "2104-02-29 07:00\t3\t闰日\n");
    EXPECT_EQ(kelvoctl(farDir + "due --from '2000-01-01 00:00' --to '2005-10-01 08:30'").out,
              "2000-02-29 07:00\t3\t闰日\n2004-02-29 07:00\t3\t闰日\n"
              "2005-10-01 08:30\t1\t开会\n");

    // The next firings after the minute of the (faked) clock.
    const std::string at2098 = "TZ=UTC LD_PRELOAD=\"$(ls /usr/lib/*/faketime/libfaketime.so.1 "
                               "| head -n 1)\" FAKETIME='@2098-06-01 10:00:30' ";
    const Result next = kelvoctl(farDir + "next 2", "", at2098);
    EXPECT_EQ(next.status, 0) << next.err;
    EXPECT_EQ(next.out, "2099-12-31 23:54\t2\t提前提醒：世纪末\n2099-12-31 23:59\t2\t世纪末\n");
    const Result json = kelvoctl(farDir + "next --json", "", at2098);
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 10);
    EXPECT_EQ(json.out.substr(0, json.out.find('\n')),
              R"({"Time":"2099-12-31 23:54","Item":2,"Msg":"提前提醒：世纪末","Music":""})");

    const std::string monday = "TZ=UTC LD_PRELOAD=\"$(ls /usr/lib/*/faketime/libfaketime.so.1 "
                               "| head -n 1)\" FAKETIME='@2024-01-01 08:30:10' ";
    EXPECT_EQ(kelvoctl(dirArg() + "next 3", "", monday).out,
              "2024-01-01 09:00\t2\t午饭\n2024-01-01 09:00\t3\t锻炼\n"
              "2024-01-01 09:05\t3\t锻炼\n");
}

TEST_F(Kelvoctl, DueAndListIncludeLunarReminders) {
    {
        TIniFile data(dir.file("DataFile.dat"));
        ReminderItem midAutumn = item(2026, 9, 25, 9, 10, 0, 0, "中秋");
        midAutumn.lunar = LunarRepeat{LunarRepeat::kYearly, 8, 15, false};
        appendItem(data, midAutumn, false);
    }
    EXPECT_NE(kelvoctl(dirArg() + "list")
                  .out.find("农历每年 八月 十五 9 时 10 分 0 方式，提醒为：中秋\n"),
              std::string::npos);
    // 2027's 八月十五 is 15 September; 2026's day of it is no longer.
    const Result r = kelvoctl(dirArg() + "due --from '2027-09-15 09:10' --to '2027-09-15 09:10'");
    EXPECT_EQ(r.out, "2027-09-15 09:10\t5\t中秋\n");
    EXPECT_EQ(kelvoctl(dirArg() + "due --from '2027-09-25 09:10' --to '2027-09-25 09:10'").out, "");
}

TEST_F(Kelvoctl, DueStartListsTheStartCheckOfADate) {
    EXPECT_EQ(kelvoctl(dirArg() + "due --start 2024-01-01").out, "2024-01-01\t3\t锻炼\n");
    const Result tuesday = kelvoctl(dirArg() + "due --start 2024-01-02");
    EXPECT_EQ(tuesday.status, 0);
    EXPECT_EQ(tuesday.out, "");
}

TEST_F(Kelvoctl, ReadingCommandsChangeAndCreateNoFile) {
    const auto before = snapshot(dir);
    EXPECT_EQ(kelvoctl(dirArg() + "list").status, 0);
    EXPECT_EQ(kelvoctl(dirArg() + "due --from '2024-01-01 00:00' --to '2024-01-02 00:00'").status,
              0);
    EXPECT_EQ(kelvoctl(dirArg() + "due --start 2024-01-01").status, 0);
    EXPECT_EQ(snapshot(dir), before);

    TempDir empty;
    const std::string emptyDir = "--dir '" + empty.path() + "' ";
    const Result list = kelvoctl(emptyDir + "list");
    const Result due = kelvoctl(emptyDir + "due --from '2024-01-01 00:00' --to '2024-01-01 01:00'");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "");
    EXPECT_EQ(due.status, 0);
    EXPECT_EQ(due.out, "");
    EXPECT_TRUE(std::filesystem::is_empty(empty.path()));
}

TEST(KelvoctlLunar, ConvertsOneDate) {
    const Result leap = kelvoctl("lunar 2020 4 1 --leap");
    EXPECT_EQ(leap.status, 0);
    EXPECT_EQ(leap.out, "2020-05-23\n");
    EXPECT_EQ(kelvoctl("lunar 2000 1 1").out, "2000-02-05\n");

    const Result shortMonth = kelvoctl("lunar 2000 3 30");
    EXPECT_EQ(shortMonth.status, 2);
    EXPECT_EQ(shortMonth.out, "");
    EXPECT_EQ(std::count(shortMonth.err.begin(), shortMonth.err.end(), '\n'), 1);
}

TEST(KelvoctlLunar, NamesTheLunarDateOfAGregorianDate) {
    EXPECT_EQ(kelvoctl("lunar --of 2026-12-07").out, "2026 10 29 0\t农历十月廿九\n");
    EXPECT_EQ(kelvoctl("lunar --of 2020-05-23").out, "2020 4 1 1\t农历闰四月初一\n");
    EXPECT_EQ(kelvoctl("lunar --of 2100-02-08").out, "2099 12 30 0\t农历腊月三十\n");
    for (const char* args : {"lunar --of 2100-02-09", "lunar --of 1901-02-18",
                             "lunar --of 2026-02-30", "lunar --of", "lunar --of 2026-1-1"}) {
        SCOPED_TRACE(args);
        const Result r = kelvoctl(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

TEST(KelvoctlLunar, ConvertsLinesOfStdin) {
    const Result r = kelvoctl("lunar -", "2000 1 1 0\n"
                                         "2020 4 1 1\n"
                                         "2020 5 1 1\n"
                                         "2099 12 30 0\r\n"
                                         "2000 1 1\n"
                                         "2000 1 1 2\n"
                                         "two 1 1 0\n"
                                         "\n"
                                         "1999 12 29 0");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2000-02-05\n2020-05-23\ninvalid\n2100-02-08\ninvalid\ninvalid\ninvalid\n"
                     "invalid\n2000-02-04\n");
}

TEST_F(Kelvoctl, UsageErrorsExitWithStatusTwoAndOneLine) {
    const std::string notADir = "--dir '" + dir.file("DataFile.dat") + "' list";
    for (const std::string& args :
         std::vector<std::string>{"",
                                  "frobnicate",
                                  "list extra",
                                  "due",
                                  "due --from '2024-01-01 00:00'",
                                  "due --from '2024-02-30 00:00' --to '2024-03-01 00:00'",
                                  "due --from '2024-13-01 00:00' --to '2024-13-01 00:00'",
                                  "due --from '2024-01-01 24:00' --to '2024-01-02 00:00'",
                                  "due --from 2024-01-01 --to 2024-01-02",
                                  "due --from '2024-01-02 00:00' --to '2024-01-01 00:00'",
                                  "due --start 2023-02-29",
                                  "next 0",
                                  "next 3 4",
                                  "next x",
                                  "due --start 2024-01-01 --to '2024-01-01 00:00'",
                                  "lunar 2020 4",
                                  "lunar 2020 x 1",
                                  "lunar 99999999999 1 1",
                                  "--dir",
                                  "--dir /nonexistent/kelvo list",
                                  notADir}) {
        SCOPED_TRACE(args);
        const Result r = kelvoctl((args == notADir ? "" : dirArg()) + args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

TEST_F(Kelvoctl, ExportAndImportCarryRemindersBetweenDataDirectories) {
    const std::string file = dir.file("backup.txt");
    const Result exported = kelvoctl(dirArg() + "export '" + file + "' 4 2");
    EXPECT_EQ(exported.status, 0);
    EXPECT_EQ(exported.out, "exported 2 reminder(s) to " + file + "\n");
    EXPECT_EQ(TIniFile(file).ReadString("Item1", "Message", ""), "早会");

    TempDir other;
    const std::string otherDir = "--dir '" + other.path() + "' ";
    const Result imported = kelvoctl(otherDir + "import '" + file + "'");
    EXPECT_EQ(imported.status, 0);
    EXPECT_EQ(imported.out, "imported 2 reminder(s) from " + file + "; there are now 2\n");
    EXPECT_EQ(kelvoctl(otherDir + "list").out, "每年 每月 每天 8 时 30 分 0 方式，提醒为：早会\n"
                                               "每年 每月 每天 12 时 0 分 1 方式，提醒为：午饭\n");
    const TIniFile data(other.file("DataFile.dat"));
    EXPECT_EQ(data.ReadString("Main", "Corporation", ""), "Tarnwick Corp,Ltd.");
    EXPECT_EQ(readItem(data, 1, kListDefaults).music, "/home/me/ding.wav");
    EXPECT_EQ(readItem(data, 1, kListDefaults).rdBefore, 0);

    // All reminders when none is named; importing appends after the last.
    EXPECT_EQ(kelvoctl(dirArg() + "export '" + file + "'").out,
              "exported 4 reminder(s) to " + file + "\n");
    EXPECT_EQ(kelvoctl(otherDir + "import '" + file + "'").out,
              "imported 4 reminder(s) from " + file + "; there are now 6\n");
    EXPECT_EQ(readItem(TIniFile(other.file("DataFile.dat")), 3, kListDefaults).message, "开会");
}

// A received file whose reminders would shut down or run commands: they are
// left out unless allowed, and allowed ones still wait for the user.
TEST_F(Kelvoctl, ImportSkipsActingRemindersUnlessAllowed) {
    TempDir io;
    const std::string file = io.file("received.txt");
    {
        TIniFile exchange(file);
        const char* messages[] = {"AutoShutDownWindows", "备份[cmd:sh -c \"rm x\"]",
                                  "会议[cmo:http://x.example]", "\u202Etxt.exe"};
        for (int j = 1; j <= 4; ++j) {
            exchange.WriteInteger(itemSection(j), "MindMethod", 2);
            exchange.WriteString(itemSection(j), "Message", messages[j - 1]);
        }
        exchange.WriteInteger("Main", "Items", 4);
    }
    const Result skipped = kelvoctl(dirArg() + "import '" + file + "'");
    EXPECT_EQ(skipped.status, 0);
    EXPECT_EQ(skipped.out, "imported 1 reminder(s) from " + file +
                               "; there are now 5\n"
                               "skipped 3 reminder(s) that run a command or shut the computer down"
                               " (import them with --allow-commands)\n");
    EXPECT_EQ(readItem(TIniFile(dir.file("DataFile.dat")), 5, kListDefaults).message,
              "\u202Etxt.exe");

    const Result allowed = kelvoctl(dirArg() + "import --allow-commands '" + file + "'");
    EXPECT_EQ(allowed.out, "imported 4 reminder(s) from " + file + "; there are now 9\n");
    const TIniFile data(dir.file("DataFile.dat"));
    EXPECT_EQ(readItem(data, 6, kListDefaults).message, "AutoShutDownWindows");
    EXPECT_EQ(readImported(data, 7), Imported::Unconfirmed);
    EXPECT_EQ(readImported(data, 8), Imported::Unconfirmed);
    EXPECT_FALSE(commandMayRunUnattended(data, 7));
    EXPECT_EQ(kelvoctl(dirArg() + "import '" + file + "' --allow-commands x").status, 2);
}

TEST_F(Kelvoctl, ImportOfAFileWithoutRemindersChangesNothing) {
    const auto before = snapshot(dir);
    TempDir io;
    io.write("empty.txt", "[Main]\r\nItems=0\r\n");
    const Result none = kelvoctl(dirArg() + "import '" + io.file("empty.txt") + "'");
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "no reminders to import in " + io.file("empty.txt") + "\n");
    const Result missing = kelvoctl(dirArg() + "import '" + io.file("missing.txt") + "'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
    EXPECT_EQ(snapshot(dir), before);
}

TEST_F(Kelvoctl, BadExchangeCommandsAreUsageErrorsThatWriteNothing) {
    const std::string file = "'" + dir.file("out.txt") + "'";
    expectUsageErrors({"export", "export " + file + " 0", "export " + file + " -1",
                       "export " + file + " 2 x", "export " + file + " 5",
                       "export " + file + " 99999999999", "import", "import a b"});
}

TEST(KelvoctlHelp, PrintsUsage) {
    const Result r = kelvoctl("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Usage: kelvoctl"), std::string::npos);
}

} // namespace
} // namespace kelvo::test
