#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kelvo::ctl {

struct Options;

// skip ITEM, pause ITEM --until YYYY-MM-DD and resume ITEM, with the
// arguments after the command. Throws UsageError.
void parsePauseCommand(const std::string& command, const std::vector<std::string>& args,
                       Options& options);

// Stores the skip, the pause or its end in the data file and says when the
// reminder fires next. A running Kelvo reads the change as it reads any.
void runPauseCommand(const std::string& dataFile, const Options& options, std::ostream& out);

} // namespace kelvo::ctl
