#include "ipc/RuntimeDir.h"

#include "core/Environment.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo {
namespace {

namespace fs = std::filesystem;

// Why the directory cannot be private to this user; empty when it is.
std::string privacyFault(const std::string& dir) {
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0)
        return dir + ": " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode))
        return dir + " is not a directory";
    if (st.st_uid != ::getuid())
        return dir + " belongs to another user";
    if ((st.st_mode & 077) != 0)
        return dir + " is open to other users";
    return {};
}

} // namespace

std::optional<std::string> privateRuntimeDir(std::string* why) {
    const std::string xdg = environmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.empty() && privacyFault(xdg).empty())
        return xdg;
    std::string tmp = environmentVariable("TMPDIR");
    if (tmp.empty())
        tmp = "/tmp";
    const std::string own = tmp + "/kelvo-" + std::to_string(::getuid());
    ::mkdir(own.c_str(), 0700); // an existing one is checked like a new one
    const std::string fault = privacyFault(own);
    if (fault.empty())
        return own;
    if (why)
        *why = fault;
    return std::nullopt;
}

std::string directoryKey(const std::string& dataDir) {
    std::error_code ec;
    fs::path path = fs::canonical(dataDir, ec);
    if (ec)
        path = fs::absolute(dataDir, ec).lexically_normal();
    std::string text = path.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    // FNV-1a: the names live in a directory of this user's alone, so they
    // need only be distinct, not unpredictable.
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char key[17];
    std::snprintf(key, sizeof key, "%016llx", static_cast<unsigned long long>(hash));
    return key;
}

} // namespace kelvo
