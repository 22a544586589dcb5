#pragma once

#include "core/DateTime.h"
#include "reminders/Schedule.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kelvo {

// One occasion on which an item fires or would have fired.
struct Occasion {
    DateTime due;
    int32_t item = 0;
    bool advance = false;
    int32_t daysAhead = 0; // a warning that many days before the item's day
    bool operator==(const Occasion&) const = default;
};

// What would have fired in the minutes after `after` up to and including
// `until` (minute numbers): each item's latest occasion only (at one minute
// the plain message rather than the advance warning), so an interval
// reminder is listed once however many of its minutes went by; oldest
// first, items of one minute in item order.
std::vector<Occasion> occasionsBetween(const std::vector<ItemSchedule>& items, int64_t after,
                                       int64_t until);

// The firings of all items (item k = items[k - 1]) from `from` to `to`
// (minutes, both included) in the order the minute checks give them: by
// minute, then item, then the full hour before the set time or warning.
// Found a day at a time, each item asked only for the days it falls on.
class AllFirings {
public:
    AllFirings(const std::vector<ItemSchedule>& items, const DateTime& from,
               const DateTime& to = kLastMoment);
    std::optional<Occasion> next();

private:
    // An item's next day of firings: its own (shift 0) or, shift days
    // before its own, that of a warning days ahead.
    struct Waiting {
        int64_t day; // days since 1970-01-01
        int32_t item;
        int32_t shift;
        bool operator>(const Waiting& o) const {
            return day != o.day ? day > o.day : item != o.item ? item > o.item : shift > o.shift;
        }
    };
    void wait(int32_t item, int32_t shift, const Date& from);
    // The firings of the waiting entry on `date`, appended to m_unsorted.
    void collect(const Waiting& w, const Date& date, std::array<uint32_t, 1441>& starts);
    void fillDay();

    const std::vector<ItemSchedule>& m_items;
    int64_t m_from, m_to; // minute numbers
    std::vector<Waiting> m_heap;
    std::vector<Occasion> m_day; // the firings of the day at hand, in order
    std::vector<Occasion> m_unsorted;
    DayFiring m_pattern[kMostDayFirings]; // of the item at hand
    bool m_warnings = false;              // some item has warnings days ahead
    size_t m_next = 0;
};

// The first `n` firings of all items after the minute `after`.
std::vector<Occasion> nextFirings(const std::vector<ItemSchedule>& items, const DateTime& after,
                                  size_t n);

} // namespace kelvo
