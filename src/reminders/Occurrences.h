#pragma once

#include "core/DateTime.h"
#include "reminders/ReminderList.h"

#include <optional>

namespace kelvo {

// Whether the item falls due at some moment from `now` on: on a later day
// it falls on, or today at its set time or a full hour (hourly) not yet
// passed, or at a start of the program today (at-start).
bool firesFrom(const ItemSchedule& item, const DateTime& now);

// The last day a repeating item falls on when its repetition ends within
// the year it is bound to (every day, week or month of one year or of one
// month of a year); nullopt for an item that repeats without end, falls on
// one day only, repeats by the lunar calendar or falls on no day at all.
std::optional<Date> lastRepeatedDay(const ItemSchedule& item);

} // namespace kelvo
