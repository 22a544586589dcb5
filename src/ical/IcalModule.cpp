#include "ical/IcalModule.h"

#include "core/Module.h"

#include <mutex>

namespace kelvo {

const IcalModuleApi& icalModule() {
    static std::once_flag once;
    static LoadedModule loaded;
    std::call_once(once, [] {
        loaded =
            loadProgramModule("日历模块", kIcalModuleFile, kIcalModuleEntry, kIcalModuleVersion);
    });
    if (!loaded.table)
        throw CalendarError(loaded.errors);
    return *static_cast<const IcalModuleApi*>(loaded.table);
}

} // namespace kelvo
