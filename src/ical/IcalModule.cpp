#include "ical/IcalModule.h"

#include "core/Module.h"
#include "core/UserError.h"

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

const IcalModuleApi& icalModule(const std::string& path) {
    static std::once_flag once;
    static Loaded loaded;
    std::call_once(once, [] { loaded = load(); });
    if (!loaded.api)
        throw UserError(path, loaded.error);
    return *loaded.api;
}

} // namespace

std::vector<CalendarEvent> calendarEvents(const std::string& text, int64_t nowUtc,
                                          const std::string& path) {
    std::vector<CalendarEvent> events;
    std::string error;
    if (!icalModule(path).read(text, nowUtc, events, error))
        throw UserError(path, "无法读取日历文件 " + path + "：" + error);
    return events;
}

std::string calendarText(const std::vector<CalendarEvent>& events, int64_t stampUtc,
                         const std::string& path) {
    std::string text, error;
    if (!icalModule(path).write(events, stampUtc, text, error))
        throw UserError(path, "无法写出日历文件：" + error);
    return text;
}

} // namespace kelvo
