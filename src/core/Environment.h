#pragma once

#include <cstdlib>
#include <string>

namespace kelvo {

// The value of an environment variable; empty when it is not set.
inline std::string environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace kelvo
