#pragma once

#include <cstdint>
#include <string>

namespace kelvo {

class IniSectionReader;
class TIniFile;
struct ReminderItem;

// An item's last dismissal and the snooze it got then (ReminderItem's
// acknowledged and snoozedUntil), kept for sync in the keys Acked and
// SnoozedTo of its section as UTC times, "20261209T090030Z" as in
// iCalendar. Absent or unreadable: 0.
void readAcknowledgement(const IniSectionReader& section, ReminderItem& item);
// Writes both without storing the file; a 0 empties the key of a section
// that holds one and writes nothing to any other.
void writeAcknowledgement(TIniFile& data, const std::string& section, int64_t acknowledged,
                          int64_t snoozedUntil);
// A dismissal only moves forward: writes it (as above) when it is later than
// the one the section holds.
void writeLaterAcknowledgement(TIniFile& data, const std::string& section, int64_t acknowledged,
                               int64_t snoozedUntil);

// The UTC text of seconds since 1970, and back (nullopt-like 0 for text that
// is no such time).
std::string utcText(int64_t seconds);
int64_t parseUtcText(const std::string& text);

} // namespace kelvo
