#include "reminders/Occurrences.h"

#include <algorithm>
#include <array>
#include <functional>

namespace kelvo {
namespace {

constexpr int64_t kMinutesPerDay = 1440;

int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

std::optional<Occasion> latestOccasion(const ItemSchedule& item, int32_t k, int64_t after,
                                       int64_t until) {
    const auto latest = previousFiring(item, fromMinuteNumber(until + 1));
    if (!latest || minuteNumber(latest->at) <= after)
        return std::nullopt;
    // At one minute the plain message wins over the advance warning.
    const bool advance = latest->advance() && !firesOnTheHourAt(item, latest->at);
    return Occasion{latest->at, k, advance, latest->daysAhead};
}

// A warning days ahead gives way to what the item fires at its minute
// before it: its own firing, or a warning of fewer days. Each element is
// read before anything is written over it.
void dropWarningsGivingWay(std::vector<Occasion>& day) {
    size_t kept = 0;
    for (size_t i = 0; i < day.size(); ++i) {
        const bool givesWay = day[i].daysAhead > 0 && i > 0 && day[i - 1].item == day[i].item &&
                              day[i - 1].due == day[i].due;
        if (!givesWay)
            day[kept++] = day[i];
    }
    day.resize(kept);
}

} // namespace

std::vector<Occasion> occasionsBetween(const std::vector<ItemSchedule>& items, int64_t after,
                                       int64_t until) {
    std::vector<Occasion> found;
    for (size_t i = 0; i < items.size(); ++i) {
        if (auto o = latestOccasion(items[i], static_cast<int32_t>(i + 1), after, until))
            found.push_back(*o);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Occasion& a, const Occasion& b) { return a.due < b.due; });
    return found;
}

AllFirings::AllFirings(const std::vector<ItemSchedule>& items, const DateTime& from,
                       const DateTime& to)
    : m_items(items), m_from(minuteNumber(DateTime{from.date, from.hour, from.minute, 0})),
      m_to(minuteNumber(DateTime{to.date, to.hour, to.minute, 0})) {
    if (m_from > m_to)
        return;
    const Date first = fromMinuteNumber(m_from).date;
    m_heap.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const auto k = static_cast<int32_t>(i + 1);
        wait(k, 0, first);
        if (dayWarningMinute(items[i])) {
            m_warnings = true;
            for (const uint8_t days : items[i].warnings.days) {
                if (days != 0)
                    wait(k, days, first);
            }
        }
    }
}

// Queues the item for the next day of its firings (shift 0) or of its
// warning `shift` days ahead from `from` on, within the range.
void AllFirings::wait(int32_t item, int32_t shift, const Date& from) {
    const ItemSchedule& schedule = m_items[static_cast<size_t>(item - 1)];
    const auto day =
        shift == 0 ? nextFreeDay(schedule, from) : nextDay(schedule, addDays(from, shift));
    if (!day || daysFromCivil(*day) - shift > floorDiv(m_to, kMinutesPerDay))
        return;
    m_heap.push_back(Waiting{daysFromCivil(*day) - shift, item, shift});
    std::push_heap(m_heap.begin(), m_heap.end(), std::greater<>());
}

void AllFirings::collect(const Waiting& w, const Date& date, std::array<uint32_t, 1441>& starts) {
    const ItemSchedule& item = m_items[static_cast<size_t>(w.item - 1)];
    DayFiring* pattern = m_pattern;
    int n = 1;
    if (w.shift == 0)
        n = dayFirings(item, pattern);
    else
        pattern[0] = DayFiring{*dayWarningMinute(item), FiringKind::DaysAhead};
    for (int i = 0; i < n; ++i) {
        const int64_t minute = w.day * kMinutesPerDay + pattern[i].minute;
        if (minute < m_from || minute > m_to || !mayFireAt(item, minute))
            continue;
        ++starts[static_cast<size_t>(pattern[i].minute) + 1];
        m_unsorted.push_back(
            Occasion{DateTime{date, pattern[i].minute / 60, pattern[i].minute % 60, 0}, w.item,
                     pattern[i].kind == FiringKind::Advance, w.shift});
    }
}

// The firings of the next day any item falls on, sorted by minute (items in
// order within one minute) by counting.
void AllFirings::fillDay() {
    m_day.clear();
    m_next = 0;
    while (m_day.empty() && !m_heap.empty()) {
        const int64_t day = m_heap.front().day;
        const Date date = civilFromDays(day);
        m_unsorted.clear();
        std::array<uint32_t, kMinutesPerDay + 1> starts{};
        while (!m_heap.empty() && m_heap.front().day == day) {
            std::pop_heap(m_heap.begin(), m_heap.end(), std::greater<>());
            const Waiting w = m_heap.back();
            m_heap.pop_back();
            collect(w, date, starts);
            wait(w.item, w.shift, addDays(date, 1));
        }
        for (size_t m = 1; m < starts.size(); ++m)
            starts[m] += starts[m - 1];
        m_day.resize(m_unsorted.size());
        for (const Occasion& o : m_unsorted)
            m_day[starts[static_cast<size_t>(o.due.hour) * 60 +
                         static_cast<size_t>(o.due.minute)]++] = o;
        if (m_warnings)
            dropWarningsGivingWay(m_day);
    }
}

std::optional<Occasion> AllFirings::next() {
    if (m_next == m_day.size())
        fillDay();
    if (m_next == m_day.size())
        return std::nullopt;
    return m_day[m_next++];
}

std::vector<Occasion> nextFirings(const std::vector<ItemSchedule>& items, const DateTime& after,
                                  size_t n) {
    AllFirings all(items, addMinutes(DateTime{after.date, after.hour, after.minute, 0}, 1));
    std::vector<Occasion> found;
    while (found.size() < n) {
        const auto o = all.next();
        if (!o)
            break;
        found.push_back(*o);
    }
    return found;
}

} // namespace kelvo
