#pragma once

#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "storage/Paths.h"
#include "storage/ReminderFile.h"
#include "support/TempDir.h"
#include "sync/SyncEngine.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kelvo::test {

inline const ClockReading kNow{DateTime{Date{2026, 12, 9}, 10, 0, 0}, 1'796'810'400, 0};

inline ReminderItem once(const std::string& message, int32_t hour = 9) {
    ReminderItem item;
    item.year = 2027, item.month = 3, item.day = 1, item.hour = hour;
    item.message = message;
    return item;
}

// One data directory: a computer.
struct Computer {
    TempDir dir;
    std::string data() const { return DataPaths{dir.path()}.dataFile(); }
    void add(const ReminderItem& item) {
        TIniFile file(data());
        appendItem(file, item, false);
    }
    ReminderItem item(int32_t k) const { return readItem(TIniFile(data()), k, kExchangeDefaults); }
    int32_t numberOf(const std::string& message) const {
        const TIniFile file(data());
        for (int32_t k = 1; k <= itemCount(file); ++k) {
            if (readItem(file, k, kExchangeDefaults).message == message)
                return k;
        }
        return 0;
    }
    void edit(const std::string& message, const ReminderItem& item) {
        TIniFile file(data());
        storeEditedItem(file, numberOf(message), item);
    }
    void remove(const std::string& message) {
        TIniFile file(data());
        deleteItem(file, numberOf(message));
    }
    std::vector<std::string> messages() const {
        const TIniFile file(data());
        std::vector<std::string> all;
        for (int32_t k = 1; k <= itemCount(file); ++k)
            all.push_back(readItem(file, k, kExchangeDefaults).message);
        std::sort(all.begin(), all.end());
        return all;
    }
    // The user dismissed the reminder here at `at`, snoozing it until
    // `snoozedUntil`, as the program stores it.
    void dismiss(const std::string& message, int64_t at, int64_t snoozedUntil = 0) {
        TIniFile file(data());
        PendingMarks marks;
        marks.acknowledge(numberOf(message), message, at, snoozedUntil);
        marks.store(file);
    }
    SyncReport sync(CalendarServer& server) { return syncReminders(server, dir.path(), kNow); }
};

} // namespace kelvo::test
