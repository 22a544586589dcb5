#include "kelvoctl/KelvoctlRun.h"

#include <libical/ical.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <tuple>

namespace kelvo::test {
namespace {

// kelvoctl runs at a fixed moment of a fixed zone. The library is preloaded
// directly: the faketime wrapper leaves a semaphore behind now and then, and
// a later wrapper given the same process number fails on it.
const std::string kAt = "TZ=Asia/Shanghai LD_PRELOAD=\"$(ls /usr/lib/*/faketime/libfaketime.so.1 "
                        "| head -n 1)\" FAKETIME='@2026-12-08 10:00:00' ";

// One firing: the minute ("YYYY-MM-DD HH:MM"), the item, whether it is the
// advance warning.
using Firing = std::tuple<std::string, int, bool>;

std::string minuteText(const icaltimetype& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute);
    return text;
}

std::vector<int> advancesOf(icalcomponent* event) {
    std::vector<int> before;
    for (icalcomponent* a = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
        const int seconds = icaldurationtype_as_int(
            icalproperty_get_trigger(icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY))
                .duration);
        if (seconds < 0)
            before.push_back(-seconds);
    }
    return before;
}

// The occurrences of every event of the calendar within [from, to], as
// libical expands them with no RSCALE (RRULE and RDATE, less EXDATE), with
// their alarms before the start; the n-th event is item n.
std::set<Firing> expandedByLibical(const std::string& text, const icaltimetype& from,
                                   const icaltimetype& to) {
    std::set<Firing> firings;
    icalcomponent* calendar = icalparser_parse_string(text.c_str());
    int k = 0;
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        ++k;
        const icaltimetype start = icalcomponent_get_dtstart(e);
        std::vector<icaltimetype> starts;
        if (icalproperty* rrule = icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY)) {
            // As a reader that knows no RSCALE: the rule in the Gregorian calendar.
            icalrecurrencetype recur = icalproperty_get_rrule(rrule);
            recur.rscale = nullptr;
            icalrecur_iterator* it = icalrecur_iterator_new(recur, start);
            EXPECT_NE(it, nullptr) << icalproperty_as_ical_string(rrule);
            for (icaltimetype t = icalrecur_iterator_next(it);
                 it && !icaltime_is_null_time(t) && icaltime_compare(t, to) <= 0;
                 t = icalrecur_iterator_next(it))
                starts.push_back(t);
            icalrecur_iterator_free(it);
        } else {
            starts.push_back(start);
        }
        for (icalproperty* p = icalcomponent_get_first_property(e, ICAL_RDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(e, ICAL_RDATE_PROPERTY))
            starts.push_back(icalproperty_get_rdate(p).time);
        for (icalproperty* p = icalcomponent_get_first_property(e, ICAL_EXDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(e, ICAL_EXDATE_PROPERTY)) {
            const icaltimetype excepted = icalproperty_get_exdate(p);
            std::erase_if(
                starts, [&](const icaltimetype& t) { return icaltime_compare(t, excepted) == 0; });
        }
        const std::vector<int> advances = advancesOf(e);
        for (const icaltimetype& t : starts) {
            auto add = [&](icaltimetype when, bool advance) {
                if (icaltime_compare(when, from) >= 0 && icaltime_compare(when, to) <= 0)
                    firings.insert({minuteText(when), k, advance});
            };
            add(t, false);
            for (int seconds : advances) {
                icaltimetype early = t;
                icaltime_adjust(&early, 0, 0, 0, -seconds);
                add(early, true);
            }
        }
    }
    icalcomponent_free(calendar);
    return firings;
}

std::set<Firing> parseDue(const std::string& out) {
    std::set<Firing> firings;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t'), tab2 = line.find('\t', tab + 1);
        const std::string text = line.substr(tab2 + 1);
        firings.insert({line.substr(0, tab), std::stoi(line.substr(tab + 1, tab2 - tab - 1)),
                        text.starts_with("提前提醒：")});
    }
    return firings;
}

class KelvoctlCalendar : public ::testing::Test {
protected:
    void SetUp() override { createDataFile(data); }
    Result run(const std::string& args) { return kelvoctl(dirArg() + args, "", kAt); }
    std::string dirArg() const { return "--dir '" + dir.path() + "' "; }
    void add(ReminderItem it) { appendItem(data, it, !it.music.empty()); }
    TempDir dir;
    TIniFile data{dir.file("DataFile.dat")};
};

ReminderItem lunar(Date first, int32_t cycle, int32_t month, int32_t day) {
    ReminderItem it = item(first.year, first.month, first.day, 9, 0, 0, 0, "农历");
    it.lunar = LunarRepeat{cycle, month, day, false};
    return it;
}

// Every reminder iCalendar can express, exported, occurs in libical's
// expansion of the file exactly when kelvoctl due fires it, over a year.
TEST_F(KelvoctlCalendar, LibicalExpandsTheExportToWhatDueFires) {
    add(item(2027, 3, 5, 8, 30, 0, 0, "一次"));
    add(item(0, 12, 24, 8, 30, 10, 0, "每年"));
    add(item(0, 0, 31, 9, 0, 0, 0, "每月 31 日"));
    add(item(0, 0, 0, 7, 0, 5, 0, "每天"));
    add(item(0, 3, 0, 6, 0, 0, 0, "三月每天"));
    add(item(2027, 0, 0, 6, 15, 0, 0, "2027 每天"));
    add(item(2027, 5, 0, 6, 20, 0, 0, "2027 年 5 月每天"));
    add(item(2027, 0, 15, 6, 25, 0, 0, "2027 每月"));
    add(item(0, 0, 255 + 256 + 1024 + 4096, 7, 30, 0, 0, "周一三五"));
    add(item(0, 6, 255 + 16384, 7, 35, 0, 0, "六月周日"));
    add(item(2027, 0, 255 + 8192, 7, 40, 30, 0, "2027 周六"));
    add(lunar({2027, 9, 15}, LunarRepeat::kYearly, 8, 15));
    add(lunar({2027, 1, 8}, LunarRepeat::kMonthly, 0, 1));
    add(lunar({2027, 1, 7}, LunarRepeat::kMonthly, 0, 30));
    ReminderItem leap = lunar({2028, 6, 23}, LunarRepeat::kYearly, 5, 1);
    leap.lunar.leap = true;
    add(leap);
    const Result exported = run("export --ics '" + dir.file("a.ics") + "'");
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, "exported 15 reminder(s) to " + dir.file("a.ics") + " as events\n");
    const Result due = run("due --from '2026-12-08 10:00' --to '2027-12-08 10:00'");
    ASSERT_EQ(due.status, 0) << due.err;
    const std::set<Firing> fired = parseDue(due.out);
    EXPECT_GT(fired.size(), 1000u);
    icaltimetype from = icaltime_from_string("20261208T100000");
    icaltimetype to = icaltime_from_string("20271208T100000");
    const std::set<Firing> expanded = expandedByLibical(dir.read("a.ics"), from, to);
    for (const auto& [when, k, advance] : expanded)
        EXPECT_TRUE(fired.count({when, k, advance})) << "only in the file: " << when << " " << k;
    for (const auto& [when, k, advance] : fired)
        EXPECT_TRUE(expanded.count({when, k, advance})) << "only fired: " << when << " " << k;
}

TEST_F(KelvoctlCalendar, ImportSaysWhatItTookAndWhatItSkippedAndWhy) {
    dir.write("in.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"
                        "BEGIN:VEVENT\r\nUID:1\r\nDTSTART:20270101T090000\r\nSUMMARY:元旦\r\n"
                        "END:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nUID:2\r\nDTSTART:20270101T090000\r\n"
                        "RRULE:FREQ=DAILY;INTERVAL=3\r\nSUMMARY:每三天\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nUID:3\r\nDTSTART:20270101T090000\r\n"
                        "SUMMARY:[cmd:backup.sh]\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    const std::string file = dir.file("in.ics");
    const Result r = run("import '" + file + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "imported 1 reminder(s) from " + file +
                         "; there are now 1\n"
                         "skipped 1 reminder(s) that run a command or shut the computer down "
                         "(import them with --allow-commands)\n"
                         "skipped 1 event(s) a reminder cannot express:\n"
                         "  每三天：RRULE 的重复间隔大于 1（INTERVAL）\n");
    const Result again = run("import '" + file + "' --allow-commands");
    EXPECT_EQ(again.out, "imported 1 reminder(s) from " + file +
                             "; there are now 2\n"
                             "skipped 2 event(s) a reminder cannot express:\n"
                             "  元旦：已经导入过（同一 UID 或内容）\n"
                             "  每三天：RRULE 的重复间隔大于 1（INTERVAL）\n");
    EXPECT_EQ(readImported(TIniFile(dir.file("DataFile.dat")), 2), Imported::Unconfirmed);
}

// Many skipped events are told by reason, with counts and examples;
// --verbose lists each.
TEST_F(KelvoctlCalendar, ManySkippedEventsAreGroupedUnlessVerbose) {
    std::string events;
    for (int i = 1; i <= 12; ++i)
        events += "BEGIN:VEVENT\r\nUID:" + std::to_string(i) + "\r\nDTSTART:2020010" +
                  std::to_string(i % 9 + 1) + "T090000\r\nSUMMARY:旧事 " + std::to_string(i) +
                  "\r\nDESCRIPTION:\r\nEND:VEVENT\r\n";
    dir.write("in.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + events + "END:VCALENDAR\r\n");
    const std::string file = dir.file("in.ics");
    const Result grouped = run("import '" + file + "'");
    EXPECT_EQ(grouped.status, 0) << grouped.err;
    EXPECT_EQ(grouped.out, "imported 0 reminder(s) from " + file +
                               "; there are now 0\n"
                               "skipped 12 event(s) a reminder cannot express:\n"
                               "  所有日期都已过去：12 个，如“旧事 1”、“旧事 2”、“旧事 3”\n");
    const Result all = run("import --verbose '" + file + "'");
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_NE(all.out.find("  旧事 12：所有日期都已过去\n"), std::string::npos) << all.out;
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 14);
}

// Each hostile file is refused with a message and leaves the data file as
// it was.
TEST_F(KelvoctlCalendar, HostileCalendarFilesAreRefusedAndWriteNothing) {
    const std::string head = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    const std::string one = "BEGIN:VEVENT\r\nUID:x\r\nDTSTART:20270101T090000\r\nEND:VEVENT\r\n";
    std::string many = head;
    for (int i = 0; i < 100'000; ++i)
        many += one;
    std::string deep = head;
    for (int i = 0; i < 100'000; ++i)
        deep += "BEGIN:VEVENT\r\n";
    const std::vector<std::pair<std::string, std::string>> files{
        {"big", head + "X-PAD:" + std::string(50u << 20, 'x') + "\r\nEND:VCALENDAR\r\n"},
        {"many", many + "END:VCALENDAR\r\n"},
        {"deep", deep},
        {"line", head + "BEGIN:VEVENT\r\nSUMMARY:" + std::string(1u << 20, 'y') +
                     "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"},
        {"utf8", head + one + "X-BAD:\xC0\xAF\r\nEND:VCALENDAR\r\n"},
        {"broken", head + "BEGIN:VEVENT\r\nEND:VTODO\r\nEND:VCALENDAR\r\n"},
        {"cut", head + "BEGIN:VEVENT\r\nDTSTART:2027"},
    };
    const std::string before = dir.read("DataFile.dat");
    for (const auto& [name, text] : files) {
        SCOPED_TRACE(name);
        dir.write(name + ".ics", text);
        const Result r = run("import '" + dir.file(name + ".ics") + "'");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.starts_with("kelvoctl: 日历文件")) << r.err;
    }
    EXPECT_EQ(dir.read("DataFile.dat"), before);
}

// A kelvoctl without the calendar module beside it says so and writes
// nothing; its other commands work as before.
TEST_F(KelvoctlCalendar, WithoutTheModuleACalendarIsRefusedWithAMessage) {
    TempDir bin;
    std::filesystem::copy_file(KELVOCTL_PATH, bin.file("kelvoctl"));
    std::filesystem::permissions(bin.file("kelvoctl"), std::filesystem::perms::owner_all);
    const std::string lone = "'" + bin.file("kelvoctl") + "' " + dirArg();
    const auto before = snapshot(dir);
    const int rc = std::system(
        (lone + "export --ics '" + dir.file("a.ics") + "' 2>'" + bin.file("err") + "'").c_str());
    EXPECT_EQ(WEXITSTATUS(rc), 1);
    EXPECT_TRUE(bin.read("err").starts_with("kelvoctl: 无法加载日历模块 kelvo_ical.so"))
        << bin.read("err");
    EXPECT_EQ(snapshot(dir), before);
    EXPECT_EQ(WEXITSTATUS(std::system((lone + "list >/dev/null").c_str())), 0);
}

} // namespace
} // namespace kelvo::test
