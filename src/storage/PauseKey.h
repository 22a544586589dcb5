#pragma once

#include "core/DateTime.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo {

class IniSectionReader;
class TIniFile;

// An item's not-before moment (ItemSchedule::notBefore) in the NotBefore key
// of its section. Absent, empty or not a date and time: kNoPause.
int64_t readNotBefore(const IniSectionReader& section);
// Writes it without storing the file; kNoPause empties the key of a section
// that holds one and writes nothing to any other.
void writeNotBefore(TIniFile& data, const std::string& section, int64_t notBefore);

// The changes of the main window's menu and kelvoctl. Each reads item k
// from the file as it is and stores the file under its lock, in one change;
// nothing is written when there is no item k. They throw IniWriteError.
enum class PauseOutcome { Done, NoItem, NothingAhead };

// The next occurrence of item k after the minute `now` (after those skipped
// already) does not fire. NothingAhead: the item fires no more.
PauseOutcome skipNextOccurrence(TIniFile& data, int32_t k, const DateTime& now);
// Item k reminds again from the first minute of `until`.
PauseOutcome pauseItem(TIniFile& data, int32_t k, const Date& until);
// Item k reminds as always again.
PauseOutcome resumeItem(TIniFile& data, int32_t k);

// Why a pause until `until` is refused on `today` (a day that has come
// already), in the words the user reads; empty when it is not.
std::string_view pauseError(const Date& until, const Date& today);

} // namespace kelvo
