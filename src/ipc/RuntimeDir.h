#pragma once

#include <optional>
#include <string>

namespace kelvo {

// The directory for the program's sockets and lock files that no other user
// can enter: $XDG_RUNTIME_DIR when it is set and is a directory of this user
// with mode 0700; otherwise "kelvo-<uid>" in $TMPDIR (default /tmp), made
// with mode 0700 when missing. Either is used only when it is a real
// directory (no symbolic link) owned by this user and open to nobody else.
// nullopt, with the reason in `why`, when there is none such.
std::optional<std::string> privateRuntimeDir(std::string* why = nullptr);

// A short fixed-length key for a data directory, the same for every
// spelling of its path (symbolic links, "..", a trailing slash).
std::string directoryKey(const std::string& dataDir);

} // namespace kelvo
