#include "reminders/ReminderEngine.h"

#include "core/Clock.h"

#include <algorithm>
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
    m_items = std::move(items);
}

void ReminderEngine::minuteTick() {
    const ClockReading now = m_clock.read();
    const int64_t minute = minuteNumber(now.local);
    const int64_t realGap = utcMinute(now) - m_lastTickUtcMinute;
    m_lastTickUtcMinute = utcMinute(now);
    const int64_t gap = minute - m_lastChecked;
    if (gap <= 0) {
        // Set back: the minutes checked already wait until the clock has
        // passed them again, unless it went back further than a list of
        // missed reminders would reach.
        if (-gap > kLookBackDays * kMinutesPerDay)
            m_lastChecked = minute;
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
// ends where the nested one got to.
void ReminderEngine::checkMinutesUntil(int64_t minute) {
    while (m_lastChecked < minute)
        checkMinute(fromMinuteNumber(++m_lastChecked));
}

void ReminderEngine::minuteCheck() {
    const DateTime now = m_clock.now();
    m_lastChecked = minuteNumber(now);
    checkMinute(now);
}

// The loops below index by position and look at the items afresh after each
// firing: a firing may run a nested event loop that reloads the items or
// runs another check, and this check then goes on with what is left.
void ReminderEngine::checkMinute(const DateTime& t) {
    for (int32_t k = 1; k <= count(); ++k)
        fireByRules(k, t);
}

void ReminderEngine::fireByRules(int32_t k, const DateTime& t) {
    if (firesOnTheHourAt(m_items[k - 1], t))
        m_hooks.fire(k, false);
    if (k > count())
        return;
    if (const auto kind = setTimeFiringAt(m_items[k - 1], t))
        m_hooks.fire(k, *kind == FiringKind::Advance);
}

void ReminderEngine::startCheck() {
    const Date today = m_clock.now().date;
    for (int32_t k = 1; k <= count(); ++k) {
        if (firesAtStartOn(m_items[k - 1], today))
            m_hooks.fire(k, false);
    }
}

void ReminderEngine::resume(const std::optional<DateTime>& lastCheck,
                            const std::vector<SnoozeEntry>& snoozes) {
    std::vector<Occasion> missed = restoreSnoozes(snoozes);
    if (lastCheck) {
        const std::vector<Occasion> byRules =
            missedBetween(minuteNumber(*lastCheck), minuteNumber(m_clock.now()));
        missed.insert(missed.end(), byRules.begin(), byRules.end());
    }
    std::stable_sort(missed.begin(), missed.end(),
                     [](const Occasion& a, const Occasion& b) { return a.due < b.due; });
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
    return occasionsBetween(m_items, after, until);
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
        m_hooks.fire(item, false);
    }
}

bool ReminderEngine::requestSnooze(int32_t item, int32_t minutes) {
    if (m_queue.size() >= kMaxSnoozes)
        return false;
    m_queue.push_back(SnoozeEntry{m_clock.read().utcSeconds + int64_t{minutes} * 60, item});
    queueChanged();
    return true;
}

void ReminderEngine::itemDeleted(int32_t k) {
    const std::vector<SnoozeEntry> before = m_queue;
    std::erase_if(m_queue, [k](const SnoozeEntry& e) { return e.item == k; });
    for (SnoozeEntry& e : m_queue) {
        if (e.item > k)
            --e.item;
    }
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
