#pragma once

#include "storage/DataFile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo::crash {

// The writes that the crash test interrupts. The driver program performs one
// of them on a data directory; the test kills it and inspects what is left.
inline constexpr std::string_view kOperations[] = {"add", "edit", "delete", "import", "create"};

inline constexpr int32_t kStoredItems = 2000; // reminders in the data file before each write
inline constexpr int32_t kImportedItems = 500;
inline constexpr int32_t kEditedItem = 7;
inline constexpr int32_t kDeletedItem = 3;
inline constexpr const char* kExchangeFile = "Import.txt";

// Every reminder carries a message no other one has, so that a lost,
// duplicated or half-written reminder shows in the messages alone.
inline std::string storedMessage(int32_t k) {
    return "stored " + std::to_string(k) + " 提醒：开会";
}
inline std::string importedMessage(int32_t j) {
    return "imported " + std::to_string(j) + " 导入";
}
inline constexpr std::string_view kAddedMessage = "added 新提醒";
inline constexpr std::string_view kEditedMessage = "edited 改过的提醒";

// A reminder whose fields follow from its number, so a checker can tell a
// complete one from one that mixes two versions.
inline ReminderItem reminder(int32_t k, std::string message) {
    ReminderItem item;
    item.year = k % 3 == 0 ? 0 : 2000 + k % 1000;
    item.month = k % 13;
    item.day = k % 5 == 0 ? 255 + 256 * (1 + k % 7) : k % 32;
    item.hour = k % 24;
    item.min = k % 60;
    item.rdBefore = k % 31;
    item.mindMethod = k % 4;
    item.message = std::move(message);
    item.music = k % 2 == 0 ? "/home/user/音乐/" + std::to_string(k) + ".wav" : "";
    return item;
}

} // namespace kelvo::crash
