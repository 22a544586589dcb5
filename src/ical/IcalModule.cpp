#include "ical/IcalModule.h"

#include "core/Module.h"

#include <mutex>

namespace kelvo {
namespace {

struct Loaded {
    const IcalModuleApi* api = nullptr;
    std::string error;
};

Loaded load() {
    const std::vector<std::filesystem::path> dirs = moduleDirs(runningProgramDir());
    const LoadedModule module =
        loadModule(dirs, kIcalModuleFile, kIcalModuleEntry, kIcalModuleVersion);
    if (module.table)
        return {static_cast<const IcalModuleApi*>(module.table), {}};
    return {nullptr, std::string("无法加载日历模块 ") + kIcalModuleFile + "（在 " +
                         dirs[0].string() + " 与 " + dirs[1].string() + " 中）。" + module.errors};
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
