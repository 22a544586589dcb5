#include "kelvoctl/Options.h"

#include "core/WholeNumber.h"
#include "kelvoctl/PauseCommands.h"

#include <algorithm>
#include <cstdio>

namespace kelvo::ctl {

const char* const kUsage =
    "Usage: kelvoctl [--dir DIR] COMMAND\n"
    "Reads the reminders of DataFile.dat in DIR (default: $XDG_DATA_HOME/kelvo, or\n"
    "~/.local/share/kelvo when unset; the directory of kelvoctl when a file kelvo-portable\n"
    "lies there).\n"
    "\n"
    "Commands:\n"
    "  list                                   the reminder list, one line per reminder\n"
    "  due --from \"YYYY-MM-DD HH:MM\" --to \"YYYY-MM-DD HH:MM\"\n"
    "                                         every firing of the minute check in that range\n"
    "                                         (both ends included): DATE TIME<TAB>ITEM<TAB>TEXT\n"
    "  due --start YYYY-MM-DD                 the firings of the start check on that date\n"
    "  next [N]                               the next N firings (default 10) from now, in\n"
    "                                         the same form as due\n"
    "  lunar YEAR MONTH DAY [--leap]          the Gregorian date of a lunar date\n"
    "  lunar -                                the same for lines \"YEAR MONTH DAY LEAP\" on stdin\n"
    "  lunar --of YYYY-MM-DD                  the lunar date of a Gregorian date:\n"
    "                                         YEAR MONTH DAY LEAP<TAB>NAME (农历十月廿九)\n"
    "  export FILE [ITEM...]                  write the reminders numbered ITEM (from 1; all when\n"
    "                                         none is named) to the exchange file FILE\n"
    "  export --ics FILE [ITEM...]            the same as an iCalendar file (one event each)\n"
    "  import FILE [--allow-commands] [--verbose]\n"
    "                                         append the reminders of the exchange file or the\n"
    "                                         iCalendar file FILE (told apart by content);\n"
    "                                         those that run a command or shut the computer\n"
    "                                         down are skipped unless --allow-commands is given\n"
    "                                         (their commands then run only when asked for);\n"
    "                                         of a calendar, it says which events it skipped\n"
    "                                         and why (many grouped by reason; --verbose lists\n"
    "                                         every one)\n"
    "  add WHEN MESSAGE [OPTIONS] [--json]    add a reminder as the add dialog does and print\n"
    "                                         its number; WHEN is \"YEAR-MONTH-DAY HH:MM\", where\n"
    "                                         YEAR, MONTH and DAY may be * (every year, month,\n"
    "                                         day): \"*-*-15 09:00\", \"2026-12-24 08:30\"\n"
    "  edit ITEM [--when WHEN] [--message TEXT] [OPTIONS]\n"
    "                                         change what is given of reminder ITEM, as the edit\n"
    "                                         dialog stores it (WHEN sets the whole date and "
    "time)\n"
    "  delete ITEM...                         delete reminders; later ones move down\n"
    "  show ITEM                              every key of reminder ITEM as stored, Key=Value\n"
    "  sync [--json]                          sync the reminders with the account's CalDAV\n"
    "                                         calendar once and tell what moved\n"
    "  sync --setup URL USER [--calendar NAME] [--trust SHA256]\n"
    "                                         set the account: the password is read from\n"
    "                                         standard input; the calendar NAME, else the one\n"
    "                                         named Kelvo, else a new one named Kelvo\n"
    "  holidays list [YEAR] [--json]          the years of official holiday arrangements known\n"
    "                                         (built in, or imported) and where each came from;\n"
    "                                         with YEAR, its days: DATE<TAB>休|班<TAB>NAME\n"
    "  holidays import FILE                   store the years of a holiday calendar (.ics:\n"
    "                                         all-day events titled \"春节(休)\", \"春节(班)\",\n"
    "                                         \"休\", \"班\", or with X-APPLE-SPECIAL-DAY) or of\n"
    "                                         a text file (lines \"2027-02-06 休\"); they take\n"
    "                                         the place of the built-in years of the same number\n"
    "  skip ITEM                              the next occurrence of reminder ITEM does not\n"
    "                                         fire (again: the one after it too)\n"
    "  pause ITEM --until YYYY-MM-DD          reminder ITEM fires again from that day on\n"
    "  resume ITEM                            undoes skip and pause: it fires as always\n"
    "\n"
    "Options of add and edit:\n"
    "  --weekdays 1,3,5     weekly on these days (1 Monday ... 7 Sunday); DAY is then *\n"
    "  --workdays           on the official workdays (法定工作日): Monday to Friday but the\n"
    "                       days off, and the worked weekend days (调休); DAY is then *\n"
    "  --days-off           on the official days off only (法定节假日); DAY is then *\n"
    "                       (a year without holiday data: workdays fall back to Monday to\n"
    "                       Friday, days off to none; add and next say so on stderr)\n"
    "  --advance MIN        remind MIN minutes early as well (0 ... 30)\n"
    "  --mode 0..3          0 at the time only, 1 also every full hour, 2 also at the\n"
    "                       program's start, 3 both\n"
    "  --every MIN          an interval reminder: every MIN minutes (5 ... 720) within\n"
    "  --between HH:MM-HH:MM  this window of the day (its start is the reminder's time),\n"
    "                       on the days of WHEN and --weekdays; edit: --every 0 ends it\n"
    "  --warn 7d,1d,30m     warn 7 and 1 days ahead (1 ... 30 days, at most 5) and 30\n"
    "                       minutes ahead (as --advance); \"\" no warnings days ahead\n"
    "  --warn-at HH:MM      the time of day of the warnings days ahead (\"\": the\n"
    "                       reminder's own time, the default)\n"
    "  --sound FILE         play FILE (\"\": the default sound)\n"
    "  --shutdown           shut the computer down (add: instead of MESSAGE)\n"
    "  --lunar              WHEN is a lunar date: \"*-8-15 09:00\" every lunar year on\n"
    "                       八月十五, \"*-*-1 07:00\" every lunar month on 初一,\n"
    "                       \"2027-8-15 09:00\" once; L4 is the leap month after the 4th\n"
    "                       (edit: a WHEN without --lunar makes the reminder Gregorian;\n"
    "                       a lunar reminder edited without WHEN stays lunar)\n"
    "list -n puts the number and a tab before each line; --json (list, show, due, next) prints\n"
    "one JSON object per line and reminder or firing; add --json prints {\"Item\":N,\n"
    "\"MissingHolidayYears\":[...]}, and a firing of due and next --json has\n"
    "\"NoHolidayData\":true when its year has no holiday arrangement.\n"
    "\n"
    "Input the add dialog refuses is refused with its message (status 2, nothing written).\n"
    "While Kelvo runs on the directory, delete is done by it, so that its waiting\n"
    "snoozes move with the reminders. list, show, due, next and export change no file.\n"
    "due and next leave out what a skip or a pause keeps from firing.\n"
    "Usage errors exit with status 2.\n";

namespace {

std::string takeValue(const std::vector<std::string>& args, size_t& i) {
    if (i + 1 >= args.size())
        throw UsageError(args[i] + " needs a value");
    return args[++i];
}

DateTime requireDateTime(const std::string& text) {
    const auto t = parseDateTime(text);
    if (!t)
        throw UsageError("not a date and time of the form \"YYYY-MM-DD HH:MM\": " + text);
    return *t;
}

void parseDue(const std::vector<std::string>& args, Options& options) {
    std::optional<std::string> from, to, start;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json")
            options.json = true;
        else if (args[i] == "--from")
            from = takeValue(args, i);
        else if (args[i] == "--to")
            to = takeValue(args, i);
        else if (args[i] == "--start")
            start = takeValue(args, i);
        else
            throw UsageError("due: unexpected argument: " + args[i]);
    }
    if (start && !from && !to) {
        const auto date = parseDate(*start);
        if (!date)
            throw UsageError("not a date of the form YYYY-MM-DD: " + *start);
        options.command = Command::DueStart;
        options.start = *date;
        return;
    }
    if (start || !from || !to)
        throw UsageError("due needs either --from and --to, or --start");
    options.command = Command::DueRange;
    options.from = requireDateTime(*from);
    options.to = requireDateTime(*to);
    if (options.to < options.from)
        throw UsageError("due: --to lies before --from");
}

// next [N] [--json]
void parseNext(const std::vector<std::string>& args, Options& options) {
    options.command = Command::Next;
    bool counted = false;
    for (const std::string& arg : args) {
        const auto n = parseInt(arg);
        if (arg == "--json") {
            options.json = true;
        } else if (n && *n >= 1 && !counted) {
            options.count = *n;
            counted = true;
        } else {
            throw UsageError("next: unexpected argument (next [N] [--json]): " + arg);
        }
    }
}

// list [-n] [--json]
void parseList(const std::vector<std::string>& args, Options& options) {
    options.command = Command::List;
    for (const std::string& arg : args) {
        if (arg == "-n")
            options.numbered = true;
        else if (arg == "--json")
            options.json = true;
        else
            throw UsageError("list: unexpected argument: " + arg);
    }
}

void parseLunar(const std::vector<std::string>& args, Options& options) {
    if (args.size() == 1 && args[0] == "-") {
        options.command = Command::LunarStream;
        return;
    }
    if (!args.empty() && args[0] == "--of") {
        const auto date = args.size() == 2 ? parseDate(args[1]) : std::nullopt;
        if (!date)
            throw UsageError("lunar --of needs one date of the form YYYY-MM-DD");
        options.command = Command::LunarOf;
        options.lunarOf = *date;
        return;
    }
    std::vector<int32_t> numbers;
    for (const std::string& arg : args) {
        if (arg == "--leap") {
            options.lunar.IsLeap = true;
            continue;
        }
        const auto n = parseInt(arg);
        if (!n)
            throw UsageError("lunar: not a number: " + arg);
        numbers.push_back(*n);
    }
    if (numbers.size() != 3)
        throw UsageError("lunar needs YEAR MONTH DAY [--leap], or -");
    options.command = Command::Lunar;
    options.lunar.Year = numbers[0];
    options.lunar.Month = numbers[1];
    options.lunar.Day = numbers[2];
}

// Removes the flag from the arguments; whether it was there.
bool takeFlag(std::vector<std::string>& args, std::string_view flag) {
    const auto found = std::find(args.begin(), args.end(), flag);
    if (found == args.end())
        return false;
    args.erase(found);
    return true;
}

// export [--ics] FILE [ITEM...], import FILE [--allow-commands] [--verbose]
void parseExchange(const std::string& command, std::vector<std::string> args, Options& options) {
    const bool isExport = command == "export";
    if (isExport)
        options.ics = takeFlag(args, "--ics");
    else
        options.allowCommands = takeFlag(args, "--allow-commands");
    if (!isExport)
        options.verbose = takeFlag(args, "--verbose");
    if (args.empty() || (!isExport && args.size() > 1))
        throw UsageError(isExport ? "export needs [--ics] FILE [ITEM...]"
                                  : "import needs FILE [--allow-commands] [--verbose]");
    options.command = isExport ? Command::Export : Command::Import;
    options.file = args.front();
    for (size_t i = 1; i < args.size(); ++i) {
        const auto k = parseInt(args[i]);
        if (!k || *k < 1)
            throw UsageError("export: not a reminder number: " + args[i]);
        options.items.push_back(*k);
    }
}

// sync [--json], sync --setup URL USER [--calendar NAME] [--trust SHA256]
void parseSync(const std::vector<std::string>& args, Options& options) {
    options.command = Command::Sync;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json")
            options.json = true;
        else if (args[i] == "--setup")
            options.command = Command::SyncSetup;
        else if (args[i] == "--calendar")
            options.setup.calendar = takeValue(args, i);
        else if (args[i] == "--trust")
            options.setup.trust = takeValue(args, i);
        else
            rest.push_back(args[i]);
    }
    if (options.command == Command::SyncSetup && rest.size() == 2) {
        options.setup.url = rest[0];
        options.setup.user = rest[1];
    } else if (!rest.empty() || options.command == Command::SyncSetup) {
        throw UsageError(
            "sync needs [--json] or --setup URL USER [--calendar NAME] [--trust SHA256]");
    }
}

// holidays list [YEAR] [--json], holidays import FILE
void parseHolidays(std::vector<std::string> args, Options& options) {
    const std::string sub = args.empty() ? "" : args.front();
    if (!args.empty())
        args.erase(args.begin());
    if (sub == "import") {
        if (args.size() != 1)
            throw UsageError("holidays import needs FILE");
        options.command = Command::HolidaysImport;
        options.file = args.front();
        return;
    }
    if (sub != "list")
        throw UsageError("holidays needs list [YEAR] [--json] or import FILE");
    options.command = Command::HolidaysList;
    options.json = takeFlag(args, "--json");
    const auto year = args.size() == 1 ? parseInt(args.front()) : std::nullopt;
    if (args.size() > 1 || (!args.empty() && (!year || *year < 1)))
        throw UsageError("holidays list takes one YEAR at most: holidays list [YEAR] [--json]");
    options.year = year.value_or(0);
}

} // namespace

Options parseOptions(const std::vector<std::string>& args) {
    Options options;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h")
            return Options{};
        if (args[i] == "--dir")
            options.dir = takeValue(args, i);
        else
            rest.push_back(args[i]);
    }
    if (rest.empty())
        throw UsageError("no command given (try kelvoctl --help)");
    const std::string command = rest.front();
    rest.erase(rest.begin());
    if (command == "list") {
        parseList(rest, options);
    } else if (command == "add" || command == "edit" || command == "delete" || command == "show") {
        parseItemCommand(command, rest, options);
    } else if (command == "skip" || command == "pause" || command == "resume") {
        parsePauseCommand(command, rest, options);
    } else if (command == "due") {
        parseDue(rest, options);
    } else if (command == "next") {
        parseNext(rest, options);
    } else if (command == "lunar") {
        parseLunar(rest, options);
    } else if (command == "export" || command == "import") {
        parseExchange(command, rest, options);
    } else if (command == "sync") {
        parseSync(rest, options);
    } else if (command == "holidays") {
        parseHolidays(rest, options);
    } else {
        throw UsageError("unknown command: " + command + " (try kelvoctl --help)");
    }
    return options;
}

std::optional<int32_t> parseInt(std::string_view text) {
    return parseWholeNumber<int32_t>(text);
}

} // namespace kelvo::ctl
