#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kelvo::ctl {

// Runs kelvoctl with the arguments after the program name and returns the
// exit status: 0 done, 2 a usage error (one line on err), 1 anything else.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

} // namespace kelvo::ctl
