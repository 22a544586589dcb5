// The schedule's look-ahead against the engine: for thousands of random
// items, what nextFiring, previousFiring, firings and nextDay answer must be
// what the engine's minute check and start check do when run minute by
// minute and day by day.
#include "EngineHarness.h"

#include "lunar/Calendar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

namespace kelvo::test {
namespace {

using Rng = std::mt19937;

int pick(Rng& rng, int lo, int hi) {
    return std::uniform_int_distribution(lo, hi)(rng);
}

int32_t randomDay(Rng& rng) {
    switch (pick(rng, 0, 7)) {
    case 0:
        return 0;
    case 1:
    case 2:
        return 255 + (pick(rng, 1, 127) << 8); // weekly
    case 3:
        return pick(rng, 32, 255); // weekly without a day: never
    case 4:
        return pick(rng, 28, 31); // month ends
    default:
        return pick(rng, 1, 31);
    }
}

// A lunar repetition: yearly or monthly, often on day 29 or 30 and in the
// leap months of the years around the test's span.
void makeLunar(Rng& rng, ItemSchedule& item) {
    const bool yearly = pick(rng, 0, 1) == 0;
    const int32_t day = pick(rng, 0, 1) ? pick(rng, 29, 30) : pick(rng, 1, 30);
    int32_t month = pick(rng, 1, 12);
    bool leap = false;
    const int leapYear = pick(rng, 0, 1) ? 2025 : 2028; // leap months 6 and 5
    if (yearly && pick(rng, 0, 2) == 0) {
        month = LunarLeapMonth(leapYear);
        leap = true;
    }
    item.lunar = LunarRepeat{yearly ? LunarRepeat::kYearly : LunarRepeat::kMonthly,
                             yearly ? month : 0, day, leap};
    // The stored first occurrence: some day of the span, or every year (0).
    const Date first = addDays(Date{2024, 1, 1}, pick(rng, 0, 2000));
    item.year = pick(rng, 0, 9) == 0 ? 0 : first.year;
    item.month = first.month;
    item.day = first.day;
}

// An interval window, often ending just before midnight or starting just
// after it, sometimes with an interval or end no firing fits (a plain item).
void makeInterval(Rng& rng, ItemSchedule& item) {
    const int start = item.hour * 60 + item.min;
    item.interval = intervalRule(pick(rng, 0, 5) == 0 ? pick(rng, 1, 900) : pick(rng, 5, 90),
                                 pick(rng, 0, 2) == 0 ? 1439 : pick(rng, start - 10, 1450));
}

// Warnings days ahead: short ones across month ends, a week, a month; at
// the set time, at a time of their own, or at a full hour.
void makeDayWarnings(Rng& rng, ItemSchedule& item) {
    std::vector<int32_t> days;
    for (int i = pick(rng, 1, 3); i > 0; --i)
        days.push_back(pick(rng, 0, 2) == 0 ? pick(rng, 1, 30)
                                            : std::array{1, 2, 7}[pick(rng, 0, 2)]);
    const int minute = pick(rng, 0, 2) == 0 ? -1
                       : pick(rng, 0, 1)    ? pick(rng, 0, 23) * 60
                                            : pick(rng, 0, 1439);
    item.warnings = dayWarnings(days, minute);
}

ItemSchedule randomItem(Rng& rng) {
    ItemSchedule item;
    item.year = pick(rng, 0, 2) == 0 ? pick(rng, 2024, 2031) : 0;
    item.month = pick(rng, 0, 2) == 0 ? 0 : pick(rng, 0, 3) == 0 ? 2 : pick(rng, 1, 12);
    item.day = randomDay(rng);
    item.hour = pick(rng, 0, 3) == 0 ? pick(rng, 0, 1) * 23 : pick(rng, 0, 23);
    item.min = pick(rng, 0, 2) == 0 ? pick(rng, 0, 5) : pick(rng, 0, 59);
    item.rdBefore = pick(rng, 0, 1) ? pick(rng, 1, 30) : 0;
    item.mindMethod = pick(rng, 0, 3);
    if (pick(rng, 0, 4) == 0)
        makeLunar(rng, item);
    if (pick(rng, 0, 3) == 0)
        makeInterval(rng, item);
    if (pick(rng, 0, 3) == 0)
        makeDayWarnings(rng, item);
    return item;
}

// Days around which a window of minutes is placed: month and year ends,
// 29 February, the lunar months' last days.
Date randomAnchor(Rng& rng, const ItemSchedule& item) {
    const int year = pick(rng, 2024, 2031);
    if (item.lunar.active() && pick(rng, 0, 1)) {
        const int month = item.lunar.month != 0 ? item.lunar.month : pick(rng, 1, 12);
        TLunarDate day{year, month, 29, item.lunar.leap && LunarLeapMonth(year) == month};
        return LunarToSolar(day);
    }
    if (pick(rng, 0, 3) == 0)
        return Date{2028, 2, 28};
    const int y = item.year >= 2024 && !item.lunar.active() ? item.year : year;
    const int month = item.month >= 1 && item.month <= 12 ? item.month : pick(rng, 1, 12);
    const bool ownDay = item.day >= 1 && item.day <= 31 && pick(rng, 0, 1);
    const Date d{y, month, std::min(ownDay ? item.day : 31, daysInMonth(y, month))};
    // The warnings of the days around it, some days before them.
    return item.warnings.any() && pick(rng, 0, 1) ? addDays(d, -item.warnings.days[0]) : d;
}

struct Fire {
    DateTime at;
    FiringKind kind;
    int32_t daysAhead;
    bool operator==(const Fire&) const = default;
};

Fire fireOf(const FiringTime& f) {
    return Fire{f.at, f.kind, f.daysAhead};
}

// The engine's minute check run on each minute from `from` to `to`.
std::vector<Fire> engineFirings(const ItemSchedule& item, const DateTime& from,
                                const DateTime& to) {
    ManualClock clock(from);
    std::vector<Fire> fired;
    ReminderEngine engine(clock, {[&](int32_t, const FiringTime& f) {
                              fired.push_back(Fire{clock.now(), f.kind, f.daysAhead});
                          }});
    engine.setItems({item});
    for (DateTime t = from; t <= to; t = addMinutes(t, 1)) {
        clock.set(t);
        engine.minuteCheck();
    }
    return fired;
}

std::vector<Fire> scheduleFirings(const ItemSchedule& item, const DateTime& from,
                                  const DateTime& to) {
    std::vector<Fire> found;
    for (const FiringTime& f : firingsBetween(item, from, to))
        found.push_back(fireOf(f));
    return found;
}

std::string describe(const ItemSchedule& item) {
    return std::to_string(item.year) + "-" + std::to_string(item.month) + "-" +
           std::to_string(item.day) + " " + std::to_string(item.hour) + ":" +
           std::to_string(item.min) + " before " + std::to_string(item.rdBefore) + " method " +
           std::to_string(item.mindMethod) + " lunar " + std::to_string(item.lunar.cycle) + "/" +
           std::to_string(item.lunar.month) + "/" + std::to_string(item.lunar.day) +
           (item.lunar.leap ? "L" : "") + " every " + std::to_string(item.interval.every) +
           " until " + std::to_string(item.interval.end) + " warn " +
           std::to_string(item.warnings.days[0]) + "," + std::to_string(item.warnings.days[1]) +
           "," + std::to_string(item.warnings.days[2]) + " at " +
           std::to_string(item.warnings.minute);
}

// The first and the last firing of the window, asked from its ends, are
// the oracle's; whether it found any.
bool endsAgree(const ItemSchedule& item, const DateTime& from, const DateTime& to,
               const std::vector<Fire>& oracle) {
    const auto next = nextFiring(item, addMinutes(from, -1));
    const auto previous = previousFiring(item, addMinutes(to, 1));
    if (oracle.empty()) {
        EXPECT_TRUE(!next || next->at > to) << describe(item);
        EXPECT_TRUE(!previous || previous->at < from) << describe(item);
        return false;
    }
    EXPECT_TRUE(next && previous) << describe(item);
    if (!next || !previous)
        return false;
    EXPECT_EQ(fireOf(*next), oracle.front()) << describe(item);
    EXPECT_EQ(fireOf(*previous), oracle.back()) << describe(item);
    return true;
}

TEST(ScheduleAgainstEngine, FiringsNextAndPreviousInWindowsOfMinutes) {
    Rng rng(20261209);
    int withFirings = 0, lunarWithFirings = 0, intervalsWithFirings = 0, warningsSeen = 0;
    for (int i = 0; i < 4000; ++i) {
        const ItemSchedule item = randomItem(rng);
        const DateTime from{addDays(randomAnchor(rng, item), -1), pick(rng, 0, 23), 0};
        const DateTime to = addMinutes(from, 2 * 1440);
        const std::vector<Fire> oracle = engineFirings(item, from, to);
        ASSERT_EQ(scheduleFirings(item, from, to), oracle) << describe(item);
        if (!endsAgree(item, from, to, oracle))
            continue;
        ++withFirings;
        lunarWithFirings += item.lunar.active();
        intervalsWithFirings += intervalApplies(item);
        warningsSeen += std::count_if(oracle.begin(), oracle.end(), [](const Fire& f) {
                            return f.kind == FiringKind::DaysAhead;
                        }) > 0;
        // From a moment inside the window: the first firing after its minute.
        const DateTime mid = addMinutes(from, pick(rng, 0, 2 * 1440));
        const auto after = nextFiring(item, mid);
        const auto later =
            std::find_if(oracle.begin(), oracle.end(), [&](const Fire& f) { return f.at > mid; });
        if (later != oracle.end()) {
            ASSERT_TRUE(after) << describe(item);
            EXPECT_EQ(after->at, later->at) << describe(item);
        } else {
            EXPECT_TRUE(!after || after->at > to) << describe(item);
        }
    }
    // The windows must find something to compare.
    EXPECT_GT(withFirings, 1400);
    EXPECT_GT(lunarWithFirings, 120);
    EXPECT_GT(intervalsWithFirings, 200);
    EXPECT_GT(warningsSeen, 150);
}

// A not-before moment (a skipped occurrence, a pause) keeps back exactly the
// firings before it: the minute check, the look-ahead both ways, the missed
// list and the start check give what the same item without it gives, less
// what lies before the moment. A skip of the next occurrence moves the next
// firing to the first one after that occurrence's set time.
TEST(ScheduleAgainstEngine, NotBeforeKeepsBackTheFiringsBeforeItAndNoOther) {
    Rng rng(30);
    int keptBack = 0, skipped = 0;
    for (int i = 0; i < 2500; ++i) {
        const ItemSchedule rules = randomItem(rng);
        const DateTime from{addDays(randomAnchor(rng, rules), -1), pick(rng, 0, 23), 0};
        const DateTime to = addMinutes(from, 2 * 1440);
        ItemSchedule item = rules;
        // At any minute of the window, or at a midnight within it (a pause).
        const DateTime moment = addMinutes(from, pick(rng, 0, 2 * 1440));
        item.notBefore = pick(rng, 0, 1) ? minuteNumber(moment)
                                         : pausedUntil(addDays(from.date, pick(rng, 1, 2)));
        std::vector<Fire> expected = engineFirings(rules, from, to);
        const size_t all = expected.size();
        std::erase_if(expected, [&](const Fire& f) { return minuteNumber(f.at) < item.notBefore; });
        keptBack += expected.size() < all;
        ASSERT_EQ(engineFirings(item, from, to), expected) << describe(item);
        ASSERT_EQ(scheduleFirings(item, from, to), expected) << describe(item);
        endsAgree(item, from, to, expected);
        // Missed: the latest occasion kept, none when all were kept back.
        const auto missed = occasionsBetween({item}, minuteNumber(from) - 1, minuteNumber(to));
        ASSERT_EQ(missed.size(), expected.empty() ? 0u : 1u) << describe(item);
        if (!expected.empty()) {
            EXPECT_EQ(missed.front().due, expected.back().at) << describe(item);
        }
        // The start check: from the moment's day on.
        const Date moved = fromMinuteNumber(item.notBefore).date;
        for (Date d = from.date; d <= to.date; d = addDays(d, 1)) {
            EXPECT_EQ(firesAtStartOn(item, d), firesAtStartOn(rules, d) && d >= moved)
                << describe(item);
        }

        // Skipping from the window's start: the firings of the occurrence
        // skipped (a warning and its set time) go, the next one stays.
        const auto after = afterNextOccurrence(rules, from);
        if (!after)
            continue;
        ItemSchedule skip = rules;
        skip.notBefore = *after;
        const auto first = nextFiring(rules, from);
        ASSERT_TRUE(first) << describe(rules);
        EXPECT_TRUE(first->advance() || *after == minuteNumber(first->at) + 1) << describe(rules);
        const auto following = nextFiring(skip, from);
        EXPECT_TRUE(!following || minuteNumber(following->at) >= *after) << describe(rules);
        EXPECT_EQ(following, nextFiring(rules, fromMinuteNumber(*after - 1))) << describe(rules);
        skipped += following.has_value();
    }
    EXPECT_GT(keptBack, 500);
    EXPECT_GT(skipped, 1000);
}

// The days the start check fires an at-start copy of each item on, over ten
// years: every day nextDay and previousDay step through, and no other.
TEST(ScheduleAgainstEngine, DaysOverTenYearsAreTheStartChecksDays) {
    Rng rng(8);
    std::vector<ItemSchedule> items;
    for (int i = 0; i < 1500; ++i) {
        ItemSchedule item = randomItem(rng);
        item.mindMethod = 2;
        items.push_back(item);
    }
    const Date first{2024, 1, 1}, last{2033, 12, 31};
    std::vector<std::vector<Date>> oracle(items.size());
    ManualClock clock(DateTime{first, 12, 0});
    ReminderEngine engine(clock, {[&](int32_t k, const FiringTime&) {
                              oracle[static_cast<size_t>(k - 1)].push_back(clock.now().date);
                          }});
    engine.setItems(items);
    for (Date d = first; d <= last; d = addDays(d, 1)) {
        clock.set(DateTime{d, 12, 0});
        engine.startCheck();
    }
    for (size_t i = 0; i < items.size(); ++i) {
        std::vector<Date> forward, backward;
        for (auto d = nextDay(items[i], first); d && *d <= last;
             d = nextDay(items[i], addDays(*d, 1)))
            forward.push_back(*d);
        for (auto d = previousDay(items[i], last); d && *d >= first;
             d = previousDay(items[i], addDays(*d, -1)))
            backward.insert(backward.begin(), *d);
        ASSERT_EQ(forward, oracle[i]) << describe(items[i]);
        ASSERT_EQ(backward, oracle[i]) << describe(items[i]);
    }
}

// All items together in the minute checks' order (minute, item, the full
// hour first) over three days, against one engine over all of them.
TEST(ScheduleAgainstEngine, AllFiringsComeInTheMinuteChecksOrder) {
    Rng rng(77);
    std::vector<ItemSchedule> items;
    for (int i = 0; i < 60; ++i)
        items.push_back(randomItem(rng));
    items.push_back(ItemSchedule{0, 0, 0, 10, 0, 0, 1}); // two firings at 10:00
    items.push_back(ItemSchedule{0, 0, 0, 11, 5, 5, 3}); // the warning at a full hour
    ItemSchedule window{0, 0, 0, 23, 0, 0, 1};           // an interval up to midnight
    window.interval = IntervalRule{7, 1439};
    window.warnings = dayWarnings({1, 2}, 0); // both at midnight: the fewer days only
    items.push_back(window);
    const DateTime from{Date{2028, 2, 27}, 22, 30}, to{Date{2028, 3, 1}, 1, 15};
    ManualClock clock(from);
    std::vector<Occasion> oracle;
    ReminderEngine engine(clock, {[&](int32_t k, const FiringTime& f) {
                              oracle.push_back(Occasion{clock.now(), k, f.advance(), f.daysAhead});
                          }});
    engine.setItems(items);
    for (DateTime t = from; t <= to; t = addMinutes(t, 1)) {
        clock.set(t);
        engine.minuteCheck();
    }
    std::vector<Occasion> found;
    AllFirings all(items, from, to);
    while (const auto o = all.next())
        found.push_back(*o);
    EXPECT_EQ(found, oracle);
    EXPECT_EQ(nextFirings(items, addMinutes(from, -1), 25),
              std::vector<Occasion>(oracle.begin(), oracle.begin() + 25));
}

} // namespace
} // namespace kelvo::test
