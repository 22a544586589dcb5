#include "ical/IcalModule.h"

#include "core/Module.h"
#include "core/UserError.h"

namespace kelvo {

const IcalModuleApi& icalModule(const std::string& path) {
    // Loaded once per process, whichever thread asks first.
    static const LoadedModule loaded =
        loadProgramModule("日历模块", kIcalModuleFile, kIcalModuleEntry, kIcalModuleVersion);
    if (!loaded.table)
        throw UserError(path, loaded.errors);
    return *static_cast<const IcalModuleApi*>(loaded.table);
}

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
