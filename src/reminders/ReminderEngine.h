#pragma once

#include "core/DateTime.h"
#include "reminders/ReminderList.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelvo {

class Clock;
class TIniFile;

// The reminder rules: the minute check, the start check and the snooze
// queue. It decides *which* item fires *when*; what firing does is the
// caller's FireFn (the program shows a popup, kelvoctl prints a line).
//
// FireFn may run a nested event loop (a modal popup) during which the
// engine's entry points are called again; the engine stays consistent.
class ReminderEngine {
public:
    // advance: the advance warning, whose text gets the prefix "提前提醒：".
    using FireFn = std::function<void(int32_t item, bool advance)>;

    struct SnoozeEntry {
        int32_t minutesLeft;
        int32_t item;
        bool operator==(const SnoozeEntry&) const = default;
    };
    static constexpr int kMaxSnoozes = 20;
    static constexpr int kTicksPerPass = 60;

    // The last seen minute starts at the clock's current minute, so the
    // minute in which the engine is created is never checked.
    ReminderEngine(const Clock& clock, FireFn fire);

    void setItems(std::vector<ItemSchedule> items);
    int32_t count() const { return static_cast<int32_t>(m_items.size()); }

    // Called every second: runs the minute check when the minute changed.
    void minuteTick();
    // Fires what is due at the clock's current minute.
    void minuteCheck();
    // Once per process: items with mind method 2 or 3 matching today.
    void startCheck();
    // Called every second: every 60th call counts the snooze queue down.
    void snoozeTick();

    // Queues a snooze; false (and nothing queued) when 20 are waiting.
    bool requestSnooze(int32_t item, int32_t minutes);
    // Item k was deleted: drop its entries, renumber the later ones.
    void itemDeleted(int32_t k);
    // The waiting entries in arrival order.
    std::vector<SnoozeEntry> snoozeQueue() const;

private:
    // A queue entry with its arrival number, by which a pass knows which
    // entries it has treated even when a nested call changed the queue.
    struct Queued {
        SnoozeEntry entry;
        uint64_t arrival;
    };

    // The date match; the lunar date of a day is converted once, not per item.
    bool matches(const ItemSchedule& item, const Date& date) const;
    void fireByRules(int32_t k, const DateTime& now);
    void snoozePass();

    const Clock& m_clock;
    FireFn m_fire;
    std::vector<ItemSchedule> m_items;
    mutable LunarDayCache m_lunarDay;
    int m_lastMinute;
    std::vector<Queued> m_queue;
    uint64_t m_arrivals = 0;
    int m_snoozeTicks = 0;
};

// What a firing hands to the popup.
struct Firing {
    int32_t item = 0;
    std::string text;  // the message, with the advance prefix where it applies
    std::string music; // the item's own sound; empty: the default sound
};

// Reads what item k hands over, changing nothing.
Firing readFiring(const TIniFile& data, int32_t item, bool advance);

// The file side of a firing: writes the hand-off file and ReMinded = 1.
// Write failures throw IniWriteError after both writes were tried; the
// caller shows the reminder regardless.
Firing fireItem(TIniFile& data, const std::string& handOffPath, int32_t item, bool advance);

} // namespace kelvo
