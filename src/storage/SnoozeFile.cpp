#include "storage/SnoozeFile.h"

#include "core/WholeNumber.h"
#include "storage/FileIO.h"
#include "storage/IniFile.h"

#include <algorithm>
#include <cerrno>

namespace kelvo {
namespace {

std::string section(size_t i) {
    return "Snooze" + std::to_string(i + 1);
}

} // namespace

void writeSnoozeFile(const std::string& path, const std::vector<SnoozeEntry>& entries) {
    std::string text = "[Main]\r\nCount=" + std::to_string(entries.size()) + "\r\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        text += "[" + section(i) + "]\r\nItem=" + std::to_string(entries[i].item) +
                "\r\nDue=" + std::to_string(entries[i].due) + "\r\n";
    }
    if (!replaceFileAtomically(path, text))
        throw IniWriteError(path, errno);
}

std::vector<SnoozeEntry> readSnoozeFile(const std::string& path, size_t limit) {
    const TIniFile file(path);
    const int32_t count = file.ReadInteger("Main", "Count", 0);
    std::vector<SnoozeEntry> entries;
    // No more sections than a queue holds are looked at: the writer never
    // writes more, and a damaged count cannot make the start wait.
    const size_t sections = std::min(static_cast<size_t>(std::max(count, 0)), limit);
    for (size_t i = 0; i < sections; ++i) {
        const int32_t item = file.ReadInteger(section(i), "Item", 0);
        const auto due = parseWholeNumber<int64_t>(file.ReadString(section(i), "Due", ""));
        if (item > 0 && due)
            entries.push_back(SnoozeEntry{*due, item});
    }
    return entries;
}

} // namespace kelvo
