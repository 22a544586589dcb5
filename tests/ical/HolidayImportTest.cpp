// Holiday calendars as they are published, and as a user might hand-write
// or damage them, read into holiday arrangements and stored as the user's.
#include "ical/HolidayImport.h"
#include "reminders/Holidays.h"
#include "storage/HolidayFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using test::TempDir;

std::string calendar(const std::string& events) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n" + events +
           "END:VCALENDAR\r\n";
}

std::string event(const std::string& start, const std::string& rest) {
    return "BEGIN:VEVENT\r\nUID:" + start + rest.substr(0, 4) + "\r\nDTSTART;VALUE=DATE:" + start +
           "\r\n" + rest + "END:VEVENT\r\n";
}

std::vector<ArrangedDay> daysOf(const HolidayRead& read, int32_t year) {
    for (const YearArrangement& y : read.years) {
        if (y.year == year)
            return y.days;
    }
    return {};
}

// holiday-cn's calendar of five years (data/SOURCES.md): "元旦假期" from
// DTSTART to DTEND, "上班(补春节假期)" one day each. Its days are the
// built-in table's.
TEST(HolidayImport, PublishedCalendarOfSeveralYearsMatchesTheTable) {
    const HolidayRead read =
        readHolidayFile(std::string(KELVO_ICAL_DATA) + "/holiday-cn-2022-2026.ics");
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.years.size(), 5u);
    for (const YearArrangement& y : read.years) {
        SCOPED_TRACE(y.year);
        EXPECT_GE(y.year, 2022);
        EXPECT_LE(y.year, 2026);
        const auto& builtIn = builtInHolidays().years().at(y.year).days;
        ASSERT_EQ(y.days.size(), builtIn.size());
        for (size_t i = 0; i < y.days.size(); ++i) {
            EXPECT_EQ(y.days[i].date, builtIn[i].date);
            EXPECT_EQ(y.days[i].kind, builtIn[i].kind);
        }
    }
    const std::vector<ArrangedDay> y2026 = daysOf(read, 2026);
    EXPECT_EQ(y2026.front(), (ArrangedDay{Date{2026, 1, 1}, OfficialDay::Off, "元旦"}));
    EXPECT_EQ(y2026[3], (ArrangedDay{Date{2026, 1, 4}, OfficialDay::Work, "元旦"}));
    // 31 December 2022 belongs to the notice of 2023.
    EXPECT_EQ(daysOf(read, 2023).front().date, (Date{2022, 12, 31}));
}

// The other conventions: X-APPLE-SPECIAL-DAY, "…（休）" / "…(班)", "休" /
// "班", "…放假"; all-day events with and without DTEND; events of other
// kinds are passed by.
TEST(HolidayImport, TitlesAndSpecialDaysOfOtherPublishers) {
    TempDir dir;
    dir.write(
        "a.ics",
        calendar(event("20270206", "DTEND;VALUE=DATE:20270214\r\nSUMMARY:春节（休）\r\n"
                                   "X-APPLE-SPECIAL-DAY:WORK-HOLIDAY\r\n") +
                 event("20270214", "SUMMARY:春节（班）\r\nX-APPLE-SPECIAL-DAY:ALTERNATE-"
                                   "WORKDAY\r\n") +
                 event("20270405", "SUMMARY:清明节(休)\r\n") + event("20270410", "SUMMARY:班\r\n") +
                 event("20270501", "DTEND;VALUE=DATE:20270504\r\nSUMMARY:劳动节放假\r\n") +
                 event("20270620", "SUMMARY:休\r\n") + event("20270701", "SUMMARY:建党节\r\n") +
                 "BEGIN:VEVENT\r\nUID:t\r\nDTSTART:20270801T090000\r\nSUMMARY:会议(休)\r\n"
                 "END:VEVENT\r\n"));
    const HolidayRead read = readHolidayFile(dir.file("a.ics"));
    ASSERT_EQ(read.error, "");
    const std::vector<ArrangedDay> days = daysOf(read, 2027);
    ASSERT_EQ(days.size(), 8u + 1 + 1 + 1 + 3 + 1);
    EXPECT_EQ(days[0], (ArrangedDay{Date{2027, 2, 6}, OfficialDay::Off, "春节"}));
    EXPECT_EQ(days[7].date, (Date{2027, 2, 13})); // DTEND is the day after the last
    EXPECT_EQ(days[8], (ArrangedDay{Date{2027, 2, 14}, OfficialDay::Work, "春节"}));
    EXPECT_EQ(days[9], (ArrangedDay{Date{2027, 4, 5}, OfficialDay::Off, "清明节"}));
    EXPECT_EQ(days[10], (ArrangedDay{Date{2027, 4, 10}, OfficialDay::Work, ""}));
    EXPECT_EQ(days[11], (ArrangedDay{Date{2027, 5, 1}, OfficialDay::Off, "劳动节"}));
    EXPECT_EQ(days[14], (ArrangedDay{Date{2027, 6, 20}, OfficialDay::Off, ""}));
    EXPECT_EQ(read.years.front().source, dir.file("a.ics"));
}

TEST(HolidayImport, TheTextFormAndImportOverTheBuiltInYears) {
    TempDir dir;
    dir.write("h.txt", "2026-10-01 休 国庆节\n2027-02-06 休 春节\n2027-02-07 班\n");
    const std::string own = dir.file("Holidays.txt");
    const HolidayImport first = importHolidayFile(dir.file("h.txt"), own);
    EXPECT_EQ(first.error, "");
    EXPECT_EQ(first.years, (std::vector<int32_t>{2026, 2027}));
    EXPECT_EQ(first.replaced, (std::vector<int32_t>{2026}));
    EXPECT_EQ(holidayImportText(first),
              "已导入2026年、2027年的节假日安排，其中2026年替换了内置的安排");
    // A later file of one year replaces that year alone.
    dir.write("h2.txt", "[2027]\n2027-02-10 休 春节\n");
    EXPECT_EQ(importHolidayFile(dir.file("h2.txt"), own).years, (std::vector<int32_t>{2027}));
    const OwnHolidays stored = readOwnHolidays(own);
    ASSERT_EQ(stored.error, "");
    ASSERT_EQ(stored.years.size(), 2u);
    EXPECT_EQ(stored.years[0].days.size(), 1u);
    EXPECT_EQ(stored.years[0].source, dir.file("h.txt"));
    EXPECT_EQ(stored.years[1].days,
              (std::vector<ArrangedDay>{{Date{2027, 2, 10}, OfficialDay::Off, "春节"}}));
    EXPECT_EQ(stored.years[1].source, dir.file("h2.txt"));
    // Put in force, the stored years are the calendar's.
    EXPECT_EQ(loadHolidayCalendar(own), "");
    EXPECT_EQ(holidayCalendar().dayOf(Date{2027, 2, 10}), OfficialDay::Off);
    EXPECT_EQ(holidayCalendar().dayOf(Date{2026, 10, 2}), OfficialDay::Ordinary);
    EXPECT_EQ(holidayCalendar().dayOf(Date{2025, 10, 2}), OfficialDay::Off);
    useHolidayCalendar(builtInHolidays());
}

// A file with a fault stores nothing, and the message says what and where.
TEST(HolidayImport, HostileFilesStoreNothing) {
    TempDir dir;
    const std::string own = dir.file("Holidays.txt");
    dir.write("Holidays.txt", "[2030]\n2030-01-01 休\n");
    const std::string before = dir.read("Holidays.txt");
    const auto refused = [&](const std::string& name, const std::string& bytes) {
        dir.write(name, bytes);
        const HolidayImport import = importHolidayFile(dir.file(name), own);
        EXPECT_TRUE(import.years.empty()) << name;
        EXPECT_EQ(dir.read("Holidays.txt"), before) << name;
        return import.error;
    };
    EXPECT_EQ(refused("long.ics", calendar(event("20270101", "DTEND;VALUE=DATE:20270301\r\n"
                                                             "SUMMARY:寒假(休)\r\n"))),
              "“寒假(休)”长于31天，不是节假日安排");
    EXPECT_EQ(refused("both.ics", calendar(event("20270206", "SUMMARY:春节(休)\r\n") +
                                           event("20270206", "SUMMARY:春节(班)\r\n"))),
              "2027-02-06既是“休”又是“班”");
    EXPECT_EQ(refused("none.ics", calendar(event("20270206", "SUMMARY:生日\r\n"))),
              "文件里没有节假日安排（全天事件，标题如“春节(休)”“春节(班)”）：" +
                  dir.file("none.ics"));
    EXPECT_EQ(refused("open.ics", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:休\r\n"),
              "日历文件的结构不完整（缺少 END:VEVENT）：" + dir.file("open.ics"));
    EXPECT_EQ(refused("bad.txt", "2027-02-06 休\n2027-13-01 休\n"),
              dir.file("bad.txt") + " 第2行：日期写法不对，应为 2027-02-06");
    EXPECT_EQ(refused("empty.txt", "# nothing\n"),
              "文件里没有节假日安排（每行如“2027-02-06 休”）：" + dir.file("empty.txt"));
    EXPECT_EQ(refused("binary.txt", std::string("\0\x01\xff\xfe", 4)),
              dir.file("binary.txt") + " 第1行：日期写法不对，应为 2027-02-06");
    const HolidayImport missing = importHolidayFile(dir.file("missing.ics"), own);
    EXPECT_EQ(missing.error, "无法读取文件 " + dir.file("missing.ics"));
    EXPECT_EQ(dir.read("Holidays.txt"), before);
}

} // namespace
} // namespace kelvo
