#include "reminders/ReminderEngine.h"

#include "core/Clock.h"
#include "storage/ConfigFile.h"
#include "storage/IniFile.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace kelvo {

namespace {

bool firesOnTheHour(const ItemSchedule& item) {
    return item.mindMethod == 1 || item.mindMethod == 3;
}

bool firesAtStart(const ItemSchedule& item) {
    return item.mindMethod == 2 || item.mindMethod == 3;
}

bool isSetTime(const ItemSchedule& item, const DateTime& now) {
    return now.hour == item.hour && now.minute == item.min;
}

// The advance moment lies rdBefore minutes before the set time, on the same
// day only: a set time in the first minutes after midnight gets no warning.
bool isAdvanceTime(const ItemSchedule& item, const DateTime& now) {
    if (item.rdBefore <= 0)
        return false;
    const int64_t minute = int64_t{now.minute} + item.rdBefore;
    if (minute <= 59)
        return now.hour == item.hour && minute == item.min;
    return now.hour + 1 == item.hour && minute - 60 == item.min;
}

} // namespace

ReminderEngine::ReminderEngine(const Clock& clock, FireFn fire)
    : m_clock(clock), m_fire(std::move(fire)), m_lastMinute(clock.now().minute) {}

bool ReminderEngine::matches(const ItemSchedule& item, const Date& date) const {
    return fallsOn(item, date, m_lunarDay.of(date));
}

void ReminderEngine::setItems(std::vector<ItemSchedule> items) {
    m_items = std::move(items);
}

void ReminderEngine::minuteTick() {
    if (m_clock.now().minute != m_lastMinute)
        minuteCheck();
}

// The loops below index by position and look at the items afresh after each
// firing: a firing may run a nested event loop that reloads the items or
// runs another check, and this check then goes on with what is left.
void ReminderEngine::minuteCheck() {
    const DateTime now = m_clock.now();
    m_lastMinute = now.minute;
    for (int32_t k = 1; k <= count(); ++k)
        fireByRules(k, now);
}

void ReminderEngine::fireByRules(int32_t k, const DateTime& now) {
    if (now.minute == 0 && firesOnTheHour(m_items[k - 1]) && matches(m_items[k - 1], now.date))
        m_fire(k, false);
    if (k > count())
        return;
    const ItemSchedule& item = m_items[k - 1];
    if (!matches(item, now.date))
        return;
    if (isSetTime(item, now))
        m_fire(k, false);
    else if (isAdvanceTime(item, now))
        m_fire(k, true);
}

void ReminderEngine::startCheck() {
    const Date today = m_clock.now().date;
    for (int32_t k = 1; k <= count(); ++k) {
        if (firesAtStart(m_items[k - 1]) && matches(m_items[k - 1], today))
            m_fire(k, false);
    }
}

void ReminderEngine::snoozeTick() {
    // Ticks that arrive while a pass waits for a popup push the counter past
    // the pass mark, so they start no second pass.
    if (++m_snoozeTicks != kTicksPerPass)
        return;
    snoozePass();
    m_snoozeTicks = 0;
}

void ReminderEngine::snoozePass() {
    const uint64_t endOfPass = m_arrivals; // later arrivals wait for the next pass
    uint64_t next = 0;
    for (;;) {
        const auto it = std::find_if(m_queue.begin(), m_queue.end(), [&](const Queued& q) {
            return q.arrival >= next && q.arrival < endOfPass;
        });
        if (it == m_queue.end())
            return;
        next = it->arrival + 1;
        // An entry queued with no minutes at all fires at the first pass
        // instead of staying in the queue for good.
        if (it->entry.minutesLeft > 1) {
            --it->entry.minutesLeft;
            continue;
        }
        const int32_t item = it->entry.item;
        m_queue.erase(it);
        m_fire(item, false);
    }
}

bool ReminderEngine::requestSnooze(int32_t item, int32_t minutes) {
    if (m_queue.size() >= kMaxSnoozes)
        return false;
    m_queue.push_back(Queued{SnoozeEntry{minutes, item}, m_arrivals++});
    return true;
}

void ReminderEngine::itemDeleted(int32_t k) {
    std::erase_if(m_queue, [k](const Queued& q) { return q.entry.item == k; });
    for (Queued& q : m_queue) {
        if (q.entry.item > k)
            --q.entry.item;
    }
}

std::vector<ReminderEngine::SnoozeEntry> ReminderEngine::snoozeQueue() const {
    std::vector<SnoozeEntry> entries;
    entries.reserve(m_queue.size());
    for (const Queued& q : m_queue)
        entries.push_back(q.entry);
    return entries;
}

Firing readFiring(const TIniFile& data, int32_t item, bool advance) {
    const std::string section = itemSection(item);
    Firing firing;
    firing.item = item;
    firing.text = data.ReadString(section, "Message", "");
    if (advance)
        firing.text.insert(0, kAdvancePrefix);
    firing.music = data.ReadString(section, "Music", "");
    return firing;
}

Firing fireItem(TIniFile& data, const std::string& handOffPath, int32_t item, bool advance) {
    Firing firing = readFiring(data, item, advance);
    std::optional<IniWriteError> firstError;
    try {
        writeHandOff(handOffPath, HandOff{firing.text, firing.music});
    } catch (const IniWriteError& e) {
        firstError = e;
    }
    try {
        markReminded(data, item);
    } catch (const IniWriteError& e) {
        if (!firstError)
            firstError = e;
    }
    if (firstError)
        throw *firstError;
    return firing;
}

} // namespace kelvo
