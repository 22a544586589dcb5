#include "storage/AckKeys.h"

#include "core/DateTime.h"
#include "reminders/ReminderItem.h"
#include "storage/DataKeys.h"
#include "storage/IniFile.h"

#include <cstdio>
#include <string_view>

namespace kelvo {
namespace {

void writeMoment(TIniFile& data, const std::string& section, std::string_view key,
                 int64_t seconds) {
    const std::string value = seconds > 0 ? utcText(seconds) : std::string();
    if (data.section(section).ReadString(key, "") != value)
        data.WriteString(section, key, value);
}

} // namespace

// The moment as the wall clock of UTC: minute numbers count from 1970 alike.
std::string utcText(int64_t seconds) {
    const int64_t minute = seconds >= 0 ? seconds / 60 : -((-seconds + 59) / 60);
    const DateTime t = fromMinuteNumber(minute);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02dZ", t.date.year, t.date.month,
                  t.date.day, t.hour, t.minute, static_cast<int>(seconds - minute * 60));
    return text;
}

int64_t parseUtcText(const std::string& text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char zone = 0;
    int used = 0;
    if (text.size() != 16 ||
        std::sscanf(text.c_str(), "%4d%2d%2dT%2d%2d%2d%c%n", &y, &mo, &d, &h, &mi, &s, &zone,
                    &used) != 7 ||
        used != 16 || zone != 'Z')
        return 0;
    if (y < 1970 || mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, mo) || h > 23 || mi > 59 ||
        s > 60)
        return 0;
    return localSeconds(DateTime{Date{y, mo, d}, h, mi, s});
}

void readAcknowledgement(const IniSectionReader& section, ReminderItem& item) {
    item.acknowledged = parseUtcText(section.ReadString(datakeys::Acked, ""));
    item.snoozedUntil = parseUtcText(section.ReadString(datakeys::SnoozedTo, ""));
}

void writeLaterAcknowledgement(TIniFile& data, const std::string& section, int64_t acknowledged,
                               int64_t snoozedUntil) {
    if (acknowledged > parseUtcText(data.section(section).ReadString(datakeys::Acked, "")))
        writeAcknowledgement(data, section, acknowledged, snoozedUntil);
}

void writeAcknowledgement(TIniFile& data, const std::string& section, int64_t acknowledged,
                          int64_t snoozedUntil) {
    writeMoment(data, section, datakeys::Acked, acknowledged);
    writeMoment(data, section, datakeys::SnoozedTo, snoozedUntil);
}

} // namespace kelvo
