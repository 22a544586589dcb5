#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace kelvo {
class TIniFile;
}

namespace kelvo::ctl {

// export --ics: the items (numbers checked) as events of a calendar file.
void exportCalendarFile(const TIniFile& data, const std::vector<int32_t>& items,
                        const std::string& file, std::ostream& out);

// import of a calendar file: the events that become reminders are
// appended, those that run a command or shut down only when allowed; the
// skipped events are told with their reasons (grouped by reason when
// many, each one when `verbose`).
void importCalendarFile(TIniFile& data, const std::string& file, bool allowCommands, bool verbose,
                        std::ostream& out);

} // namespace kelvo::ctl
