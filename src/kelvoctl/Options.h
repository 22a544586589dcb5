#pragma once

#include "core/DateText.h"
#include "core/DateTime.h"
#include "kelvoctl/ItemArgs.h"
#include "kelvoctl/SyncCommands.h"
#include "lunar/Calendar.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo::ctl {

// A command line kelvoctl cannot run; the message is one line for stderr.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Command {
    Help,
    List,
    DueRange,
    DueStart,
    Next,
    Lunar,
    LunarStream,
    LunarOf,
    Export,
    Import,
    Add,
    Edit,
    Delete,
    Show,
    Sync,
    SyncSetup,
    HolidaysList,
    HolidaysImport,
    Skip,
    Pause,
    Resume
};

struct Options {
    Command command = Command::Help;
    std::optional<std::string> dir; // --dir; the executable's directory when absent
    DateTime from, to;              // due --from … --to
    Date start;                     // due --start
    int32_t count = 10;             // next N
    TLunarDate lunar;               // lunar YEAR MONTH DAY [--leap]
    Date lunarOf;                   // lunar --of YYYY-MM-DD
    std::string file;               // export / import FILE
    std::vector<int32_t> items;     // export FILE ITEM...; none: every item; delete ITEM...
    int32_t item = 0;               // edit ITEM, show ITEM, skip, pause and resume ITEM
    int32_t year = 0;               // holidays list YEAR; 0: every year
    Date until;                     // pause ITEM --until DATE
    ItemArgs itemArgs;              // add, edit
    bool numbered = false;          // list -n
    bool json = false;              // --json of list, show, due, next, add, holidays list
    bool allowCommands = false;     // import --allow-commands
    bool verbose = false;           // import --verbose: every skipped event
    bool ics = false;               // export --ics: a calendar file
    SyncSetup setup;                // sync --setup URL USER [--calendar NAME] [--trust SHA256]
};

// add, edit, delete and show with the arguments after the command.
void parseItemCommand(const std::string& command, const std::vector<std::string>& args,
                      Options& options);
// A reminder number (from 1) of a command line.
int32_t parseItemNumber(const std::string& command, const std::string& text);

// Parses the arguments after the program name. Throws UsageError.
Options parseOptions(const std::vector<std::string>& args);

// A whole text of decimal digits with an optional "-", fitting 32 bits.
std::optional<int32_t> parseInt(std::string_view text);

extern const char* const kUsage;

} // namespace kelvo::ctl
