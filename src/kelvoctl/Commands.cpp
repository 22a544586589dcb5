#include "kelvoctl/Commands.h"
#include "storage/ReminderFile.h"

#include "core/Clock.h"
#include "core/UserError.h"
#include "exchange/Exchange.h"
#include "ical/CalendarFile.h"
#include "kelvoctl/CalendarCommands.h"
#include "kelvoctl/HolidayCommands.h"
#include "kelvoctl/ItemCommands.h"
#include "kelvoctl/Json.h"
#include "kelvoctl/Options.h"
#include "kelvoctl/PauseCommands.h"
#include "kelvoctl/SyncCommands.h"
#include "lunar/LunarNames.h"
#include "reminders/ItemTexts.h"
#include "reminders/ReminderEngine.h"
#include "reminders/ReminderList.h"
#include "storage/DataFile.h"
#include "storage/DataLocation.h"
#include "storage/HolidayFile.h"
#include "storage/IniFile.h"
#include "storage/Paths.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <numeric>
#include <sstream>

namespace kelvo::ctl {

namespace {

namespace fs = std::filesystem;

std::string dataDir(const Options& options) {
    if (options.dir) {
        std::error_code ec;
        if (!fs::is_directory(*options.dir, ec))
            throw UsageError("not a directory: " + *options.dir);
    }
    const std::string programDir = fs::read_symlink("/proc/self/exe").parent_path().string();
    return chooseDataDirectory(options.dir, programPlace(programDir), userEnvironment());
}

std::string itemJson(int32_t k, const ReminderItem& item) {
    return JsonObject()
        .number("Item", k)
        .number("Year", item.year)
        .number("Month", item.month)
        .number("Day", item.day)
        .number("Hour", item.hour)
        .number("Min", item.min)
        .boolean("ReMinded", item.reminded)
        .number("RdBefore", item.rdBefore)
        .number("MindMethod", item.mindMethod)
        .text("Message", item.message)
        .text("Music", item.music)
        .str();
}

// The list lines, each after its number and a tab when numbered; or one
// JSON object per reminder with the keys the list reads, ReMinded and Music.
void printList(const TIniFile& data, const Options& options, std::ostream& out) {
    if (options.json) {
        const int32_t n = itemCount(data);
        for (int32_t k = 1; k <= n; ++k)
            out << itemJson(k, readItem(data, k, kListDefaults)) << '\n';
        return;
    }
    const ReminderList list = loadReminderList(data);
    const DateTime now = SystemClock().now();
    for (size_t i = 0; i < list.lines.size(); ++i) {
        if (options.numbered)
            out << i + 1 << '\t';
        out << list.lines[i] << pauseNote(list.items[i], now) << '\n';
    }
}

// A firing as the due commands print it: the time (or date), the item and
// what it hands over; of JSON, whether its year lacks the holiday data its
// rule needs.
void printFiring(const std::string& when, const Firing& firing, bool json, std::ostream& out,
                 bool noHolidayData = false) {
    if (!json) {
        char number[16];
        const int digits = std::snprintf(number, sizeof number, "\t%d\t", firing.item);
        out.write(when.data(), static_cast<std::streamsize>(when.size()));
        out.write(number, digits);
        out.write(firing.text.data(), static_cast<std::streamsize>(firing.text.size()));
        out.put('\n');
        return;
    }
    JsonObject object;
    object.text("Time", when)
        .number("Item", firing.item)
        .text("Msg", firing.text)
        .text("Music", firing.music);
    if (noHolidayData)
        object.boolean("NoHolidayData", true);
    out << object.str() << '\n';
}

// What each item hands over, read from the file once per item and kind (a
// warning days ahead, rare and of many day counts, each time).
class FiringTexts {
public:
    FiringTexts(const TIniFile& data, int32_t items)
        : m_data(data), m_texts(static_cast<size_t>(items) * 2) {}
    const Firing& of(const Occasion& o) {
        if (o.daysAhead > 0)
            return m_dayWarning = readFiring(m_data, o.item, false, o.daysAhead);
        std::optional<Firing>& text = m_texts[static_cast<size_t>(o.item - 1) * 2 + o.advance];
        if (!text)
            text = readFiring(m_data, o.item, o.advance);
        return *text;
    }

private:
    const TIniFile& m_data;
    std::vector<std::optional<Firing>> m_texts;
    Firing m_dayWarning;
};

// Prints the firings in the order the minute checks give them; each
// minute's time is formatted once.
void printFirings(const TIniFile& data, const ReminderList& list, AllFirings& firings, int64_t most,
                  bool json, std::ostream& out, std::ostream& err) {
    FiringTexts texts(data, list.count());
    MissingYears missing;
    std::optional<DateTime> shown;
    std::string when;
    for (int64_t printed = 0; printed < most; ++printed) {
        const auto o = firings.next();
        if (!o)
            break;
        if (o->due != shown) {
            shown = o->due;
            when = formatDateTime(o->due);
        }
        const bool noData = missing.note(list.items[static_cast<size_t>(o->item - 1)], o->due.date);
        printFiring(when, texts.of(*o), json, out, noData);
    }
    missing.tell(err);
}

// The firings the minute check would give if it saw every minute of the
// range, found reminder by reminder from one day each falls on to the next;
// reads only.
void printDueRange(const TIniFile& data, const Options& options, std::ostream& out,
                   std::ostream& err) {
    const ReminderList list = loadReminderList(data);
    AllFirings firings(list.items, options.from, options.to);
    printFirings(data, list, firings, INT64_MAX, options.json, out, err);
}

// The next firings after the current minute, which has had its check.
void printNext(const TIniFile& data, const Options& options, std::ostream& out, std::ostream& err) {
    const ReminderList list = loadReminderList(data);
    const DateTime now = SystemClock().now();
    AllFirings firings(list.items, addMinutes(DateTime{now.date, now.hour, now.minute, 0}, 1));
    printFirings(data, list, firings, options.count, options.json, out, err);
}

void printDueStart(const TIniFile& data, const Options& options, std::ostream& out) {
    const Date& date = options.start;
    ManualClock clock(DateTime{date, 0, 0, 0});
    ReminderEngine engine(clock, {[&](int32_t item, const FiringTime&) {
                              printFiring(formatDate(date), readFiring(data, item, false),
                                          options.json, out);
                          }});
    engine.setItems(loadReminderList(data).items);
    engine.startCheck();
}

void printLunar(const TLunarDate& date, std::ostream& out) {
    if (!IsValidLunarDate(date))
        throw UsageError("lunar: no such lunar date");
    out << formatDate(LunarToSolar(date)) << '\n';
}

void printLunarOf(const Date& date, std::ostream& out) {
    const TLunarDate lunar = SolarToLunar(date);
    if (!IsValidLunarDate(lunar))
        throw UsageError("lunar --of: the lunar calendar covers " +
                         formatDate(kFirstLunarSolarDate) + " to " +
                         formatDate(kLastLunarSolarDate) + " only");
    out << lunar.Year << ' ' << lunar.Month << ' ' << lunar.Day << ' ' << (lunar.IsLeap ? 1 : 0)
        << '\t' << lunarDateName(lunar) << '\n';
}

// "YEAR MONTH DAY LEAP" with LEAP 0 or 1.
std::optional<TLunarDate> parseLunarLine(const std::string& line) {
    std::istringstream in(line);
    std::string fields[4], extra;
    if (!(in >> fields[0] >> fields[1] >> fields[2] >> fields[3]) || (in >> extra))
        return std::nullopt;
    const auto y = parseInt(fields[0]), m = parseInt(fields[1]), d = parseInt(fields[2]);
    if (!y || !m || !d || (fields[3] != "0" && fields[3] != "1"))
        return std::nullopt;
    return TLunarDate{*y, *m, *d, fields[3] == "1"};
}

void convertLunarStream(std::istream& in, std::ostream& out) {
    std::string line;
    while (std::getline(in, line)) {
        const auto date = parseLunarLine(line);
        if (date && IsValidLunarDate(*date))
            out << formatDate(LunarToSolar(*date)) << '\n';
        else
            out << "invalid\n";
    }
}

// Writes the named items (all when none is named) to the exchange file.
void exportReminders(const std::string& dataFile, const Options& options, std::ostream& out) {
    const TIniFile data(dataFile);
    requireReadable(data);
    const int32_t n = itemCount(data);
    std::vector<int32_t> items = options.items;
    if (items.empty()) {
        items.resize(static_cast<size_t>(n));
        std::iota(items.begin(), items.end(), 1);
    }
    for (int32_t k : items) {
        if (k > n)
            throw UsageError("export: there is no reminder " + std::to_string(k) + " (there are " +
                             std::to_string(n) + ")");
    }
    if (options.ics)
        return exportCalendarFile(data, items, options.file, out);
    TIniFile exchange(options.file);
    exportItems(data, items, exchange);
    out << "exported " << items.size() << " reminder(s) to " << options.file << '\n';
}

// Appends the reminders of the exchange file to the data file, which is
// created as the program creates it when it is missing. Reminders that would
// run a command or shut the computer down come in only when allowed, and
// their commands then still wait for the user to run them once.
void importReminders(const std::string& dataFile, const Options& options, std::ostream& out) {
    const std::string& file = options.file;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        throw UserError(file, "import: no such file: " + file);
    if (isCalendarFile(file)) {
        TIniFile data(dataFile);
        createDataFile(data);
        return importCalendarFile(data, file, options.allowCommands, options.verbose, out);
    }
    const TIniFile exchange(file);
    if (statedExchangeCount(exchange) == 0) {
        out << "no reminders to import in " << file << '\n';
        return;
    }
    TIniFile data(dataFile);
    createDataFile(data);
    const ActingItems acting =
        options.allowCommands ? ActingItems::AddUnconfirmed : ActingItems::Skip;
    const int32_t added = importItems(data, exchange, acting);
    out << "imported " << added << " reminder(s) from " << file << "; there are now "
        << itemCount(data) << '\n';
    const size_t skipped = options.allowCommands ? 0 : actingExchangeItems(exchange).size();
    if (skipped > 0)
        out << "skipped " << skipped
            << " reminder(s) that run a command or shut the computer down"
               " (import them with --allow-commands)\n";
}

void runOptions(const Options& options, const std::string& dir, std::istream& in, std::ostream& out,
                std::ostream& err) {
    switch (options.command) {
    case Command::Help:
        out << kUsage;
        return;
    case Command::Lunar:
        printLunar(options.lunar, out);
        return;
    case Command::LunarStream:
        convertLunarStream(in, out);
        return;
    case Command::LunarOf:
        printLunarOf(options.lunarOf, out);
        return;
    case Command::Export:
        exportReminders(DataPaths{dir}.dataFile(), options, out);
        return;
    case Command::Import:
        importReminders(DataPaths{dir}.dataFile(), options, out);
        return;
    case Command::HolidaysList:
        listHolidays(options.year, options.json, out);
        return;
    case Command::HolidaysImport:
        importHolidays(options.file, DataPaths{dir}.holidays(), out);
        return;
    case Command::Add:
        addReminder(DataPaths{dir}.dataFile(), options.itemArgs, options.json, out, err);
        return;
    case Command::Edit:
        editReminder(DataPaths{dir}.dataFile(), options.item, options.itemArgs, out);
        return;
    case Command::Delete:
        deleteReminders(dir, options.items, out);
        return;
    case Command::Sync:
        runSync(dir, options.json, in, out);
        return;
    case Command::SyncSetup:
        setupSync(dir, options.setup, in, out);
        return;
    case Command::Skip:
    case Command::Pause:
    case Command::Resume:
        runPauseCommand(DataPaths{dir}.dataFile(), options, out);
        return;
    default:
        break;
    }
    const TIniFile data(DataPaths{dir}.dataFile());
    requireReadable(data);
    if (options.command == Command::List)
        printList(data, options, out);
    else if (options.command == Command::Show)
        showReminder(data, options.item, options.json, out);
    else if (options.command == Command::DueRange)
        printDueRange(data, options, out, err);
    else if (options.command == Command::Next)
        printNext(data, options, out, err);
    else
        printDueStart(data, options, out);
}

} // namespace

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
    try {
        const Options options = parseOptions(args);
        const std::string dir = dataDir(options);
        if (const std::string error = loadHolidayCalendar(DataPaths{dir}.holidays());
            !error.empty())
            err << "kelvoctl: warning: " << error << "（只用内置的节假日安排）\n";
        runOptions(options, dir, in, out, err);
        out.flush();
        return 0;
    } catch (const UsageError& e) {
        err << "kelvoctl: " << e.what() << '\n';
        return 2;
    } catch (const UserError& e) {
        // The text a window shows for the same failure.
        err << "kelvoctl: " << e.what() << '\n';
        return 1;
    } catch (const std::exception& e) {
        err << "kelvoctl: unexpected error: " << e.what() << '\n';
        return 1;
    }
}

} // namespace kelvo::ctl
