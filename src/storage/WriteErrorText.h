#pragma once

#include "storage/IniFile.h"

#include <string>

namespace kelvo {

// What the user reads about a change that was not stored, in Chinese, with
// the file and why: another program kept it locked or it could not be read
// (so it is not written over), which the error itself says, or it could not
// be written, which ends with the error's own "Unable to write to <path>".
std::string writeErrorText(const IniWriteError& e);

} // namespace kelvo
