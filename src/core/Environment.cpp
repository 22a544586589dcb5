#include "core/Environment.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace kelvo {

std::string accountNameOf(std::string_view gecos, std::string_view login) {
    const std::string_view full = gecos.substr(0, gecos.find(','));
    return std::string(full.find_first_not_of(' ') == std::string_view::npos ? login : full);
}

std::string accountName() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return environmentVariable("USER");
    return accountNameOf(found->pw_gecos ? found->pw_gecos : "", found->pw_name);
}

} // namespace kelvo
