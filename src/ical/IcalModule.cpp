#include "ical/IcalModule.h"

#include <dlfcn.h>

#include <filesystem>
#include <mutex>
#include <optional>

namespace kelvo {
namespace {

namespace fs = std::filesystem;

struct Loaded {
    const IcalModuleApi* api = nullptr;
    std::string error;
};

Loaded load() {
    std::error_code ec;
    const fs::path programDir = fs::read_symlink("/proc/self/exe", ec).parent_path();
    std::string errors;
    for (const fs::path& dir : {programDir, programDir / ".." / "lib" / "kelvo"}) {
        const fs::path path = dir / kIcalModuleFile;
        if (!fs::exists(path, ec))
            continue;
        // The module stays loaded for the rest of the run.
        void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            errors += std::string(" ") + ::dlerror();
            continue;
        }
        using Entry = const IcalModuleApi* (*)();
        auto entry = reinterpret_cast<Entry>(::dlsym(module, kIcalModuleEntry));
        const IcalModuleApi* api = entry ? entry() : nullptr;
        if (api && api->version == kIcalModuleVersion)
            return {api, {}};
        errors += " " + path.string() + ": 版本不符";
    }
    return {nullptr, std::string("无法加载日历模块 ") + kIcalModuleFile + "（在 " +
                         programDir.string() + " 与 " + (programDir / "../lib/kelvo").string() +
                         " 中）。" + errors};
}

} // namespace

const IcalModuleApi& icalModule() {
    static std::once_flag once;
    static Loaded loaded;
    std::call_once(once, [] { loaded = load(); });
    if (!loaded.api)
        throw CalendarError(loaded.error);
    return *loaded.api;
}

} // namespace kelvo
