#pragma once

#include "core/DateTime.h"
#include "reminders/FiredOccasions.h"
#include "reminders/Occurrences.h"
#include "reminders/ReminderList.h"
#include "reminders/SnoozeEntry.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
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
// interrupted check then goes on with its own minute's remaining items, as
// they are then: each item is held by an identity of its own, which a
// delete of an earlier item does not change.
//
// Every occasion that fired by the rules is remembered for some days (and
// kept across runs by the caller), so that a clock set back checks its
// minutes again and fires only what did not fire yet.
class ReminderEngine {
public:
    // What fired and why: an advance warning's text gets the prefix
    // "提前提醒：", a warning days ahead "提前7天提醒：" (firing.daysAhead). A
    // snooze entry and the start check fire as SetTime at the clock's minute.
    using FireFn = std::function<void(int32_t item, const FiringTime& firing)>;
    // Occasions that came and went unseen: listed, not fired.
    using MissedFn = std::function<void(const std::vector<Occasion>& missed)>;

    struct Hooks {
        FireFn fire;
        MissedFn missed = {};
        // The snooze queue changed (to be stored).
        std::function<void()> queueChanged = {};
        // The fired occasions changed (to be stored). Without it none are
        // remembered (kelvoctl's look over a range of minutes).
        std::function<void()> firedChanged = {};
    };

    using SnoozeEntry = kelvo::SnoozeEntry;
    static constexpr int kMaxSnoozes = 20;
    // Minutes that went unchecked (a busy program) are checked late up to
    // this many; a longer gap (suspend, a clock set forward) is listed. A
    // reminder added for a minute checked already fires at once when its
    // occasion lies this many minutes back at most.
    static constexpr int kMaxLateMinutes = 5;
    // A clock set back by this many minutes at most (a time server's
    // correction) waits until it has passed the minutes checked; one set
    // back further checks its minutes again.
    static constexpr int kSmallSetBackMinutes = 2;
    // The furthest back a list of missed reminders reaches.
    static constexpr int kLookBackDays = 7;

    // The minute in which the engine is created counts as checked, so it is
    // never checked by the minute check.
    ReminderEngine(const Clock& clock, Hooks hooks);

    // The items as loaded. An item keeps its identity at its number when
    // the count is the same (an edit); otherwise by its content where it
    // can (another program added or removed items). After resume(), items
    // that are new are noted for checkAdded().
    void setItems(std::vector<ItemSchedule> items);
    int32_t count() const { return static_cast<int32_t>(m_items.size()); }
    // Fires the occasions of the items added since the last call that lie
    // in the minutes checked already, up to kMaxLateMinutes back.
    void checkAdded();
    const std::vector<ItemSchedule>& items() const { return m_items; }

    // Checks every minute that came since the last checked one (see
    // kMaxLateMinutes). A clock set back checks its minutes again, firing
    // only what did not fire yet (see kSmallSetBackMinutes).
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
    // `lastCheckUtc` (seconds) tells in real time whether the clock was set
    // back since: then nothing is listed, and the minutes checked then are
    // checked again without firing twice (restoreFired() first).
    void resume(const std::optional<DateTime>& lastCheck, const std::vector<SnoozeEntry>& snoozes,
                std::optional<int64_t> lastCheckUtc = std::nullopt);
    bool resumed() const { return m_resumed; }
    // The minutes up to `t` count as checked without being checked (pause).
    void skipUntil(const DateTime& t);
    // The last minute whose every item was fired: a minute whose check is
    // still going on (its alerts waiting behind an open one) does not count.
    DateTime lastChecked() const { return fromMinuteNumber(lastComplete()); }
    // The same moment in real time (seconds), by the zone's offset of now.
    int64_t lastCheckedUtc() const;
    // From now on nothing fires (the program is ending): what did not fire
    // stays unchecked, to be listed at the next start.
    void stop() { m_stopped = true; }

    // The occasions that fired in the last days; those of an earlier run
    // are given back before resume().
    const std::vector<FiredOccasion>& firedOccasions() const { return m_fired.entries(); }
    void restoreFired(std::vector<FiredOccasion> fired);

    // Fires every snooze entry whose time has come, in queue order.
    void snoozeTick();
    // Queues a snooze due `minutes` from now; false (and nothing queued)
    // when 20 are waiting or the item is none (0: a deleted one's).
    bool requestSnooze(int32_t item, int32_t minutes);
    // Queues a snooze due at `due` (seconds since 1970 UTC); false as above.
    bool queueSnooze(int32_t item, int64_t due);
    // The item was dismissed on another computer: its waiting entries go,
    // and the snooze it got there (`due`, when later than now) waits instead.
    void replaceSnoozes(int32_t item, std::optional<int64_t> due);
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
    // Calls f(k) for each item in order, each held by its identity: items
    // deleted meanwhile are passed over, none is passed twice.
    void forEachItem(std::vector<uint32_t> ids, const std::function<void(int32_t)>& f);
    void fireByRules(int32_t k, const DateTime& t);
    // Fires item k for the occasion unless it fired for it already.
    void fireOnce(int32_t k, const FiringTime& firing);
    int32_t positionOf(uint32_t id) const;
    void assignIds(const std::vector<ItemSchedule>& items);
    void indexPositions();
    int64_t lastComplete() const;
    void reportMissed(int64_t after, int64_t until);
    std::vector<Occasion> missedBetween(int64_t after, int64_t until) const;
    bool firedAlready(const Occasion& o) const;
    // Queues the entries still ahead; returns those that came due.
    std::vector<Occasion> restoreSnoozes(const std::vector<SnoozeEntry>& entries);
    void queueChanged();

    const Clock& m_clock;
    Hooks m_hooks;
    std::vector<ItemSchedule> m_items;
    std::vector<uint32_t> m_ids; // m_ids[k - 1]: the identity of item k
    std::unordered_map<uint32_t, int32_t> m_positions;
    uint32_t m_nextId = 1;
    std::vector<uint32_t> m_added;   // items added since the last checkAdded()
    int64_t m_lastChecked;           // local minute number
    int64_t m_lastTickUtcMinute;     // real time of the latest tick
    std::vector<int64_t> m_checking; // minutes whose check is going on
    std::vector<SnoozeEntry> m_queue;
    FiredOccasions m_fired;
    bool m_resumed = false;
    bool m_stopped = false;
};

} // namespace kelvo
