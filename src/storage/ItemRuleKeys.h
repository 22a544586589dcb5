#pragma once

#include "reminders/ReminderItem.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

class IniSectionReader;
class TIniFile;

// The keys of an item section for an interval reminder and for warnings
// days ahead (storage/DataKeys.h). A section without them reads as none.
IntervalRule readIntervalRule(const IniSectionReader& section);
DayWarnings readDayWarnings(const IniSectionReader& section);

// Writes the item's interval and warnings where it has them, and clears
// them where the section holds them already; a section of a plain item gets
// none of these keys, as a reader of the other keys alone expects.
void writeItemRules(TIniFile& file, const std::string& section, const ReminderItem& item);

// "7,1" for the warnings 7 and 1 days ahead; the warnings of such a text
// (whitespace and "、" also separate), none when any part is not a number.
std::string dayCountsText(const DayWarnings& warnings);
std::optional<std::vector<int32_t>> parseDayCounts(std::string_view text);

} // namespace kelvo
