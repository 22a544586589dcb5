#pragma once

#include "core/Clock.h"
#include "reminders/ReminderEngine.h"

#include <functional>
#include <vector>

namespace kelvo::test {

// One firing as the engine reported it, with the clock time it happened at.
struct Fired {
    int hour;
    int minute;
    int32_t item;
    bool advance;
    int32_t daysAhead = 0;
    bool operator==(const Fired&) const = default;
};

inline ItemSchedule everyDay(int hour, int min, int rdBefore = 0, int mindMethod = 0) {
    return ItemSchedule{0, 0, 0, hour, min, rdBefore, mindMethod};
}

// What the look-ahead finds from `from` to `to`, in order.
inline std::vector<FiringTime> firingsBetween(const ItemSchedule& item, const DateTime& from,
                                              const DateTime& to) {
    std::vector<FiringTime> found;
    Firings range(item, from, to);
    while (const auto f = range.next())
        found.push_back(*f);
    return found;
}

// 2024-01-01 is a Monday.
inline constexpr Date kMonday{2024, 1, 1};
inline constexpr Date kTuesday{2024, 1, 2};

// An engine on a manual clock that records every firing and every list of
// missed reminders. onFire, when set, runs inside the firing, as a popup's
// modal loop would.
class EngineHarness {
public:
    explicit EngineHarness(DateTime start)
        : clock(start),
          engine(clock,
                 {[this](int32_t item, const FiringTime& f) {
                      const DateTime now = clock.now();
                      fired.push_back(Fired{now.hour, now.minute, item, f.advance(), f.daysAhead});
                      if (onFire)
                          onFire(item, f.advance());
                  },
                  [this](const std::vector<Occasion>& list) { missed.push_back(list); },
                  [this] { ++queueChanges; }, [this] { ++firedChanges; }}) {}

    // Lets the clock run for the given minutes, ticking twice a minute as the
    // one-second timer would within one minute.
    void runMinutes(int minutes) {
        for (int i = 0; i < minutes; ++i) {
            clock.advanceMinutes(1);
            engine.minuteTick();
            engine.minuteTick();
        }
    }

    // Lets the clock run for the given seconds, with a snooze tick each.
    void runSeconds(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            DateTime t = clock.now();
            if (++t.second == 60) {
                t = addMinutes(t, 1);
                t.second = 0;
            }
            clock.set(t);
            engine.snoozeTick();
        }
    }

    // The clock jumps to t (a change of the clock, or a resume), then ticks.
    void jumpTo(const DateTime& t) {
        clock.set(t);
        engine.minuteTick();
    }

    ManualClock clock;
    ReminderEngine engine;
    std::vector<Fired> fired;
    std::vector<std::vector<Occasion>> missed;
    int queueChanges = 0;
    int firedChanges = 0;
    std::function<void(int32_t, bool)> onFire;
};

} // namespace kelvo::test
