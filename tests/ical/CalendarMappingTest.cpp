#include "ical/CalendarMapping.h"

#include <gtest/gtest.h>

#include <array>

namespace kelvo {
namespace {

// A Tuesday.
constexpr Date kToday{2026, 12, 8};
constexpr DateTime kNow{kToday, 10, 0, 0};

ReminderItem item(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t min,
                  std::string message = "提醒") {
    ReminderItem it;
    it.year = year, it.month = month, it.day = day, it.hour = hour, it.min = min;
    it.message = std::move(message);
    return it;
}

int32_t weekdays(std::initializer_list<size_t> days) {
    std::array<bool, 7> chosen{};
    for (size_t d : days)
        chosen[d] = true;
    return weekdayCode(chosen);
}

std::string ruleOf(const CalendarEvent& event) {
    return event.rules.empty() ? "" : ruleText(event.rules.front());
}

// The keys a round trip must keep (the reminded state is not carried).
void expectSameKeys(const ReminderItem& a, const ReminderItem& b) {
    EXPECT_EQ(a.year, b.year);
    EXPECT_EQ(a.month, b.month);
    EXPECT_EQ(a.day, b.day);
    EXPECT_EQ(a.hour, b.hour);
    EXPECT_EQ(a.min, b.min);
    EXPECT_EQ(a.rdBefore, b.rdBefore);
    EXPECT_EQ(a.mindMethod, b.mindMethod);
    EXPECT_EQ(a.message, b.message);
    EXPECT_EQ(a.music, b.music);
    EXPECT_EQ(a.lunar, b.lunar);
}

struct Kind {
    const char* name;
    ReminderItem item;
    DateTime start;
    const char* rule;
};

ReminderItem lunarItem(Date first, int32_t cycle, int32_t month, int32_t day, bool leap) {
    ReminderItem it = item(first.year, first.month, first.day, 9, 0, "中秋");
    it.lunar = LunarRepeat{cycle, month, day, leap};
    return it;
}

std::vector<Kind> everyKind() {
    return {
        {"once", item(2027, 3, 5, 8, 30), {{2027, 3, 5}, 8, 30, 0}, ""},
        {"every year",
         item(0, 12, 24, 8, 30),
         {{2026, 12, 24}, 8, 30, 0},
         "FREQ=YEARLY;BYMONTHDAY=24;BYMONTH=12"},
        {"29 February",
         item(0, 2, 29, 7, 0),
         {{2028, 2, 29}, 7, 0, 0},
         "FREQ=YEARLY;BYMONTHDAY=29;BYMONTH=2"},
        {"every month",
         item(0, 0, 15, 9, 0),
         {{2026, 12, 15}, 9, 0, 0},
         "FREQ=MONTHLY;BYMONTHDAY=15"},
        {"every day", item(0, 0, 0, 7, 0), {{2026, 12, 8}, 7, 0, 0}, "FREQ=DAILY"},
        {"every day of March",
         item(0, 3, 0, 6, 0),
         {{2027, 3, 1}, 6, 0, 0},
         "FREQ=DAILY;BYMONTH=3"},
        {"every day of 2027",
         item(2027, 0, 0, 6, 0),
         {{2027, 1, 1}, 6, 0, 0},
         "FREQ=DAILY;UNTIL=20271231T060000"},
        {"every day of March 2027",
         item(2027, 3, 0, 6, 0),
         {{2027, 3, 1}, 6, 0, 0},
         "FREQ=DAILY;UNTIL=20270331T060000;BYMONTH=3"},
        {"every month of 2027",
         item(2027, 0, 31, 6, 0),
         {{2027, 1, 31}, 6, 0, 0},
         "FREQ=MONTHLY;UNTIL=20271231T060000;BYMONTHDAY=31"},
        {"weekdays",
         item(0, 0, weekdays({0, 2, 4}), 7, 30),
         {{2026, 12, 9}, 7, 30, 0},
         "FREQ=WEEKLY;BYDAY=MO,WE,FR"},
        {"weekdays of May",
         item(0, 5, weekdays({6}), 7, 30),
         {{2027, 5, 2}, 7, 30, 0},
         "FREQ=WEEKLY;BYDAY=SU;BYMONTH=5"},
        {"weekdays of 2026",
         item(2026, 0, weekdays({1}), 7, 30),
         {{2026, 12, 8}, 7, 30, 0},
         "FREQ=WEEKLY;UNTIL=20261229T073000;BYDAY=TU"},
        {"lunar yearly",
         lunarItem({2027, 9, 15}, LunarRepeat::kYearly, 8, 15, false),
         {{2027, 9, 15}, 9, 0, 0},
         "RSCALE=CHINESE;FREQ=YEARLY;BYMONTHDAY=15;BYMONTH=8;SKIP=BACKWARD"},
        {"lunar leap month",
         lunarItem({2028, 6, 23}, LunarRepeat::kYearly, 5, 1, true),
         {{2028, 6, 23}, 9, 0, 0},
         "RSCALE=CHINESE;FREQ=YEARLY;BYMONTHDAY=1;BYMONTH=5L;SKIP=BACKWARD"},
        {"lunar monthly",
         lunarItem({2027, 1, 8}, LunarRepeat::kMonthly, 0, 1, false),
         {{2027, 1, 8}, 9, 0, 0},
         "RSCALE=CHINESE;FREQ=MONTHLY;BYMONTHDAY=1;SKIP=BACKWARD"},
    };
}

TEST(CalendarMapping, EveryKindBecomesItsRuleAndComesBackWithTheSameKeys) {
    for (const Kind& kind : everyKind()) {
        SCOPED_TRACE(kind.name);
        const auto event = eventOf(kind.item, "uid-1", kToday);
        ASSERT_TRUE(event);
        EXPECT_EQ(event->uid, "uid-1");
        EXPECT_EQ(event->start, kind.start);
        EXPECT_EQ(ruleOf(*event), kind.rule);
        const EventImport back = itemOf(*event, kNow);
        ASSERT_TRUE(back.item) << skipReasonText(back.reason, back.detail);
        expectSameKeys(*back.item, kind.item);
    }
}

TEST(CalendarMapping, WhatNoCalendarKnowsTravelsInKelvoProperties) {
    ReminderItem it = item(0, 0, 0, 8, 0, "提醒 [cmd:echo hi]");
    it.mindMethod = 3;
    it.rdBefore = 10;
    it.music = "/home/me/铃声.wav";
    const auto event = eventOf(it, "u", kToday);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->summary, it.message);
    EXPECT_EQ(event->alarmsBefore, (std::vector<int32_t>{10, 0}));
    using P = std::pair<std::string, std::string>;
    EXPECT_EQ(event->properties, (std::vector<P>{{"X-KELVO-MINDMETHOD", "3"},
                                                 {"X-KELVO-MUSIC", "/home/me/铃声.wav"},
                                                 {"X-KELVO-COMMAND", "echo hi"}}));
    expectSameKeys(*itemOf(*event, kNow).item, it);

    const ReminderItem shutdown = item(2027, 1, 1, 23, 0, std::string(kShutdownMarker));
    const auto off = eventOf(shutdown, "u", kToday);
    EXPECT_EQ(off->properties.back(), (P{"X-KELVO-SHUTDOWN", "1"}));
    expectSameKeys(*itemOf(*off, kNow).item, shutdown);
}

TEST(CalendarMapping, ARepetitionBoundToAPastYearStartsOnItsFirstDay) {
    const auto event = eventOf(item(2020, 2, 0, 6, 0), "u", kToday);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->start, (DateTime{{2020, 2, 1}, 6, 0, 0}));
    EXPECT_EQ(itemOf(*event, kNow).reason, SkipReason::Past);
}

TEST(CalendarMapping, OneDayFarAheadComesInAndGoesOutAsItself) {
    for (const int year : {2035, 2099}) {
        const ReminderItem far = item(year, 6, 1, 8, 0);
        const auto event = eventOf(far, "u", kToday);
        ASSERT_TRUE(event) << year;
        EXPECT_EQ(event->start, (DateTime{{year, 6, 1}, 8, 0, 0}));
        const EventImport back = itemOf(*event, kNow);
        ASSERT_TRUE(back.item) << year; // not "every occurrence lies in the past"
        expectSameKeys(*back.item, far);
    }
    // A weekly repetition of a year far ahead starts on its first Monday.
    const auto weekly = eventOf(item(2040, 0, 255 + 256, 8, 0), "u", kToday);
    ASSERT_TRUE(weekly);
    EXPECT_EQ(weekly->start, (DateTime{{2040, 1, 2}, 8, 0, 0}));
    EXPECT_EQ(weekly->rules.front().until, (DateTime{{2040, 12, 31}, 8, 0, 0}));
}

TEST(CalendarMapping, ReminderThatFiresOnNoDayHasNoEvent) {
    EXPECT_FALSE(eventOf(item(2027, 2, 30, 8, 0), "u", kToday)); // 30 February
    EXPECT_FALSE(eventOf(item(0, 0, 100, 8, 0), "u", kToday));   // day 32 … 255
    EXPECT_FALSE(eventOf(item(0, 0, 255, 8, 0), "u", kToday));   // no weekday chosen
    EXPECT_FALSE(eventOf(item(0, 13, 1, 8, 0), "u", kToday));    // month 13
    EXPECT_FALSE(eventOf(item(0, 0, 0, 24, 0), "u", kToday));    // no such hour
}

CalendarEvent eventAt(DateTime start, std::optional<CalendarRule> rule = std::nullopt) {
    CalendarEvent event;
    event.uid = "u";
    event.summary = "事件";
    event.start = start;
    if (rule)
        event.rules.push_back(*rule);
    return event;
}

CalendarRule rule(CalendarRule::Freq freq) {
    CalendarRule r;
    r.freq = freq;
    return r;
}

TEST(CalendarMapping, RepetitionsAReminderCannotExpressAreSkippedWithTheirReason) {
    using Freq = CalendarRule::Freq;
    const DateTime start{{2026, 1, 5}, 8, 0, 0}; // a Monday
    auto with = [&](auto change, Freq freq = Freq::Weekly) {
        CalendarRule r = rule(freq);
        change(r);
        return itemOf(eventAt(start, r), kNow).reason;
    };
    EXPECT_EQ(with([](CalendarRule& r) { r.interval = 2; }), SkipReason::Interval);
    EXPECT_EQ(with([](CalendarRule& r) { r.count = 10; }), SkipReason::Count);
    EXPECT_EQ(with([](CalendarRule& r) { r.bySetPos = true; }), SkipReason::SetPos);
    EXPECT_EQ(with([](CalendarRule& r) { r.byTime = true; }), SkipReason::OtherTimes);
    EXPECT_EQ(with([](CalendarRule&) {}, Freq::Hourly), SkipReason::OtherTimes);
    EXPECT_EQ(with([](CalendarRule& r) { r.byDayOrdinal = true; }, Freq::Monthly),
              SkipReason::Rule);
    EXPECT_EQ(with([](CalendarRule& r) { r.byMonth = {1, 7}; }, Freq::Yearly), SkipReason::Rule);
    EXPECT_EQ(with([](CalendarRule& r) { r.byMonthDay = {-1}; }, Freq::Monthly), SkipReason::Rule);
    EXPECT_EQ(with(
                  [](CalendarRule& r) {
                      r.byMonthDay = {1, 15};
                  },
                  Freq::Monthly),
              SkipReason::Rule);
    EXPECT_EQ(with([](CalendarRule& r) { r.rscale = "HEBREW"; }, Freq::Yearly), SkipReason::Rule);
    // A weekly rule whose DTSTART is not one of its days.
    EXPECT_EQ(with([](CalendarRule& r) { r.byDay = {2}; }), SkipReason::Rule);
    // Every day of the year that it ends in, but for its last week.
    EXPECT_EQ(with(
                  [](CalendarRule& r) {
                      r.until = DateTime{{2026, 12, 20}, 8, 0, 0};
                  },
                  Freq::Daily),
              SkipReason::Rule);

    // Exceptions count from now on: one before now is gone with its day.
    CalendarEvent exceptions = eventAt(start, rule(Freq::Daily));
    exceptions.exdates = {start, {{2026, 12, 8}, 8, 0, 0}};
    EXPECT_TRUE(itemOf(exceptions, kNow).item);
    exceptions.exdates.push_back({{2026, 12, 9}, 8, 0, 0});
    EXPECT_EQ(itemOf(exceptions, kNow).reason, SkipReason::Exdate);
    // An all-day event's excepted day is past once its 09:00 is.
    CalendarEvent allDay = eventAt({{2026, 1, 5}, 0, 0, 0}, rule(Freq::Daily));
    allDay.allDay = true;
    allDay.exdates = {{{2026, 12, 8}, 0, 0, 0}};
    EXPECT_TRUE(itemOf(allDay, kNow).item);
    EXPECT_EQ(itemOf(allDay, {kToday, 8, 0, 0}).reason, SkipReason::Exdate);
    CalendarEvent moved = eventAt(start, rule(Freq::Daily));
    moved.changed = {{{2026, 12, 1}, 8, 0, 0}, {{2026, 12, 2}, 9, 0, 0}};
    EXPECT_TRUE(itemOf(moved, kNow).item);
    moved.changed.push_back({{2026, 12, 8}, 11, 0, 0}); // moved to later today
    EXPECT_EQ(itemOf(moved, kNow).reason, SkipReason::Moved);
    CalendarEvent extraDates = eventAt(start, rule(Freq::Daily));
    extraDates.rdates = {start};
    EXPECT_EQ(itemOf(extraDates, kNow).reason, SkipReason::Rule);
    CalendarEvent noStart = eventAt(start);
    noStart.start.reset();
    EXPECT_EQ(itemOf(noStart, kNow).reason, SkipReason::NoStart);
}

TEST(CalendarMapping, ARepetitionMustNotStartAfterDaysTheReminderWouldFireOn) {
    using Freq = CalendarRule::Freq;
    // Daily from the day after tomorrow: the reminder would fire tomorrow too.
    EXPECT_EQ(itemOf(eventAt({{2026, 12, 10}, 8, 0, 0}, rule(Freq::Daily)), kNow).reason,
              SkipReason::StartsLater);
    // Daily from tomorrow at 8:00, now 10:00: today's 8:00 is gone already.
    EXPECT_TRUE(itemOf(eventAt({{2026, 12, 9}, 8, 0, 0}, rule(Freq::Daily)), kNow).item);
    // Yearly from its next day on: nothing falls before it.
    EXPECT_TRUE(itemOf(eventAt({{2027, 6, 1}, 8, 0, 0}, rule(Freq::Yearly)), kNow).item);
}

TEST(CalendarMapping, OnceInThePastIsSkippedAndAllDayEventsComeAtNine) {
    EXPECT_EQ(itemOf(eventAt({{2026, 12, 8}, 9, 59, 0}), kNow).reason, SkipReason::Past);
    EXPECT_TRUE(itemOf(eventAt({{2026, 12, 8}, 10, 0, 0}), kNow).item);

    CalendarEvent birthday = eventAt({{1990, 3, 14}, 0, 0, 0}, rule(CalendarRule::Freq::Yearly));
    birthday.allDay = true;
    const auto it = itemOf(birthday, kNow).item;
    ASSERT_TRUE(it);
    expectSameKeys(*it, item(0, 3, 14, 9, 0, "事件"));
}

TEST(CalendarMapping, AStartThatIsNoMomentIsDamaged) {
    EXPECT_EQ(itemOf(eventAt({{2027, 9, 16}, 53, 47, 0}), kNow).reason, SkipReason::Damaged);
    EXPECT_EQ(itemOf(eventAt({{2027, 4, 31}, 9, 0, 0}), kNow).reason, SkipReason::Damaged);
    EXPECT_EQ(itemOf(eventAt({{2027, 13, 1}, 9, 0, 0}), kNow).reason, SkipReason::Damaged);
}

TEST(CalendarMapping, TheLargestAlarmOfHalfAnHourAtMostIsTheAdvanceWarning) {
    CalendarEvent event = eventAt({{2027, 1, 1}, 9, 0, 0});
    event.alarmsBefore = {0, 5, 15, 45, 1440};
    EXPECT_EQ(itemOf(event, kNow).item->rdBefore, 15);
    event.alarmsBefore = {60};
    EXPECT_EQ(itemOf(event, kNow).item->rdBefore, 0);
}

TEST(CalendarMapping, ImportedTextsAreOneLineAndForeignValuesAreIgnored) {
    CalendarEvent event = eventAt({{2027, 1, 1}, 9, 0, 0});
    event.summary = "第一行\r\n第二行";
    event.properties = {{"X-KELVO-MINDMETHOD", "7"}, {"X-KELVO-SHUTDOWN", "yes"}};
    const auto it = itemOf(event, kNow).item;
    EXPECT_EQ(it->message, "第一行  第二行");
    EXPECT_EQ(it->mindMethod, 0);
}

TEST(CalendarMapping, LunarRulesNeedTheirDayAndSkip) {
    CalendarRule lunar = rule(CalendarRule::Freq::Yearly);
    lunar.rscale = "CHINESE";
    lunar.byMonth = {8};
    lunar.byMonthDay = {15};
    // 2027-09-15 is 八月十五; without SKIP a 15th misses nothing.
    EXPECT_TRUE(itemOf(eventAt({{2027, 9, 15}, 9, 0, 0}, lunar), kNow).item);
    // A DTSTART that is not 八月十五.
    EXPECT_EQ(itemOf(eventAt({{2027, 9, 16}, 9, 0, 0}, lunar), kNow).reason, SkipReason::Rule);
    // The 30th without SKIP=BACKWARD would leave out the short months.
    lunar.byMonthDay = {30};
    lunar.byMonth = {};
    lunar.freq = CalendarRule::Freq::Monthly;
    const DateTime thirtieth{{2027, 2, 5}, 9, 0, 0}; // 腊月廿九, the last day of a short month
    EXPECT_EQ(itemOf(eventAt(thirtieth, lunar), kNow).reason, SkipReason::Rule);
    lunar.skipBackward = true;
    EXPECT_TRUE(itemOf(eventAt(thirtieth, lunar), kNow).item);
}

TEST(CalendarMapping, AnEndBeforeTheStartHasNoOccurrenceAndOneOnItsDayIsOnce) {
    CalendarRule daily = rule(CalendarRule::Freq::Daily);
    daily.until = DateTime{{2027, 3, 1}, 8, 0, 0};
    EXPECT_EQ(itemOf(eventAt({{2027, 3, 5}, 8, 0, 0}, daily), kNow).reason,
              SkipReason::NoOccurrence);
    const auto once = itemOf(eventAt({{2027, 3, 1}, 8, 0, 0}, daily), kNow).item;
    ASSERT_TRUE(once);
    expectSameKeys(*once, item(2027, 3, 1, 8, 0, "事件"));
}

// RFC 7529's own example: the month and day that the rule leaves out are
// DTSTART's lunar ones.
TEST(CalendarMapping, ALunarRuleTakesWhatItLeavesOutFromItsStart) {
    CalendarRule newYear = rule(CalendarRule::Freq::Yearly);
    newYear.rscale = "CHINESE";
    const auto it = itemOf(eventAt({{2013, 2, 10}, 9, 0, 0}, newYear), kNow).item;
    ASSERT_TRUE(it);
    EXPECT_EQ(it->lunar, (LunarRepeat{LunarRepeat::kYearly, 1, 1, false}));
    CalendarRule monthly = rule(CalendarRule::Freq::Monthly);
    monthly.rscale = "CHINESE";
    const auto fifteenth = itemOf(eventAt({{2027, 9, 15}, 9, 0, 0}, monthly), kNow).item;
    ASSERT_TRUE(fifteenth);
    EXPECT_EQ(fifteenth->lunar, (LunarRepeat{LunarRepeat::kMonthly, 0, 15, false}));
}

// What makes an event no reminder whatever it repeats, each with its own
// reason: the window and kelvoctl name the property.
TEST(CalendarMapping, StatesOfTheEventAreReasonsOfTheirOwn) {
    const DateTime start{{2027, 1, 1}, 9, 0, 0};
    auto reasonOf = [&](auto change) {
        CalendarEvent e = eventAt(start, rule(CalendarRule::Freq::Weekly));
        change(e);
        const EventImport mapped = itemOf(e, kNow);
        return std::pair(mapped.reason, skipReasonText(mapped.reason, mapped.detail));
    };
    using R = std::pair<SkipReason, std::string>;
    EXPECT_EQ(reasonOf([](CalendarEvent& e) { e.unreadable = "RRULE"; }),
              (R{SkipReason::Damaged, "RRULE 无法读懂"}));
    EXPECT_EQ(reasonOf([](CalendarEvent& e) { e.start.reset(), e.startOnNoDay = true; }),
              (R{SkipReason::NoSuchDay, "DTSTART 的日期不存在（如 2 月 30 日）"}));
    EXPECT_EQ(reasonOf([](CalendarEvent& e) { e.start.reset(); }),
              (R{SkipReason::NoStart, "没有开始时间（DTSTART）"}));
    EXPECT_EQ(reasonOf([](CalendarEvent& e) { e.status = CalendarEvent::Status::Cancelled; }),
              (R{SkipReason::Cancelled, "已取消（STATUS:CANCELLED）"}));
    EXPECT_EQ(reasonOf([](CalendarEvent& e) { e.unknownZone = "China Standard Time"; }),
              (R{SkipReason::UnknownZone, "TZID 是未知的时区：China Standard Time"}));
    EXPECT_EQ(reasonOf([](CalendarEvent& e) { e.localTimeMoves = true; }),
              (R{SkipReason::ZoneMoves, "它所在的时区与本机的夏令时不同，提醒时间会变化"}));
    EXPECT_EQ(reasonOf([](CalendarEvent& e) { e.changesOccurrence = true; }).first,
              SkipReason::Moved);
    EXPECT_EQ(reasonOf([](CalendarEvent& e) {
                  e.changesOccurrence = true;
                  e.start = DateTime{{2026, 12, 1}, 9, 0, 0};
              }).first,
              SkipReason::Past);
    // A to-do: done, or without a moment.
    EXPECT_EQ(reasonOf([](CalendarEvent& e) {
                  e.todo = true;
                  e.status = CalendarEvent::Status::Completed;
              }).first,
              SkipReason::Completed);
    EXPECT_EQ(reasonOf([](CalendarEvent& e) { e.todo = true, e.start.reset(); }).first,
              SkipReason::NoDue);
}

} // namespace
} // namespace kelvo
