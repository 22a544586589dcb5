#include "reminders/MissedReminders.h"

#include "core/DateText.h"
#include "reminders/ItemTexts.h"
#include "reminders/ReminderEngine.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"

#include <optional>

namespace kelvo {

void takeMissed(TIniFile& data, const std::vector<Occasion>& missed, std::vector<MissedRow>& rows) {
    std::optional<IniWriteError> firstError;
    for (const Occasion& o : missed) {
        const int32_t method = data.ReadInteger(itemSection(o.item), "MindMethod", 0);
        const auto caption = mindMethodCaption(method);
        rows.push_back(MissedRow{formatDateTime(o.due), readFiring(data, o.item, o.advance).text,
                                 caption ? std::string(*caption) : std::to_string(method)});
        try {
            markReminded(data, o.item);
        } catch (const IniWriteError& e) {
            if (!firstError)
                firstError = e;
        }
    }
    if (firstError)
        throw *firstError;
}

} // namespace kelvo
