#include "storage/ReminderFile.h"

#include "core/DateText.h"
#include "reminders/ItemTexts.h"
#include "storage/DataFile.h"
#include "storage/DataKeys.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"

#include <optional>

namespace kelvo {

ReminderList loadReminderList(const TIniFile& data) {
    const int32_t n = itemCount(data);
    ReminderList list;
    list.reserve(n);
    for (int32_t k = 1; k <= n; ++k)
        list.append(readListedItem(data, k));
    return list;
}

Firing readFiring(const TIniFile& data, int32_t item, bool advance) {
    const std::string section = itemSection(item);
    Firing firing;
    firing.item = item;
    firing.text = data.ReadString(section, datakeys::Message, "");
    if (advance)
        firing.text.insert(0, kAdvancePrefix);
    firing.music = data.ReadString(section, datakeys::Music, "");
    firing.hour = data.ReadInteger(section, datakeys::Hour, kListDefaults.hour);
    firing.minute = data.ReadInteger(section, datakeys::Min, kListDefaults.min);
    if (advance)
        firing.advanceMinutes = data.ReadInteger(section, datakeys::RdBefore, 0);
    return firing;
}

void storeFiring(TIniFile& data, const std::string& handOffPath, const Firing& firing) {
    std::optional<IniWriteError> handOffError;
    try {
        writeHandOff(handOffPath, HandOff{firing.text, firing.music});
    } catch (const IniWriteError& e) {
        handOffError = e;
    }
    try {
        markReminded(data, firing.item);
    } catch (const IniWriteError&) {
        if (!handOffError)
            throw;
    }
    if (handOffError)
        throw *handOffError;
}

void takeMissed(TIniFile& data, const std::vector<Occasion>& missed, std::vector<MissedRow>& rows) {
    std::vector<int32_t> items;
    for (const Occasion& o : missed) {
        const int32_t method = data.ReadInteger(itemSection(o.item), datakeys::MindMethod, 0);
        const auto caption = mindMethodCaption(method);
        rows.push_back(MissedRow{formatDateTime(o.due), readFiring(data, o.item, o.advance).text,
                                 caption ? std::string(*caption) : std::to_string(method)});
        items.push_back(o.item);
    }
    markReminded(data, items);
}

} // namespace kelvo
