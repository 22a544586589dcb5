#include "storage/PauseKey.h"

#include "core/DateText.h"
#include "reminders/Schedule.h"
#include "storage/DataFile.h"
#include "storage/DataKeys.h"
#include "storage/IniFile.h"

#include <functional>

namespace kelvo {
namespace {

// Runs `change` on item k's section under the lock, when there is an item k.
PauseOutcome changeItem(TIniFile& data, int32_t k,
                        const std::function<PauseOutcome(const std::string&)>& change) {
    PauseOutcome outcome = PauseOutcome::NoItem;
    data.changeLocked([&] {
        outcome = k >= 1 && k <= itemCount(data) ? change(itemSection(k)) : PauseOutcome::NoItem;
    });
    return outcome;
}

} // namespace

int64_t readNotBefore(const IniSectionReader& section) {
    const auto t = parseDateTime(section.ReadString(datakeys::NotBefore, ""));
    return t ? minuteNumber(*t) : kNoPause;
}

void writeNotBefore(TIniFile& data, const std::string& section, int64_t notBefore) {
    const std::string value =
        notBefore == kNoPause ? std::string() : formatDateTime(fromMinuteNumber(notBefore));
    if (data.section(section).ReadString(datakeys::NotBefore, "") != value)
        data.WriteString(section, datakeys::NotBefore, value);
}

PauseOutcome skipNextOccurrence(TIniFile& data, int32_t k, const DateTime& now) {
    return changeItem(data, k, [&](const std::string& section) {
        const auto notBefore = afterNextOccurrence(scheduleOf(readListedItem(data, k)), now);
        if (!notBefore)
            return PauseOutcome::NothingAhead;
        writeNotBefore(data, section, *notBefore);
        return PauseOutcome::Done;
    });
}

PauseOutcome pauseItem(TIniFile& data, int32_t k, const Date& until) {
    return changeItem(data, k, [&](const std::string& section) {
        writeNotBefore(data, section, pausedUntil(until));
        return PauseOutcome::Done;
    });
}

PauseOutcome resumeItem(TIniFile& data, int32_t k) {
    return changeItem(data, k, [&](const std::string& section) {
        writeNotBefore(data, section, kNoPause);
        return PauseOutcome::Done;
    });
}

std::string_view pauseError(const Date& until, const Date& today) {
    return until > today ? std::string_view() : "暂停到的日期必须在今天之后。";
}

} // namespace kelvo
