#pragma once

#include <cstdlib>
#include <string>
#include <string_view>

namespace kelvo {

// The value of an environment variable; empty when it is not set.
inline std::string environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The user's name as an account gives it: the full name, the first field of
// its comment (GECOS) field, else the login name.
std::string accountNameOf(std::string_view gecos, std::string_view login);
// The name of the account the program runs as; empty when it has none.
std::string accountName();

} // namespace kelvo
