#pragma once

#include "reminders/SnoozeEntry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

// The snooze file (Snooze.ini beside the data file) keeps the queue across
// restarts:
//   [Main]  Count=N
//   [Snooze1] … [SnoozeN]  Item=<item number>  Due=<UTC seconds>
// Each write replaces the whole file atomically; throws IniWriteError.
void writeSnoozeFile(const std::string& path, const std::vector<SnoozeEntry>& entries);
// The entries of the first `limit` sections in their order; entries that
// are damaged (no item number above 0 or no time) are left out.
std::vector<SnoozeEntry> readSnoozeFile(const std::string& path, size_t limit);

} // namespace kelvo
