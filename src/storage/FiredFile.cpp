#include "storage/FiredFile.h"

#include "core/DateText.h"
#include "core/WholeNumber.h"
#include "storage/FileIO.h"
#include "storage/IniFile.h"

#include <algorithm>
#include <cerrno>

namespace kelvo {
namespace {

// More than a week of firings of a full list is not looked at.
constexpr int32_t kMostSections = 100000;

std::string section(size_t i) {
    return "Fired" + std::to_string(i + 1);
}

} // namespace

void writeFiredFile(const std::string& path, const std::vector<FiredOccasion>& fired) {
    std::string text = "[Main]\r\nCount=" + std::to_string(fired.size()) + "\r\n";
    for (size_t i = 0; i < fired.size(); ++i) {
        const FiredOccasion& f = fired[i];
        text += "[" + section(i) + "]\r\nKey=" + std::to_string(f.key) +
                "\r\nAt=" + formatDateTime(fromMinuteNumber(f.minute)) +
                "\r\nKind=" + std::to_string(static_cast<int>(f.kind)) +
                "\r\nFiredAt=" + std::to_string(f.firedAt) + "\r\n";
    }
    if (!replaceFileAtomically(path, text))
        throw IniWriteError(path, errno);
}

std::vector<FiredOccasion> readFiredFile(const std::string& path) {
    const TIniFile file(path);
    const int32_t count = std::min(file.ReadInteger("Main", "Count", 0), kMostSections);
    std::vector<FiredOccasion> fired;
    for (int32_t i = 0; i < count; ++i) {
        const std::string s = section(static_cast<size_t>(i));
        const auto key = parseWholeNumber<uint64_t>(file.ReadString(s, "Key", ""));
        const auto at = parseDateTime(file.ReadString(s, "At", ""));
        const int32_t kind = file.ReadInteger(s, "Kind", -1);
        const auto firedAt = parseWholeNumber<int64_t>(file.ReadString(s, "FiredAt", ""));
        if (key && at && kind >= 0 && kind <= static_cast<int32_t>(FiringKind::DaysAhead) &&
            firedAt)
            fired.push_back(
                FiredOccasion{0, *key, minuteNumber(*at), static_cast<FiringKind>(kind), *firedAt});
    }
    return fired;
}

} // namespace kelvo
