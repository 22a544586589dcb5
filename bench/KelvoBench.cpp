#include "BenchData.h"

#include "core/Clock.h"
#include "lunar/LunarRepeat.h"
#include "reminders/HolidayText.h"
#include "reminders/Holidays.h"
#include "reminders/Occurrences.h"
#include "reminders/ReminderEngine.h"
#include "reminders/ReminderList.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "storage/ReminderFile.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string_view>
#include <vector>

namespace kelvo::bench {
namespace {

// One generated data file per size, made once for the whole run, with its
// pristine bytes for the benchmarks that change it.
struct Fixture {
    test::TempDir dir;
    std::string path = dir.file("DataFile.dat");
    std::string pristine;
};

Fixture& fixture(int items) {
    static std::map<int, std::unique_ptr<Fixture>> fixtures;
    auto& f = fixtures[items];
    if (!f) {
        f = std::make_unique<Fixture>();
        writeDataFile(f->path, items);
        f->pristine = readBytes(f->path);
    }
    return *f;
}

// The floor: what reading the file and cutting it into lines costs at least.
void BM_ReadAndSplitLines(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::string bytes = readBytes(f.path);
        std::vector<std::string_view> lines;
        for (size_t pos = 0; pos < bytes.size();) {
            size_t end = bytes.find('\n', pos);
            if (end == std::string::npos)
                end = bytes.size();
            lines.emplace_back(bytes.data() + pos, end - pos);
            pos = end + 1;
        }
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.pristine.size()));
}

// The list load from the file: no other TIniFile holds the path between
// iterations, so each new object reads and parses the file again.
void BM_LoadList(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const TIniFile data(f.path);
        ReminderList list = loadReminderList(data);
        if (list.count() != state.range(0))
            state.SkipWithError("the list load missed items");
        benchmark::DoNotOptimize(list.lines.back().data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.pristine.size()));
}

// A change through the main window's long-lived object: the view is parsed
// already, the change is stored to disk (atomic replace) before it returns.
template <typename Change> void measureChange(benchmark::State& state, Change change) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        writeBytes(f.path, f.pristine);
        auto data = std::make_unique<TIniFile>(f.path);
        benchmark::DoNotOptimize(itemCount(*data));
        state.ResumeTiming();
        change(*data);
        state.PauseTiming();
        data.reset();
        state.ResumeTiming();
    }
}

void BM_DeleteFirstItem(benchmark::State& state) {
    measureChange(state, [](TIniFile& data) { deleteItem(data, 1); });
}

void BM_AddItem(benchmark::State& state) {
    ReminderItem item;
    item.year = 0, item.month = 0, item.day = 0, item.hour = 12, item.min = 0;
    item.message = "午饭时间到了，记得休息一下";
    measureChange(state, [&item](TIniFile& data) { appendItem(data, item, false); });
}

// Minute checks over the items at 09:<range(1)> on Monday 2024-03-04;
// firing itself is left out.
void measureMinuteChecks(benchmark::State& state, std::vector<ItemSchedule> items) {
    ManualClock clock(DateTime{Date{2024, 3, 4}, 9, static_cast<int>(state.range(1)), 0});
    int64_t fired = 0;
    ReminderEngine engine(clock, {[&fired](int32_t, const FiringTime&) { ++fired; }});
    engine.setItems(std::move(items));
    for (auto _ : state)
        engine.minuteCheck();
    state.counters["fired_per_check"] =
        static_cast<double>(fired) / static_cast<double>(state.iterations());
}

std::vector<ItemSchedule> fixtureItems(const benchmark::State& state) {
    return loadReminderList(TIniFile(fixture(static_cast<int>(state.range(0))).path)).items;
}

// One minute check over the in-memory items at 09:<range(1)> on a Monday:
// at 09:00 the hourly items fire too.
void BM_MinuteCheck(benchmark::State& state) {
    measureMinuteChecks(state, fixtureItems(state));
}

// The same with every fifth item (2,000 of 10,000) repeating by the lunar
// calendar instead: yearly on the lunar date of its own date, or monthly on
// its day. Every minute check after a day's first converts no date; the
// conversion of one day is BM_SolarToLunar.
void BM_MinuteCheckLunar(benchmark::State& state) {
    const Date monday{2024, 3, 4};
    std::vector<ItemSchedule> items = fixtureItems(state);
    for (size_t i = 0; i < items.size(); i += 5) {
        const Date first = addDays(monday, static_cast<int64_t>(i % 400));
        items[i].year = first.year, items[i].month = first.month, items[i].day = first.day;
        items[i].lunar =
            lunarRepeatOn(first, i % 2 == 0 ? LunarRepeat::kYearly : LunarRepeat::kMonthly);
    }
    measureMinuteChecks(state, std::move(items));
}

// Every fifth item an interval reminder (every 15 minutes from its time up
// to 23:45) and every fifth another with warnings 7 and 1 days ahead: 2,000
// of each among the 10,000.
std::vector<ItemSchedule> withWindowsAndWarnings(std::vector<ItemSchedule> items) {
    for (size_t i = 0; i < items.size(); i += 5) {
        items[i].interval = IntervalRule{15, 23 * 60 + 45};
        if (i + 2 < items.size())
            items[i + 2].warnings = dayWarnings({7, 1});
    }
    return items;
}

void BM_MinuteCheckWindows(benchmark::State& state) {
    measureMinuteChecks(state, withWindowsAndWarnings(fixtureItems(state)));
}

// One day's lunar date, the days of the whole calendar in turn (the late
// ones walk the most years).
void BM_SolarToLunar(benchmark::State& state) {
    Date day = kFirstLunarSolarDate;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SolarToLunar(day));
        day = day == kLastLunarSolarDate ? kFirstLunarSolarDate : addDays(day, 1);
    }
}

// The missed list after a week away: each item's latest occasion in the
// seven days before a Monday 09:17.
void BM_MissedAfterSevenDays(benchmark::State& state) {
    const TIniFile data(fixture(static_cast<int>(state.range(0))).path);
    const std::vector<ItemSchedule> items = loadReminderList(data).items;
    const int64_t until = minuteNumber(DateTime{Date{2024, 3, 4}, 9, 17, 0});
    size_t listed = 0;
    for (auto _ : state)
        listed = occasionsBetween(items, until - 7 * 1440, until).size();
    state.counters["listed"] = static_cast<double>(listed);
}

// The firings of all items over range(1) days from a Monday, in the minute
// checks' order, as kelvoctl due finds them (without printing).
void measureAllFirings(benchmark::State& state, const std::vector<ItemSchedule>& items) {
    const DateTime from{Date{2024, 3, 4}, 0, 0, 0};
    const DateTime to = addMinutes(from, state.range(1) * 1440 - 1);
    int64_t found = 0;
    for (auto _ : state) {
        found = 0;
        AllFirings all(items, from, to);
        while (all.next())
            ++found;
    }
    state.counters["firings"] = static_cast<double>(found);
}

void BM_AllFirings(benchmark::State& state) {
    measureAllFirings(state, fixtureItems(state));
}

// The same with the interval reminders and warnings of BM_MinuteCheckWindows.
void BM_AllFiringsWindows(benchmark::State& state) {
    measureAllFirings(state, withWindowsAndWarnings(fixtureItems(state)));
}

// The next firing of all items, as the tray tip asks for it.
void BM_NextOfAll(benchmark::State& state) {
    const TIniFile data(fixture(static_cast<int>(state.range(0))).path);
    const std::vector<ItemSchedule> items = loadReminderList(data).items;
    for (auto _ : state)
        benchmark::DoNotOptimize(nextFirings(items, DateTime{Date{2024, 3, 4}, 9, 17, 0}, 1));
}

// What the first question of a reminder on the official days costs once:
// the built-in holiday text (2004 to 2026) read into the calendar.
void BM_ReadHolidayTable(benchmark::State& state) {
    for (auto _ : state) {
        HolidayCalendar calendar;
        for (YearArrangement& year : readHolidayText(builtInHolidayText(), kBuiltInSource).years)
            calendar.put(std::move(year));
        benchmark::DoNotOptimize(calendar.knows(2026));
    }
}

// A reminder on the official workdays over a whole year, day by day (the
// calendar asked once per day), against the same weekly reminder without it.
void BM_WorkdaysOverAYear(benchmark::State& state) {
    ItemSchedule item;
    item.year = item.month = 0;
    item.day = kMondayToFridayCode;
    item.hour = 9;
    item.official = state.range(0) ? OfficialRule::Workdays : OfficialRule::None;
    const DateTime from{Date{2026, 1, 1}, 0, 0, 0}, to{Date{2026, 12, 31}, 23, 59, 0};
    int found = 0;
    for (auto _ : state) {
        found = 0;
        Firings firings(item, from, to);
        while (firings.next())
            ++found;
    }
    state.counters["firings"] = found;
}

BENCHMARK(BM_ReadAndSplitLines)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadList)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteFirstItem)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddItem)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinuteCheck)->Args({10000, 17})->Args({10000, 0})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MinuteCheckLunar)->Args({10000, 17})->Args({10000, 0})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MinuteCheckWindows)
    ->Args({10000, 17})
    ->Args({10000, 0})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SolarToLunar)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MissedAfterSevenDays)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllFirings)->Args({10000, 1})->Args({10000, 365})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllFiringsWindows)->Args({10000, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextOfAll)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadHolidayTable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WorkdaysOverAYear)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kelvo::bench
