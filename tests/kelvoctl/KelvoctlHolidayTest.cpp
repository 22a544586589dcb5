// kelvoctl on the official calendar: reminders on the workdays and days
// off, the holiday data it knows and imports, and their calendar files.
#include "kelvoctl/KelvoctlRun.h"

#include "storage/DataFile.h"

namespace kelvo::test {
namespace {

// On 8 December 2026, a month before the first year without built-in data.
const std::string kAt = "TZ=Asia/Shanghai LD_PRELOAD=\"$(ls /usr/lib/*/faketime/libfaketime.so.1 "
                        "| head -n 1)\" FAKETIME='@2026-12-08 10:00:00' ";

class KelvoctlHolidays : public ::testing::Test {
protected:
    Result run(const std::string& args) { return kelvoctl(dirArg() + args, "", kAt); }
    std::string dirArg() const { return "--dir '" + dir.path() + "' "; }
    std::string key(int item, const std::string& name) const {
        return TIniFile(dir.file("DataFile.dat")).ReadString(itemSection(item), name, "");
    }
    TempDir dir;
};

const std::string kMissing2027 =
    "kelvoctl: warning: 2027年的节假日安排还没有导入，将按周一至周五提醒\n";

TEST_F(KelvoctlHolidays, AddsWorkdayRemindersThatSkipDaysOffAndFireOnWorkedSundays) {
    const Result added = run("add --workdays '*-*-* 09:00' 打卡");
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out, "1\n");
    EXPECT_EQ(added.err, kMissing2027);
    EXPECT_EQ(key(1, "Day"), "8191");
    EXPECT_EQ(key(1, "OfficialDays"), "1");
    const Result json = run("add --days-off '*-*-* 10:00' 假期第一天 --json");
    EXPECT_EQ(json.out, "{\"Item\":2,\"MissingHolidayYears\":[2027]}\n");
    EXPECT_EQ(json.err, "kelvoctl: warning: 2027年的节假日安排还没有导入，这一年将不提醒\n");
    EXPECT_EQ(key(2, "Day"), "24831");
    EXPECT_EQ(run("list").out, "每年 每月 法定工作日9 时 0 分 0 方式，提醒为：打卡\n"
                               "每年 每月 法定节假日10 时 0 分 0 方式，提醒为：假期第一天\n");
    const Result due = run("due --from '2026-09-19 00:00' --to '2026-10-10 23:59'");
    EXPECT_EQ(due.out, "2026-09-20 09:00\t1\t打卡\n"
                       "2026-09-21 09:00\t1\t打卡\n"
                       "2026-09-22 09:00\t1\t打卡\n"
                       "2026-09-23 09:00\t1\t打卡\n"
                       "2026-09-24 09:00\t1\t打卡\n"
                       "2026-09-25 10:00\t2\t假期第一天\n"
                       "2026-09-26 10:00\t2\t假期第一天\n"
                       "2026-09-27 10:00\t2\t假期第一天\n"
                       "2026-09-28 09:00\t1\t打卡\n"
                       "2026-09-29 09:00\t1\t打卡\n"
                       "2026-09-30 09:00\t1\t打卡\n"
                       "2026-10-01 10:00\t2\t假期第一天\n"
                       "2026-10-02 10:00\t2\t假期第一天\n"
                       "2026-10-03 10:00\t2\t假期第一天\n"
                       "2026-10-04 10:00\t2\t假期第一天\n"
                       "2026-10-05 10:00\t2\t假期第一天\n"
                       "2026-10-06 10:00\t2\t假期第一天\n"
                       "2026-10-07 10:00\t2\t假期第一天\n"
                       "2026-10-08 09:00\t1\t打卡\n"
                       "2026-10-09 09:00\t1\t打卡\n"
                       "2026-10-10 09:00\t1\t打卡\n");
    EXPECT_EQ(due.err, "");
    // Over the year's end, the fallback is told once, and marked in JSON.
    const Result next = run("next 20 --json");
    EXPECT_EQ(next.err, kMissing2027);
    EXPECT_NE(next.out.find("{\"Time\":\"2027-01-04 09:00\",\"Item\":1,\"Msg\":\"打卡\",\"Music\":"
                            "\"\",\"NoHolidayData\":true}\n"),
              std::string::npos)
        << next.out;
    EXPECT_NE(next.out.find("{\"Time\":\"2026-12-31 09:00\",\"Item\":1,\"Msg\":\"打卡\",\"Music\":"
                            "\"\"}\n"),
              std::string::npos);
    // Editing to chosen weekdays ends the rule.
    EXPECT_EQ(run("edit 1 --weekdays 1,2").status, 0);
    EXPECT_EQ(key(1, "OfficialDays"), "0");
    EXPECT_EQ(key(1, "Day"), std::to_string(255 + 256 + 512));
    EXPECT_EQ(run("edit 1 --workdays").status, 0);
    EXPECT_EQ(key(1, "OfficialDays"), "1");
}

TEST_F(KelvoctlHolidays, ImportedYearsAreListedAndFollowed) {
    const Result builtIn = run("holidays list");
    EXPECT_EQ(builtIn.status, 0) << builtIn.err;
    EXPECT_EQ(std::count(builtIn.out.begin(), builtIn.out.end(), '\n'), 23);
    EXPECT_NE(builtIn.out.find("2026\t休 33 天，班 6 天\t内置\n"), std::string::npos)
        << builtIn.out;
    dir.write("2027.txt", "# 2027年\n2027-02-06 休 春节\n2027-02-08 休 春节\n2027-02-20 班 春节\n");
    const std::string file = dir.file("2027.txt");
    const Result imported = run("holidays import '" + file + "'");
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "已导入2027年的节假日安排\n");
    EXPECT_EQ(run("holidays list 2027").out,
              "2027-02-06\t休\t春节\n2027-02-08\t休\t春节\n2027-02-20\t班\t春节\n");
    const std::string days = run("holidays list 2027 --json").out;
    EXPECT_EQ(days.substr(0, days.find('\n')),
              "{\"Date\":\"2027-02-06\",\"Kind\":\"休\",\"Name\":\"春节\",\"Source\":\"" + file +
                  "\"}");
    EXPECT_NE(run("holidays list --json")
                  .out.find("{\"Year\":2027,\"Off\":2,\"Work\":1,\"Source\":\"" + file + "\"}\n"),
              std::string::npos);
    const Result added = run("add --workdays '*-2-* 09:00' 打卡");
    EXPECT_EQ(added.err, "");
    const Result due = run("due --from '2027-02-05 00:00' --to '2027-02-21 00:00'");
    EXPECT_EQ(due.out.find("2027-02-08"), std::string::npos);
    EXPECT_NE(due.out.find("2027-02-09 09:00\t1\t打卡\n"), std::string::npos);
    EXPECT_NE(due.out.find("2027-02-20 09:00\t1\t打卡\n"), std::string::npos);
    // A damaged file is refused whole: nothing of it is stored.
    dir.write("bad.txt", "2028-01-01 休\n2028-01-02 上班\n");
    const auto before = dir.read("Holidays.txt");
    const Result refused = run("holidays import '" + dir.file("bad.txt") + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "kelvoctl: holidays import: " + dir.file("bad.txt") +
                               " 第2行：日期后面应为“休”或“班”（没有导入任何安排）\n");
    EXPECT_EQ(dir.read("Holidays.txt"), before);
    EXPECT_EQ(run("holidays list 2028").err, "kelvoctl: 2028年的节假日安排还没有导入\n");
}

// A workday reminder exported and read back: libical's expansion of the
// event (the weekly rule, EXDATE, RDATE) and Kelvo's own are one.
TEST_F(KelvoctlHolidays, ExportedWorkdaysComeBackAsWorkdays) {
    dir.write("2027.txt", "2027-02-08 休 春节\n2027-02-20 班 春节\n");
    ASSERT_EQ(run("holidays import '" + dir.file("2027.txt") + "'").status, 0);
    ASSERT_EQ(run("add --workdays '*-*-* 09:00' 打卡").status, 0);
    ASSERT_EQ(run("add --days-off '*-*-* 10:00' 休息").status, 0);
    const Result exported = run("export --ics '" + dir.file("w.ics") + "'");
    ASSERT_EQ(exported.status, 0) << exported.err;
    const std::string ics = dir.read("w.ics");
    EXPECT_NE(ics.find("RRULE:FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR\r\n"), std::string::npos) << ics;
    EXPECT_NE(ics.find("X-KELVO-OFFICIAL-DAYS:WORKDAYS\r\n"), std::string::npos);
    EXPECT_NE(ics.find("X-KELVO-OFFICIAL-DAYS:DAYS-OFF\r\n"), std::string::npos);
    EXPECT_NE(ics.find("EXDATE:20270208T090000\r\n"), std::string::npos);
    EXPECT_NE(ics.find("RDATE:20270220T090000\r\n"), std::string::npos);
    EXPECT_NE(ics.find("DTSTART:20270208T100000\r\n"), std::string::npos); // the first day off
    EXPECT_EQ(ics.find("RDATE:20270220T100000"), std::string::npos);
    TempDir other;
    TIniFile data(other.file("DataFile.dat"));
    createDataFile(data);
    const Result imported =
        kelvoctl("--dir '" + other.path() + "' import '" + dir.file("w.ics") + "'", "", kAt);
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out.substr(0, 21), "imported 2 reminder(s");
    const TIniFile back(other.file("DataFile.dat"));
    EXPECT_EQ(back.ReadString("Item1", "OfficialDays", ""), "1");
    EXPECT_EQ(back.ReadString("Item1", "Day", ""), "8191");
    EXPECT_EQ(back.ReadString("Item2", "OfficialDays", ""), "2");
}

TEST_F(KelvoctlHolidays, ContradictoryArgumentsAreUsageErrors) {
    for (const std::string args :
         {"add --workdays '*-*-5 09:00' x", "add --workdays --weekdays 1 '*-*-* 09:00' x",
          "add --days-off --lunar '*-8-15 09:00' x", "holidays", "holidays list x",
          "holidays list 2026 2027", "holidays import", "holidays remove 2026"}) {
        SCOPED_TRACE(args);
        const Result r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

} // namespace
} // namespace kelvo::test
