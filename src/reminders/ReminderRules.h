#pragma once

#include "core/DateTime.h"
#include "reminders/ReminderList.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kelvo {

// The rules by which one item falls due at one wall-clock minute.
bool matchesDay(const ItemSchedule& item, const Date& date);
bool isSetTime(const ItemSchedule& item, const DateTime& t);
// The advance moment lies rdBefore minutes before the set time, on the same
// day only: a set time in the first minutes after midnight gets no warning.
bool isAdvanceTime(const ItemSchedule& item, const DateTime& t);

// One occasion on which an item would have fired.
struct Occasion {
    DateTime due;
    int32_t item = 0;
    bool advance = false;
    bool operator==(const Occasion&) const = default;
};

// What would have fired in the minutes after `after` up to and including
// `until` (minute numbers): each item's latest occasion only, oldest first,
// items of one minute in item order.
std::vector<Occasion> occasionsBetween(const std::vector<ItemSchedule>& items, int64_t after,
                                       int64_t until);

} // namespace kelvo
