// Calendar files as other programs and libraries write them (see
// data/SOURCES.md): how many events each brings in and why the others are
// skipped, and that what came in fires when libical's own expansion of the
// event says, over two years, in the file's zone and in Shanghai.
#include "ical/CalendarFile.h"
#include "reminders/Schedule.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace kelvo {
namespace {

constexpr std::time_t kTwoYears = 2 * 365 * 24 * 3600;

std::string dataFile(const std::string& name) {
    return std::string(KELVO_ICAL_DATA) + "/" + name;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void useZone(const std::string& zone) {
    ::setenv("TZ", zone.c_str(), 1);
    ::tzset();
}

ClockReading readingAt(std::time_t moment) {
    std::tm t{};
    ::localtime_r(&moment, &t);
    return {
        {{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday}, t.tm_hour, t.tm_min, t.tm_sec}, moment, 0};
}

std::string minuteText(const std::tm& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min);
    return text;
}

struct Expansion {
    bool wall = false; // floating or a date: the span's moment is its wall time read as UTC
    bool date = false; // all day: Kelvo comes at 09:00
    std::set<std::string> minutes;
};

void addSpan(icalcomponent*, struct icaltime_span* span, void* data) {
    auto* out = static_cast<Expansion*>(data);
    std::tm t{};
    const std::time_t moment = span->start;
    if (out->wall)
        ::gmtime_r(&moment, &t);
    else
        ::localtime_r(&moment, &t);
    if (out->date)
        t.tm_hour = 9, t.tm_min = 0;
    out->minutes.insert(minuteText(t));
}

// The local minutes of the event's occurrences in [from, from + two years)
// as libical expands it (RRULE, RDATE, EXDATE, its zone).
std::set<std::string> libicalMinutes(icalcomponent* event, std::time_t from) {
    const icaltimetype start = icalcomponent_get_dtstart(event);
    Expansion out;
    out.date = start.is_date;
    out.wall = start.is_date || (!start.zone && !icaltime_is_utc(start));
    // A wall time's span counts from UTC: widen the window by a day each
    // side, then keep the local range.
    icaltimezone* utc = icaltimezone_get_utc_timezone();
    icalcomponent_foreach_recurrence(
        event, icaltime_from_timet_with_zone(from - 86400, 0, utc),
        icaltime_from_timet_with_zone(from + kTwoYears + 86400, 0, utc), addSpan, &out);
    std::tm a{}, b{};
    const std::time_t to = from + kTwoYears;
    ::localtime_r(&from, &a);
    ::localtime_r(&to, &b);
    std::set<std::string> inRange;
    for (const std::string& m : out.minutes) {
        if (m >= minuteText(a) && m < minuteText(b))
            inRange.insert(m);
    }
    return inRange;
}

// The minutes at which Kelvo fires the item (its set time) in the same range.
std::set<std::string> kelvoMinutes(const ReminderItem& item, std::time_t from) {
    std::set<std::string> minutes;
    const ItemSchedule schedule = scheduleOf(item);
    for (std::time_t day = from - 86400; day < from + kTwoYears + 86400; day += 86400) {
        std::tm t{};
        ::localtime_r(&day, &t);
        t.tm_hour = item.hour, t.tm_min = item.min, t.tm_sec = 0, t.tm_isdst = -1;
        const std::time_t at = std::mktime(&t);
        if (at < from || at >= from + kTwoYears)
            continue;
        if (fallsOn(schedule, {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday}))
            minutes.insert(minuteText(t));
    }
    return minutes;
}

struct Case {
    const char* file;
    const char* zone;
    std::time_t now;
    size_t imported;
    std::map<SkipReason, size_t> skipped;
};

constexpr std::time_t kDec2026 = 1796720400; // 2026-12-08 09:00 UTC
constexpr std::time_t kJan2026 = 1767225600; // 2026-01-01 00:00 UTC

std::vector<Case> cases() {
    using R = SkipReason;
    const char* shanghai = "Asia/Shanghai";
    const char* la = "America/Los_Angeles";
    return {
        // China's statutory holidays and make-up workdays, a DTSTAMP that
        // is a date on every event.
        {"holiday-cn-2026.ics", shanghai, kJan2026, 13, {}},
        {"holiday-cn-2026.ics", shanghai, kDec2026, 0, {{R::Past, 13}}},
        // Google: empty DESCRIPTION and LOCATION, a daily meeting in Los
        // Angeles: at its time there, skipped where summer time differs.
        {"icaljs-daily_recur.ics", la, kDec2026, 1, {}},
        {"icaljs-daily_recur.ics", shanghai, kDec2026, 0, {{R::ZoneMoves, 1}}},
        {"icaljs-day_long_recur_yearly.ics", la, kDec2026, 1, {}},
        {"icaljs-day_long_recur_yearly.ics", shanghai, kDec2026, 1, {}},
        {"icaljs-blank_description.ics", la, kDec2026, 0, {{R::Past, 1}}},
        // A birthday with changed occurrences, all of them past, and an
        // RDATE that is no date (20131210Z).
        {"icaljs-google_birthday.ics", la, kDec2026, 0, {{R::Damaged, 1}, {R::Past, 3}}},
        // Zimbra: the first Tuesday of every month, extra and excepted days.
        {"icaljs-recur_instances.ics", la, kDec2026, 0, {{R::Rule, 1}, {R::Past, 2}}},
        {"icalendar-alarm_google_future.ics", "Europe/Berlin", kDec2026, 0, {{R::Past, 1}}},
        {"icalendar-issue_1050_events_and_todos.ics",
         "America/New_York",
         kDec2026,
         0,
         {{R::Past, 2}, {R::NoDue, 1}}},
        {"icalendar-issue_218_bad_tzid.ics", shanghai, kDec2026, 0, {{R::Past, 1}}},
    };
}

TEST(RealCalendars, EachFileBringsInWhatItShouldAndFiresAsLibicalExpandsIt) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(std::string(c.file) + " in " + c.zone);
        useZone(c.zone);
        test::TempDir dir;
        TIniFile data(dir.file("DataFile.dat"));
        createDataFile(data);
        const CalendarImport imported = readCalendar(dataFile(c.file), data, readingAt(c.now));
        std::map<SkipReason, size_t> skipped;
        for (const SkippedEvent& s : imported.skipped)
            ++skipped[s.reason];
        EXPECT_EQ(imported.items.size(), c.imported);
        EXPECT_EQ(skipped, c.skipped);

        const std::string text = readFile(dataFile(c.file));
        icalcomponent* calendar = icalparser_parse_string(text.c_str());
        for (size_t i = 0; i < imported.items.size(); ++i) {
            icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
            while (e && imported.uids[i] != icalcomponent_get_uid(e))
                e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT);
            ASSERT_NE(e, nullptr) << imported.uids[i];
            const std::set<std::string> expected = libicalMinutes(e, c.now);
            EXPECT_FALSE(expected.empty());
            EXPECT_EQ(kelvoMinutes(imported.items[i], c.now), expected) << imported.uids[i];
        }
        icalcomponent_free(calendar);
    }
}

} // namespace
} // namespace kelvo
