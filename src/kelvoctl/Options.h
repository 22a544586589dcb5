#pragma once

#include "core/DateTime.h"
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

enum class Command { Help, List, DueRange, DueStart, Lunar, LunarStream, LunarOf, Export, Import };

struct Options {
    Command command = Command::Help;
    std::optional<std::string> dir; // --dir; the executable's directory when absent
    DateTime from, to;              // due --from … --to
    Date start;                     // due --start
    TLunarDate lunar;               // lunar YEAR MONTH DAY [--leap]
    Date lunarOf;                   // lunar --of YYYY-MM-DD
    std::string file;               // export / import FILE
    std::vector<int32_t> items;     // export FILE ITEM...; none: every item
};

// Parses the arguments after the program name. Throws UsageError.
Options parseOptions(const std::vector<std::string>& args);

// "YYYY-MM-DD" and "YYYY-MM-DD HH:MM" with real calendar dates only.
std::optional<Date> parseDate(std::string_view text);
std::optional<DateTime> parseDateTime(std::string_view text);
// A whole text of decimal digits with an optional "-", fitting 32 bits.
std::optional<int32_t> parseInt(std::string_view text);

std::string formatDate(const Date& date);
std::string formatDateTime(const DateTime& t);

extern const char* const kUsage;

} // namespace kelvo::ctl
