#pragma once

#include "core/DateTime.h"
#include "reminders/Occurrences.h"
#include "reminders/ReminderList.h"
#include "reminders/SnoozeEntry.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelvo {

class Clock;

// The reminder rules over time: the minute check, the start check, the
// missed reminders and the snooze queue. It decides *which* item fires
// *when*; what firing does is the caller's (the program shows a popup,
// kelvoctl prints a line).
//
// A firing may run a nested event loop (a modal popup) during which the
// engine's entry points are called again; the engine stays consistent: a
// nested minute tick checks the minutes that came since, and the
// interrupted check then goes on with its own minute's remaining items.
class ReminderEngine {
public:
    // advance: the advance warning, whose text gets the prefix "提前提醒：".
    using FireFn = std::function<void(int32_t item, bool advance)>;
    // Occasions that came and went unseen: listed, not fired.
    using MissedFn = std::function<void(const std::vector<Occasion>& missed)>;

    struct Hooks {
        FireFn fire;
        MissedFn missed = {};
        // The snooze queue changed (to be stored).
        std::function<void()> queueChanged = {};
    };

    using SnoozeEntry = kelvo::SnoozeEntry;
    static constexpr int kMaxSnoozes = 20;
    // Minutes that went unchecked (a busy program) are checked late up to
    // this many; a longer gap (suspend, a clock set forward) is listed.
    static constexpr int kMaxLateMinutes = 5;
    // The furthest back a list of missed reminders reaches.
    static constexpr int kLookBackDays = 7;

    // The minute in which the engine is created counts as checked, so it is
    // never checked by the minute check.
    ReminderEngine(const Clock& clock, Hooks hooks);

    void setItems(std::vector<ItemSchedule> items);
    int32_t count() const { return static_cast<int32_t>(m_items.size()); }
    const std::vector<ItemSchedule>& items() const { return m_items; }

    // Checks every minute that came since the last checked one (see
    // kMaxLateMinutes); minutes already checked are not checked again when
    // the clock was set back.
    void minuteTick();
    // Fires what is due at the clock's current minute, whatever was checked.
    void minuteCheck();
    // Once per process: items with mind method 2 or 3 matching today.
    void startCheck();
    // At start, with the snooze queue and the last minute checked of the
    // last run: entries still ahead wait again; the entries that came due
    // while the program did not run and what fell due by the rules after
    // `lastCheck` up to now (at most kLookBackDays back) are listed as
    // missed, together, oldest first.
    void resume(const std::optional<DateTime>& lastCheck, const std::vector<SnoozeEntry>& snoozes);
    // The minutes up to `t` count as checked without being checked (pause).
    void skipUntil(const DateTime& t);
    DateTime lastChecked() const { return fromMinuteNumber(m_lastChecked); }

    // Fires every snooze entry whose time has come, in queue order.
    void snoozeTick();
    // Queues a snooze due `minutes` from now; false (and nothing queued)
    // when 20 are waiting.
    bool requestSnooze(int32_t item, int32_t minutes);
    // Item k was deleted: drop its entries, renumber the later ones.
    void itemDeleted(int32_t k);
    // The waiting entries in arrival order.
    const std::vector<SnoozeEntry>& snoozeQueue() const { return m_queue; }
    // How long the program may sleep: the milliseconds until the clock's
    // minute changes, and until the next snooze entry is due (0 when one is
    // due already; none when no entry waits).
    int64_t msToNextMinute() const;
    std::optional<int64_t> msToNextSnooze() const;

private:
    void checkMinutesUntil(int64_t minute);
    void checkMinute(const DateTime& t);
    void fireByRules(int32_t k, const DateTime& t);
    void reportMissed(int64_t after, int64_t until);
    std::vector<Occasion> missedBetween(int64_t after, int64_t until) const;
    // Queues the entries still ahead; returns those that came due.
    std::vector<Occasion> restoreSnoozes(const std::vector<SnoozeEntry>& entries);
    void queueChanged();

    const Clock& m_clock;
    Hooks m_hooks;
    std::vector<ItemSchedule> m_items;
    int64_t m_lastChecked;       // local minute number
    int64_t m_lastTickUtcMinute; // real time of the latest tick
    std::vector<SnoozeEntry> m_queue;
};

} // namespace kelvo
