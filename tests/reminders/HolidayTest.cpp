#include "reminders/HolidayText.h"
#include "reminders/Holidays.h"
#include "reminders/Schedule.h"

#include "core/DateText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace kelvo {
namespace {

ItemSchedule official(OfficialRule rule, int32_t year = 0) {
    ItemSchedule s;
    s.year = year, s.month = 0, s.day = storedWeekdayCode(rule), s.hour = 9, s.min = 0;
    s.official = rule;
    return s;
}

// The data file read on its own terms, line by line, as the facts to check
// the rules against.
std::map<Date, char> dataFileDays() {
    std::ifstream in(KELVO_HOLIDAY_DATA);
    std::map<Date, char> days;
    for (std::string line; std::getline(in, line);) {
        if (line.size() < 14 || line[0] < '0' || line[0] > '9')
            continue;
        const auto date = parseDate(line.substr(0, 10));
        EXPECT_TRUE(date) << line;
        days[*date] = line.compare(11, 3, "班") == 0 ? 'W' : 'O';
    }
    return days;
}

// The calendar in force for one test, the built-in one again after it.
class CalendarInForce {
public:
    explicit CalendarInForce(HolidayCalendar calendar) { useHolidayCalendar(std::move(calendar)); }
    ~CalendarInForce() { useHolidayCalendar(builtInHolidays()); }
};

TEST(Holidays, BuiltInTableReadsWholeAndKnowsEveryPublishedYear) {
    const HolidayRead read = readHolidayText(builtInHolidayText(), kBuiltInSource);
    EXPECT_EQ(read.error, "");
    for (int32_t year = 2004; year <= 2026; ++year)
        EXPECT_TRUE(builtInHolidays().knows(year)) << year;
    EXPECT_FALSE(builtInHolidays().knows(2003));
    EXPECT_FALSE(builtInHolidays().knows(2027));
}

TEST(Holidays, EveryDayOf2004To2026FollowsTheTable) {
    const std::map<Date, char> table = dataFileDays();
    ASSERT_GT(table.size(), 700u);
    const ItemSchedule workdays = official(OfficialRule::Workdays);
    const ItemSchedule daysOff = official(OfficialRule::DaysOff);
    int worked = 0;
    for (Date d{2004, 1, 1}; d.year <= 2026; d = addDays(d, 1)) {
        const auto it = table.find(d);
        const char kind = it == table.end() ? ' ' : it->second;
        const bool weekend = weekday(d) == 0 || weekday(d) == 6;
        const bool work = kind == 'W' || (kind == ' ' && !weekend);
        ASSERT_EQ(fallsOn(workdays, d), work) << formatDate(d);
        ASSERT_EQ(fallsOn(daysOff, d), kind == 'O') << formatDate(d);
        worked += work;
    }
    EXPECT_GT(worked, 23 * 245);
    EXPECT_LT(worked, 23 * 252);
}

TEST(Holidays, TheDaysUsersAskAbout) {
    const ItemSchedule workdays = official(OfficialRule::Workdays);
    EXPECT_TRUE(fallsOn(workdays, Date{2026, 2, 14}));  // a Saturday of 调休
    EXPECT_FALSE(fallsOn(workdays, Date{2026, 2, 16})); // 春节, a Monday
    EXPECT_TRUE(fallsOn(workdays, Date{2026, 9, 20}));  // a Sunday of 调休
    EXPECT_TRUE(fallsOn(workdays, Date{2026, 10, 8}));  // after 国庆
    EXPECT_FALSE(fallsOn(workdays, Date{2026, 10, 1}));
    // The look-ahead steps over the days off and onto a worked Saturday.
    EXPECT_EQ(nextFiring(workdays, DateTime{Date{2026, 9, 30}, 9, 0})->at,
              (DateTime{Date{2026, 10, 8}, 9, 0, 0}));
    EXPECT_EQ(nextFiring(workdays, DateTime{Date{2026, 10, 9}, 9, 0})->at,
              (DateTime{Date{2026, 10, 10}, 9, 0, 0}));
    EXPECT_EQ(previousFiring(workdays, DateTime{Date{2026, 10, 8}, 8, 0})->at,
              (DateTime{Date{2026, 9, 30}, 9, 0, 0}));
    const ItemSchedule daysOff = official(OfficialRule::DaysOff);
    EXPECT_EQ(nextDay(daysOff, Date{2026, 7, 1}), (Date{2026, 9, 25}));
    // The 2007 New Year: its 调休 lies in December 2006.
    EXPECT_TRUE(fallsOn(workdays, Date{2006, 12, 30}));
    EXPECT_TRUE(fallsOn(workdays, Date{2006, 12, 31}));
}

TEST(Holidays, AYearWithoutDataFallsBack) {
    const ItemSchedule workdays = official(OfficialRule::Workdays);
    const ItemSchedule daysOff = official(OfficialRule::DaysOff);
    for (Date d{2027, 1, 1}; d.year == 2027; d = addDays(d, 1)) {
        ASSERT_EQ(fallsOn(workdays, d), weekday(d) != 0 && weekday(d) != 6) << formatDate(d);
        ASSERT_FALSE(fallsOn(daysOff, d)) << formatDate(d);
    }
    // Nothing falls on the days off again until a year is known: "none".
    EXPECT_FALSE(nextDay(daysOff, Date{2026, 10, 8}));
    EXPECT_EQ(yearsWithoutArrangement(workdays, Date{2026, 12, 9}), (std::vector<int32_t>{2027}));
    EXPECT_EQ(yearsWithoutArrangement(workdays, Date{2026, 11, 9}), (std::vector<int32_t>{}));
    EXPECT_EQ(yearsWithoutArrangement(official(OfficialRule::DaysOff, 2030), Date{2026, 3, 1}),
              (std::vector<int32_t>{2030}));
    EXPECT_EQ(yearsWithoutArrangement(official(OfficialRule::Workdays, 2026), Date{2026, 12, 9}),
              (std::vector<int32_t>{}));
    ItemSchedule plain = official(OfficialRule::None);
    EXPECT_EQ(yearsWithoutArrangement(plain, Date{2026, 12, 9}), (std::vector<int32_t>{}));
}

TEST(Holidays, AUsersYearTakesThePlaceOfTheBuiltInOne) {
    const HolidayRead own = readHolidayText("[2026]\n2026-10-01 休 国庆节\n2026-10-03 班\n"
                                            "[2027]\n2027-02-08 休 春节\n2027-02-07 班 春节\n",
                                            "/tmp/x.txt");
    ASSERT_EQ(own.error, "");
    ASSERT_EQ(own.years.size(), 2u);
    const CalendarInForce in(withOwnYears(own.years));
    const ItemSchedule workdays = official(OfficialRule::Workdays);
    EXPECT_TRUE(fallsOn(workdays, Date{2026, 10, 2})); // the built-in 国庆 is gone
    EXPECT_TRUE(fallsOn(workdays, Date{2026, 10, 3})); // a Saturday now worked
    EXPECT_TRUE(fallsOn(workdays, Date{2026, 2, 16})); // 2026's other days went with it
    EXPECT_FALSE(fallsOn(workdays, Date{2027, 2, 8}));
    EXPECT_TRUE(fallsOn(workdays, Date{2027, 2, 7}));
    EXPECT_TRUE(holidayCalendar().knows(2027));
    EXPECT_EQ(holidayCalendar().years().at(2027).source, "/tmp/x.txt");
    EXPECT_EQ(holidayCalendar().years().at(2025).source, kBuiltInSource);
    EXPECT_TRUE(fallsOn(workdays, Date{2025, 9, 28})); // other years stay built in
}

TEST(HolidayText, LinesYearsAndWhereTheyCameFrom) {
    const HolidayRead read = readHolidayText("# 注释\n\n2027-02-06 休\r\n  2027-01-01\t休  元旦 \n"
                                             "2026-12-31 班 元旦\n[2028]\nSource=某个文件.ics\n"
                                             "2028-01-29 班 春节\n",
                                             "text");
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.years.size(), 2u);
    const YearArrangement& y2027 = read.years[0];
    EXPECT_EQ(y2027.year, 2027);
    EXPECT_EQ(y2027.source, "text");
    ASSERT_EQ(y2027.days.size(), 3u); // the last December days go with the next year
    EXPECT_EQ(y2027.days[0], (ArrangedDay{Date{2026, 12, 31}, OfficialDay::Work, "元旦"}));
    EXPECT_EQ(y2027.days[1], (ArrangedDay{Date{2027, 1, 1}, OfficialDay::Off, "元旦"}));
    EXPECT_EQ(y2027.days[2], (ArrangedDay{Date{2027, 2, 6}, OfficialDay::Off, ""}));
    EXPECT_EQ(read.years[1].source, "某个文件.ics");
    // Written and read back, nothing changes.
    std::string text;
    for (const YearArrangement& y : read.years)
        text += holidayLines(y);
    EXPECT_EQ(readHolidayText(text, "again").years, read.years);
}

TEST(HolidayText, FaultsStoreNothingAndSayWhere) {
    const auto error = [](std::string_view text) {
        const HolidayRead read = readHolidayText(text, "x");
        EXPECT_TRUE(read.years.empty()) << text;
        return read.error;
    };
    EXPECT_EQ(error("2027-02-06 休\n2027-02-30 休\n"), "第2行：日期写法不对，应为 2027-02-06");
    EXPECT_EQ(error("2027-02-06 放假\n"), "第1行：日期后面应为“休”或“班”");
    EXPECT_EQ(error("2027-02-06\n"), "第1行：日期后面应为“休”或“班”");
    EXPECT_EQ(error("[20x7]\n"), "第1行：年份写法不对，应为 [2027]");
    EXPECT_EQ(error("[2027]\n"), "2027年没有一天的安排");
    EXPECT_EQ(error("[2027]\n2025-05-01 休\n"), "2025-05-01：不属于2027年的安排");
    EXPECT_EQ(error("2027-02-06 休\n2027-02-06 班\n"), "2027-02-06既是“休”又是“班”");
    EXPECT_EQ(error("2027-02-06 休 " + std::string(121, 'x') + "\n"),
              "第1行：节日名称太长或含有控制字符");
    EXPECT_EQ(error("2027-02-06 休 a\x01 b\n"), "第1行：节日名称太长或含有控制字符");
    EXPECT_EQ(error("1800-02-06 休\n"), "1800-02-06：年份超出范围");
    std::string many = "[2027]\n";
    for (Date d{2027, 1, 1}; d.year == 2027; d = addDays(d, 1))
        many += formatDate(d) + " 休\n" + formatDate(d) + " 休\n"; // twice is once
    EXPECT_EQ(readHolidayText(many, "x").years.at(0).days.size(), 365u);
}

TEST(Holidays, TheRuleIsPartOfTheItemsKey) {
    ReminderItem item;
    item.year = 0, item.month = 0, item.day = kMondayToFridayCode, item.message = "打卡";
    const uint64_t weekly = scheduleOf(item).key;
    item.official = OfficialRule::Workdays;
    const uint64_t workdays = scheduleOf(item).key;
    item.official = OfficialRule::DaysOff;
    EXPECT_NE(weekly, workdays);
    EXPECT_NE(workdays, scheduleOf(item).key);
    EXPECT_EQ(scheduleOf(item).official, OfficialRule::DaysOff);
}

} // namespace
} // namespace kelvo
