#include "kelvoctl/CalendarCommands.h"

#include "core/Clock.h"
#include "ical/CalendarFile.h"
#include "ical/SkipReport.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"

#include <ostream>

namespace kelvo::ctl {

void exportCalendarFile(const TIniFile& data, const std::vector<int32_t>& items,
                        const std::string& file, std::ostream& out) {
    const ClockReading now = SystemClock().read();
    const CalendarExport result = exportCalendar(data, items, file, now.local.date, now.utcSeconds);
    out << "exported " << result.written << " reminder(s) to " << file << " as events\n";
    if (result.neverFiring > 0)
        out << "left out " << result.neverFiring << " reminder(s) that fire on no day\n";
}

void importCalendarFile(TIniFile& data, const std::string& file, bool allowCommands, bool verbose,
                        std::ostream& out) {
    const CalendarImport calendar = readCalendar(file, data, SystemClock().read());
    const ActingItems acting = allowCommands ? ActingItems::AddUnconfirmed : ActingItems::Skip;
    const int32_t added = importCalendar(data, calendar, acting);
    out << "imported " << added << " reminder(s) from " << file << "; there are now "
        << itemCount(data) << '\n';
    const size_t actingSkipped = allowCommands ? 0 : actingItems(calendar.items).size();
    if (actingSkipped > 0)
        out << "skipped " << actingSkipped
            << " reminder(s) that run a command or shut the computer down"
               " (import them with --allow-commands)\n";
    if (calendar.skipped.empty())
        return;
    out << "skipped " << calendar.skipped.size() << " event(s) a reminder cannot express:\n";
    for (const std::string& line : skippedLines(calendar.skipped, verbose))
        out << "  " << line << '\n';
}

} // namespace kelvo::ctl
