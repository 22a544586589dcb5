#pragma once

#include "editors/ItemInput.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvo::ctl {

// WHEN of add and edit, "YEAR-MONTH-DAY HH:MM": a date field given as "*"
// repeats (every year, month or day) and is empty here. A lunar WHEN may
// write its month with a leading L for the leap month that follows it.
struct When {
    std::optional<int32_t> year, month, day;
    bool leapMonth = false;
    int32_t hour = 0, min = 0;
};
// nullopt when the text is not of that form. Numbers are decimal digits,
// not yet checked against any range: that is the input check's work.
std::optional<When> parseWhen(std::string_view text, bool lunar = false);

// What add and edit were given; edit changes exactly what is given.
struct ItemArgs {
    std::optional<When> when;
    std::optional<std::string> message;
    std::optional<std::array<bool, 7>> weekdays;        // --weekdays, Monday first
    std::optional<OfficialRule> official;               // --workdays, --days-off
    std::optional<int32_t> advance;                     // --advance
    std::optional<int32_t> mode;                        // --mode
    std::optional<std::string> sound;                   // --sound; empty: no sound
    bool shutdown = false;                              // --shutdown
    bool lunar = false;                                 // --lunar: WHEN is a lunar date
    std::optional<int32_t> every;                       // --every MIN; 0: no longer an interval
    std::optional<std::pair<int32_t, int32_t>> between; // --between: minutes of the day
    std::optional<std::vector<int32_t>> warnDays;       // --warn: its day counts
    std::optional<int32_t> warnAt; // --warn-at: minute of the day; -1 the set time
};

// Takes the option at args[i] (and its value) into `item`; false when
// args[i] is none of the item options. Throws UsageError for a bad value.
bool takeItemOption(const std::vector<std::string>& args, size_t& i, ItemArgs& item);

// The input as the dialogs would hold it after the user entered what was
// given; throws UsageError for contradictory arguments and for a lunar WHEN
// that names no lunar date. A lunar repetition starts on its first day on or
// after `today`.
ItemInput applyItemArgs(ItemInput input, const ItemArgs& item, const Date& today);

} // namespace kelvo::ctl
