#include "reminders/ReminderEngine.h"

#include "core/Clock.h"
#include "reminders/ItemNumber.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <utility>

namespace kelvo {

namespace {

constexpr int64_t kMinutesPerDay = 1440;

int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

int64_t utcMinute(const ClockReading& r) {
    return floorDiv(r.utcSeconds, 60);
}

} // namespace

ReminderEngine::ReminderEngine(const Clock& clock, Hooks hooks)
    : m_clock(clock), m_hooks(std::move(hooks)) {
    const ClockReading now = clock.read();
    m_lastChecked = minuteNumber(now.local);
    m_lastTickUtcMinute = utcMinute(now);
}

void ReminderEngine::setItems(std::vector<ItemSchedule> items) {
    assignIds(items);
    m_items = std::move(items);
    indexPositions();
    // The identities the fired occasions of an earlier run wait for.
    std::vector<uint64_t> keys;
    keys.reserve(m_items.size());
    for (const ItemSchedule& item : m_items)
        keys.push_back(item.key);
    m_fired.bind(m_ids, keys);
}

// Same count: each number keeps its identity (an edit changes an item in
// place). Otherwise each item takes the identity of an earlier item of the
// same content, in order, or a new one.
void ReminderEngine::assignIds(const std::vector<ItemSchedule>& items) {
    std::vector<uint32_t> ids;
    ids.reserve(items.size());
    if (items.size() == m_ids.size()) {
        ids = m_ids;
    } else {
        std::unordered_map<uint64_t, std::deque<uint32_t>> earlier;
        for (size_t i = 0; i < m_items.size() && i < m_ids.size(); ++i)
            earlier[m_items[i].key].push_back(m_ids[i]);
        for (const ItemSchedule& item : items) {
            const auto found = earlier.find(item.key);
            if (found != earlier.end() && !found->second.empty()) {
                ids.push_back(found->second.front());
                found->second.pop_front();
                continue;
            }
            ids.push_back(m_nextId++);
            if (m_resumed)
                m_added.push_back(ids.back());
        }
    }
    m_ids = std::move(ids);
}

void ReminderEngine::indexPositions() {
    m_positions.clear();
    for (size_t i = 0; i < m_ids.size(); ++i)
        m_positions[m_ids[i]] = static_cast<int32_t>(i + 1);
}

int32_t ReminderEngine::positionOf(uint32_t id) const {
    const auto found = m_positions.find(id);
    return found == m_positions.end() ? 0 : found->second;
}

void ReminderEngine::checkAdded() {
    const std::vector<uint32_t> added = std::exchange(m_added, {});
    const int64_t now = minuteNumber(m_clock.now());
    for (int64_t minute = now - kMaxLateMinutes; minute <= std::min(now, m_lastChecked); ++minute)
        forEachItem(added, [&](int32_t k) { fireByRules(k, fromMinuteNumber(minute)); });
}

void ReminderEngine::minuteTick() {
    const ClockReading now = m_clock.read();
    const int64_t minute = minuteNumber(now.local);
    const int64_t realGap = utcMinute(now) - m_lastTickUtcMinute;
    m_lastTickUtcMinute = utcMinute(now);
    const int64_t gap = minute - m_lastChecked;
    if (gap <= 0) {
        // Set back by a minute or two: the minutes checked wait until the
        // clock has passed them again. Further: they are checked again from
        // the new time, and what fired already does not fire twice.
        if (-gap > kSmallSetBackMinutes) {
            m_lastChecked = minute - 1;
            checkMinutesUntil(minute);
        }
        return;
    }
    // A few unchecked minutes are checked late; so are the local minutes
    // that the start of daylight saving time skips (the zone's offset grows
    // by up to an hour while hardly any real time passes).
    const bool late =
        gap <= kMaxLateMinutes + 1 || (realGap <= kMaxLateMinutes + 1 && gap <= realGap + 60);
    if (!late) {
        reportMissed(m_lastChecked, minute - 1);
        m_lastChecked = minute - 1;
    }
    checkMinutesUntil(minute);
}

// Each minute counts as checked before its items fire, so that a nested
// tick during a firing goes on with the minutes after it; this loop then
// ends where the nested one got to. Until its check has ended a minute is
// not stored as checked (lastChecked()).
void ReminderEngine::checkMinutesUntil(int64_t minute) {
    while (m_lastChecked < minute && !m_stopped)
        checkMinute(fromMinuteNumber(++m_lastChecked));
}

void ReminderEngine::minuteCheck() {
    const DateTime now = m_clock.now();
    m_lastChecked = minuteNumber(now);
    checkMinute(now);
}

void ReminderEngine::checkMinute(const DateTime& t) {
    const int64_t minute = minuteNumber(t);
    m_checking.push_back(minute);
    forEachItem(m_ids, [&](int32_t k) { fireByRules(k, t); });
    m_checking.erase(std::find(m_checking.begin(), m_checking.end(), minute));
    if (m_stopped) // stopped within the minute: it stays unchecked
        m_lastChecked = std::min(m_lastChecked, minute - 1);
}

int64_t ReminderEngine::lastComplete() const {
    if (m_checking.empty())
        return m_lastChecked;
    return std::min(m_lastChecked, *std::min_element(m_checking.begin(), m_checking.end()) - 1);
}

int64_t ReminderEngine::lastCheckedUtc() const {
    const ClockReading now = m_clock.read();
    const int64_t zoneOffset = localSeconds(now.local) - now.utcSeconds;
    return lastComplete() * 60 - zoneOffset;
}

// A firing may run a nested event loop that reloads or deletes items or
// runs another check; the loop goes on with the items of the list given
// (a copy: m_ids may change meanwhile), where they stand then.
// NOLINTNEXTLINE(performance-unnecessary-value-param): the copy is the point
void ReminderEngine::forEachItem(std::vector<uint32_t> ids, const std::function<void(int32_t)>& f) {
    for (const uint32_t id : ids) {
        if (m_stopped)
            return;
        if (const int32_t k = positionOf(id))
            f(k);
    }
}

// The rule calls: whether item k fires at minute t, and for what.
void ReminderEngine::fireByRules(int32_t k, const DateTime& t) {
    const uint32_t id = m_ids[k - 1];
    // A firing may change the items (a nested loop): k is looked up again.
    const auto fired = [&](const FiringTime& f) {
        fireOnce(k, f);
        return (k = positionOf(id)) == 0;
    };
    if (firesOnTheHourAt(m_items[k - 1], t) && fired(FiringTime{t, FiringKind::OnTheHour}))
        return;
    // The clock is read, and a warning looked for, only for items that may
    // need it: the check of every minute stays as cheap as it was.
    const ItemSchedule& item = m_items[k - 1];
    const auto kind = setTimeFiringAt(item, t);
    if (kind && !(item.interval.active() && windowFiresAgainBy(item, t, m_clock.now())) &&
        fired(FiringTime{t, *kind}))
        return;
    if (!m_items[k - 1].warnings.any())
        return;
    if (const auto days = dayWarningAt(m_items[k - 1], t))
        fireOnce(k, FiringTime{t, FiringKind::DaysAhead, *days});
}

void ReminderEngine::fireOnce(int32_t k, const FiringTime& firing) {
    const uint32_t id = m_ids[k - 1];
    const int64_t minute = minuteNumber(firing.at);
    if (m_stopped || m_fired.contains(id, minute, firing.kind))
        return;
    if (m_hooks.firedChanged) {
        const int64_t nowUtc = m_clock.read().utcSeconds;
        m_fired.prune(nowUtc);
        m_fired.add(FiredOccasion{id, m_items[k - 1].key, minute, firing.kind, nowUtc});
        m_hooks.firedChanged();
    }
    m_hooks.fire(k, firing);
}

void ReminderEngine::startCheck() {
    const Date today = m_clock.now().date;
    forEachItem(m_ids, [&](int32_t k) {
        if (firesAtStartOn(m_items[k - 1], today))
            m_hooks.fire(k, FiringTime{fromMinuteNumber(minuteNumber(m_clock.now()))});
    });
}

void ReminderEngine::restoreFired(std::vector<FiredOccasion> fired) {
    m_fired.load(std::move(fired));
    m_fired.prune(m_clock.read().utcSeconds);
    std::vector<uint64_t> keys;
    for (const ItemSchedule& item : m_items)
        keys.push_back(item.key);
    m_fired.bind(m_ids, keys);
}

// The minute of the start counts as checked (it is listed, not fired);
// the minutes after it are the minute check's, however long the start
// took. A stored minute later than now in real time (the clock was set
// back) lists nothing: the program ran then.
void ReminderEngine::resume(const std::optional<DateTime>& lastCheck,
                            const std::vector<SnoozeEntry>& snoozes,
                            std::optional<int64_t> lastCheckUtc) {
    std::vector<Occasion> missed = restoreSnoozes(snoozes);
    const bool setBack = lastCheckUtc && *lastCheckUtc > m_clock.read().utcSeconds;
    if (lastCheck && !setBack) {
        const std::vector<Occasion> byRules =
            missedBetween(minuteNumber(*lastCheck), m_lastChecked);
        missed.insert(missed.end(), byRules.begin(), byRules.end());
    }
    std::stable_sort(missed.begin(), missed.end(),
                     [](const Occasion& a, const Occasion& b) { return a.due < b.due; });
    m_resumed = true;
    if (!missed.empty() && m_hooks.missed)
        m_hooks.missed(missed);
}

void ReminderEngine::skipUntil(const DateTime& t) {
    m_lastChecked = std::max(m_lastChecked, minuteNumber(t));
    m_lastTickUtcMinute = utcMinute(m_clock.read());
}

void ReminderEngine::reportMissed(int64_t after, int64_t until) {
    const std::vector<Occasion> missed = missedBetween(after, until);
    if (!missed.empty() && m_hooks.missed)
        m_hooks.missed(missed);
}

std::vector<Occasion> ReminderEngine::missedBetween(int64_t after, int64_t until) const {
    after = std::max(after, until - kLookBackDays * kMinutesPerDay);
    if (after >= until)
        return {};
    std::vector<Occasion> found = occasionsBetween(m_items, after, until);
    std::erase_if(found, [this](const Occasion& o) { return firedAlready(o); });
    return found;
}

bool ReminderEngine::firedAlready(const Occasion& o) const {
    const uint32_t id = m_ids[o.item - 1];
    const int64_t minute = minuteNumber(o.due);
    if (o.advance)
        return m_fired.contains(id, minute, FiringKind::Advance);
    if (o.daysAhead > 0)
        return m_fired.contains(id, minute, FiringKind::DaysAhead);
    return m_fired.contains(id, minute, FiringKind::SetTime) ||
           m_fired.contains(id, minute, FiringKind::Interval) ||
           m_fired.contains(id, minute, FiringKind::OnTheHour);
}

// --- the snooze queue ----------------------------------------------------

void ReminderEngine::queueChanged() {
    if (m_hooks.queueChanged)
        m_hooks.queueChanged();
}

// Each entry leaves the queue before it fires, so a nested tick during its
// popup fires only the entries after it.
void ReminderEngine::snoozeTick() {
    for (;;) {
        const int64_t now = m_clock.read().utcSeconds;
        const auto due = std::find_if(m_queue.begin(), m_queue.end(),
                                      [now](const SnoozeEntry& e) { return e.due <= now; });
        if (due == m_queue.end())
            return;
        const int32_t item = due->item;
        m_queue.erase(due);
        queueChanged();
        m_hooks.fire(item, FiringTime{fromMinuteNumber(minuteNumber(m_clock.now()))});
    }
}

bool ReminderEngine::requestSnooze(int32_t item, int32_t minutes) {
    return queueSnooze(item, m_clock.read().utcSeconds + int64_t{minutes} * 60);
}

bool ReminderEngine::queueSnooze(int32_t item, int64_t due) {
    if (m_queue.size() >= kMaxSnoozes || item < 1)
        return false;
    m_queue.push_back(SnoozeEntry{due, item});
    queueChanged();
    return true;
}

void ReminderEngine::replaceSnoozes(int32_t item, std::optional<int64_t> due) {
    const std::vector<SnoozeEntry> before = m_queue;
    std::erase_if(m_queue, [item](const SnoozeEntry& e) { return e.item == item; });
    if (due && *due > m_clock.read().utcSeconds && m_queue.size() < kMaxSnoozes)
        m_queue.push_back(SnoozeEntry{*due, item});
    if (m_queue != before)
        queueChanged();
}

void ReminderEngine::itemDeleted(int32_t k) {
    if (k >= 1 && k <= count()) {
        m_items.erase(m_items.begin() + (k - 1));
        m_ids.erase(m_ids.begin() + (k - 1));
        indexPositions();
    }
    const std::vector<SnoozeEntry> before = m_queue;
    for (SnoozeEntry& e : m_queue)
        e.item = numberAfterDelete(e.item, k);
    std::erase_if(m_queue, [](const SnoozeEntry& e) { return e.item == 0; });
    if (m_queue != before)
        queueChanged();
}

std::vector<Occasion> ReminderEngine::restoreSnoozes(const std::vector<SnoozeEntry>& entries) {
    const ClockReading now = m_clock.read();
    const int64_t zoneOffset = localSeconds(now.local) - now.utcSeconds;
    std::vector<Occasion> missed;
    for (const SnoozeEntry& e : entries) {
        if (e.due > now.utcSeconds && m_queue.size() < kMaxSnoozes)
            m_queue.push_back(e);
        else if (e.due <= now.utcSeconds)
            missed.push_back(
                Occasion{fromMinuteNumber(floorDiv(e.due + zoneOffset, 60)), e.item, false});
    }
    if (m_queue.size() != entries.size())
        queueChanged();
    return missed;
}

int64_t ReminderEngine::msToNextMinute() const {
    const ClockReading now = m_clock.read();
    return std::max<int64_t>(1, (60 - now.local.second) * int64_t{1000} - now.millisecond);
}

std::optional<int64_t> ReminderEngine::msToNextSnooze() const {
    if (m_queue.empty())
        return std::nullopt;
    const int64_t due =
        std::min_element(m_queue.begin(), m_queue.end(),
                         [](const SnoozeEntry& a, const SnoozeEntry& b) { return a.due < b.due; })
            ->due;
    const ClockReading now = m_clock.read();
    return std::max<int64_t>(0, (due - now.utcSeconds) * 1000 - now.millisecond);
}

} // namespace kelvo
