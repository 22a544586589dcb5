#pragma once

#include "storage/Paths.h"

#include <optional>
#include <string>

namespace kelvo {

// The file whose presence beside the executable makes the program a portable
// copy that keeps its data files there.
inline constexpr const char* kPortableMarker = "kelvo-portable";

// Where the program runs from.
struct ProgramPlace {
    std::string dir;       // the directory of the executable
    bool portable = false; // whether the portable marker lies beside it
};

// The variables of the user's environment that choose the data directory.
struct UserEnvironment {
    std::string xdgDataHome; // $XDG_DATA_HOME; empty when unset
    std::string home;        // $HOME
};

ProgramPlace programPlace(const std::string& programDir);
UserEnvironment userEnvironment();

// The directory of the data files: the one given on the command line; else
// the program's own when the portable marker lies there; else, for an
// installed program as for one in a build tree, $XDG_DATA_HOME/kelvo
// (~/.local/share/kelvo when unset or not absolute), created when missing.
// Throws UserError when no directory can be had.
std::string chooseDataDirectory(const std::optional<std::string>& dirOption,
                                const ProgramPlace& program, const UserEnvironment& env);

// The data files in `dataDir`, the help page looked up there, then beside the
// program, then in the installed share/kelvo beside the program's bin.
DataPaths programDataPaths(const std::string& dataDir, const std::string& programDir);

} // namespace kelvo
