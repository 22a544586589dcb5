#include "storage/ReminderFile.h"

#include "core/DateText.h"
#include "reminders/ItemTexts.h"
#include "storage/AckKeys.h"
#include "storage/DataFile.h"
#include "storage/DataKeys.h"
#include "storage/IniFile.h"

#include <chrono>

namespace kelvo {

ReminderList loadReminderList(const TIniFile& data) {
    const int32_t n = itemCount(data);
    ReminderList list;
    list.reserve(n);
    for (int32_t k = 1; k <= n; ++k)
        list.append(readListedItem(data, k));
    return list;
}

Firing readFiring(const TIniFile& data, int32_t item, bool advance, int32_t daysAhead) {
    const std::string section = itemSection(item);
    Firing firing;
    firing.item = item;
    firing.message = data.ReadString(section, datakeys::Message, "");
    firing.daysAhead = advance ? 0 : daysAhead;
    firing.text = advance         ? std::string(kAdvancePrefix) + firing.message
                  : daysAhead > 0 ? dayWarningPrefix(daysAhead) + firing.message
                                  : firing.message;
    firing.music = data.ReadString(section, datakeys::Music, "");
    firing.hour = data.ReadInteger(section, datakeys::Hour, kListDefaults.hour);
    firing.minute = data.ReadInteger(section, datakeys::Min, kListDefaults.min);
    if (advance)
        firing.advanceMinutes = data.ReadInteger(section, datakeys::RdBefore, 0);
    return firing;
}

void PendingMarks::add(int32_t item, std::string message) {
    m_marks.push_back(Mark{item, std::move(message)});
}

void PendingMarks::acknowledge(int32_t item, std::string message, int64_t at,
                               int64_t snoozedUntil) {
    m_marks.push_back(Mark{item, std::move(message), at, snoozedUntil});
}

void PendingMarks::itemDeleted(int32_t k) {
    std::erase_if(m_marks, [k](const Mark& m) { return m.item == k; });
    for (Mark& m : m_marks) {
        if (m.item > k)
            --m.item;
    }
}

void PendingMarks::store(TIniFile& data) {
    if (m_marks.empty())
        return;
    data.changeLocked(
        [&] {
            const int32_t n = itemCount(data);
            for (const Mark& m : m_marks) {
                const std::string section = itemSection(m.item);
                if (m.item > n || data.ReadString(section, datakeys::Message, "") != m.message)
                    continue;
                if (m.acknowledged == 0)
                    data.WriteInteger(section, datakeys::ReMinded, 1);
                else
                    writeLaterAcknowledgement(data, section, m.acknowledged, m.snoozedUntil);
            }
        },
        std::chrono::milliseconds(0));
    m_marks.clear();
}

void readMissedRows(const TIniFile& data, const std::vector<Occasion>& missed,
                    std::vector<MissedRow>& rows) {
    for (const Occasion& o : missed) {
        const int32_t method = data.ReadInteger(itemSection(o.item), datakeys::MindMethod, 0);
        const auto caption = mindMethodCaption(method);
        rows.push_back(MissedRow{formatDateTime(o.due),
                                 readFiring(data, o.item, o.advance, o.daysAhead).text,
                                 caption ? std::string(*caption) : std::to_string(method)});
    }
}

} // namespace kelvo
