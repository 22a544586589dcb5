#include "kelvoctl/PauseCommands.h"

#include "core/Clock.h"
#include "core/DateText.h"
#include "kelvoctl/Options.h"
#include "reminders/ItemTexts.h"
#include "reminders/Schedule.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "storage/PauseKey.h"

#include <ostream>

namespace kelvo::ctl {

void parsePauseCommand(const std::string& command, const std::vector<std::string>& args,
                       Options& options) {
    options.command = command == "skip"    ? Command::Skip
                      : command == "pause" ? Command::Pause
                                           : Command::Resume;
    const bool pause = options.command == Command::Pause;
    const std::string form = command + (pause ? " ITEM --until YYYY-MM-DD" : " ITEM");
    if (args.size() != (pause ? 3u : 1u) || (pause && args[1] != "--until"))
        throw UsageError(command + " needs " + form);
    options.item = parseItemNumber(command, args[0]);
    if (!pause)
        return;
    const auto until = parseDate(args[2]);
    if (!until)
        throw UsageError("pause: --until: not a date of the form YYYY-MM-DD: " + args[2]);
    options.until = *until;
}

namespace {

PauseOutcome change(TIniFile& data, const Options& options, const DateTime& now) {
    if (options.command == Command::Skip)
        return skipNextOccurrence(data, options.item, now);
    if (options.command == Command::Pause) {
        if (const std::string_view error = pauseError(options.until, now.date); !error.empty())
            throw UsageError(std::string(error));
        return pauseItem(data, options.item, options.until);
    }
    return resumeItem(data, options.item);
}

} // namespace

void runPauseCommand(const std::string& dataFile, const Options& options, std::ostream& out) {
    const DateTime now = SystemClock().now();
    TIniFile data(dataFile);
    requireReadable(data);
    const int32_t k = options.item;
    switch (change(data, options, now)) {
    case PauseOutcome::NoItem:
        throw UsageError("there is no reminder " + std::to_string(k) + " (there are " +
                         std::to_string(itemCount(data)) + ")");
    case PauseOutcome::NothingAhead:
        throw UsageError("skip: reminder " + std::to_string(k) + " does not fire again");
    case PauseOutcome::Done:
        break;
    }
    const ItemSchedule item = scheduleOf(readListedItem(data, k));
    out << "reminder " << k << pauseNote(item, now) << '\n';
    if (const auto next = nextFiring(item, now))
        out << nextFiringText(next->at) << '\n';
}

} // namespace kelvo::ctl
