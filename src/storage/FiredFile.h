#pragma once

#include "reminders/FiredOccasions.h"

#include <string>
#include <vector>

namespace kelvo {

// The fired file (Fired.ini beside the data file) keeps the occasions that
// fired in the last days across restarts, so that a clock set back before a
// restart fires nothing twice:
//   [Main]  Count=N
//   [Fired1] … [FiredN]  Key=<item content key>  At=YYYY-MM-DD HH:MM (the
//   occasion, local time)  Kind=0 full hour, 1 set time, 2 advance,
//   3 a later minute of an interval window, 4 a warning days ahead
//   FiredAt=<UTC seconds>
// Each write replaces the whole file atomically; throws IniWriteError.
void writeFiredFile(const std::string& path, const std::vector<FiredOccasion>& fired);
// The occasions of the file in their order; damaged sections are left out.
std::vector<FiredOccasion> readFiredFile(const std::string& path);

} // namespace kelvo
