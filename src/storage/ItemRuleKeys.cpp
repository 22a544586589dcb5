#include "storage/ItemRuleKeys.h"

#include "core/WholeNumber.h"
#include "storage/DataKeys.h"
#include "storage/IniFile.h"

namespace kelvo {
namespace {

namespace key = datakeys;

bool holds(const TIniFile& file, const std::string& section, std::string_view k) {
    return !file.section(section).ReadString(k, "").empty();
}

} // namespace

IntervalRule readIntervalRule(const IniSectionReader& s) {
    const int32_t every = s.ReadInteger(key::Interval, 0);
    if (every <= 0)
        return IntervalRule{};
    const int32_t hour = s.ReadInteger(key::IntervalEndHour, 0);
    const int32_t min = s.ReadInteger(key::IntervalEndMin, 0);
    const bool clock = hour >= 0 && hour <= 23 && min >= 0 && min <= 59;
    return intervalRule(every, clock ? hour * 60 + min : -1);
}

DayWarnings readDayWarnings(const IniSectionReader& s) {
    const auto days = parseDayCounts(s.ReadString(key::WarnDays, ""));
    if (!days)
        return DayWarnings{};
    const int32_t hour = s.ReadInteger(key::WarnHour, -1);
    const int32_t min = s.ReadInteger(key::WarnMin, 0);
    const bool ownTime = hour >= 0 && hour <= 23 && min >= 0 && min <= 59;
    return dayWarnings(*days, ownTime ? hour * 60 + min : -1);
}

void writeItemRules(TIniFile& file, const std::string& section, const ReminderItem& item) {
    if (item.interval.active() || holds(file, section, key::Interval)) {
        file.WriteInteger(section, key::Interval, item.interval.every);
        file.WriteInteger(section, key::IntervalEndHour, item.interval.end / 60);
        file.WriteInteger(section, key::IntervalEndMin, item.interval.end % 60);
    }
    if (item.warnings.any() || holds(file, section, key::WarnDays))
        file.WriteString(section, key::WarnDays, dayCountsText(item.warnings));
    if (item.warnings.minute >= 0 || holds(file, section, key::WarnHour)) {
        const bool ownTime = item.warnings.minute >= 0;
        file.WriteInteger(section, key::WarnHour, ownTime ? item.warnings.minute / 60 : -1);
        file.WriteInteger(section, key::WarnMin, ownTime ? item.warnings.minute % 60 : 0);
    }
}

std::string dayCountsText(const DayWarnings& warnings) {
    std::string text;
    for (const uint8_t days : warnings.days) {
        if (days == 0)
            break;
        if (!text.empty())
            text += ',';
        text += std::to_string(days);
    }
    return text;
}

std::optional<std::vector<int32_t>> parseDayCounts(std::string_view text) {
    std::vector<int32_t> days;
    std::string part;
    const auto take = [&]() {
        if (part.empty())
            return true;
        const auto n = parseWholeNumber<int32_t>(part);
        part.clear();
        if (!n)
            return false;
        days.push_back(*n);
        return true;
    };
    static constexpr std::string_view kComma = "、";
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, kComma.size()) == kComma) {
            i += kComma.size() - 1;
            if (!take())
                return std::nullopt;
        } else if (text[i] == ',' || text[i] == ' ' || text[i] == '\t') {
            if (!take())
                return std::nullopt;
        } else {
            part += text[i];
        }
    }
    if (!take())
        return std::nullopt;
    return days;
}

} // namespace kelvo
