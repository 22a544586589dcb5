#include "kelvoctl/ItemArgs.h"

#include "kelvoctl/Options.h"
#include "lunar/Calendar.h"
#include "lunar/LunarRepeat.h"
#include "reminders/Schedule.h"

#include <algorithm>

namespace kelvo::ctl {
namespace {

// Decimal digits only: the fields of the dialogs take nothing else.
std::optional<int32_t> digits(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    return parseInt(text);
}

// A date field: its number, or "*" for every year, month or day.
bool dateField(std::string_view text, std::optional<int32_t>& field) {
    if (text == "*") {
        field.reset();
        return true;
    }
    field = digits(text);
    return field.has_value();
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t begin = 0, end;
    while ((end = text.find(separator, begin)) != std::string_view::npos) {
        parts.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    parts.push_back(text.substr(begin));
    return parts;
}

// "1,3,5": 1 Monday … 7 Sunday; an empty text chooses no day.
std::array<bool, 7> parseWeekdays(const std::string& text) {
    std::array<bool, 7> days{};
    if (text.empty())
        return days;
    for (std::string_view part : split(text, ',')) {
        const auto day = digits(part);
        if (!day || *day < 1 || *day > 7)
            throw UsageError("--weekdays takes days 1 (Monday) … 7 (Sunday), such as 1,3,5: " +
                             text);
        days[static_cast<size_t>(*day - 1)] = true;
    }
    return days;
}

int32_t number(const std::string& option, const std::string& text) {
    const auto value = parseInt(text);
    if (!value)
        throw UsageError(option + " needs a whole number: " + text);
    return *value;
}

std::string value(const std::vector<std::string>& args, size_t& i) {
    if (i + 1 >= args.size())
        throw UsageError(args[i] + " needs a value");
    return args[++i];
}

// "HH:MM" as a minute of the day, the numbers not yet checked.
std::optional<int32_t> clockMinute(std::string_view text) {
    const auto parts = split(text, ':');
    if (parts.size() != 2)
        return std::nullopt;
    const auto hour = digits(parts[0]), min = digits(parts[1]);
    if (!hour || !min || *hour > 23 || *min > 59)
        return std::nullopt;
    return *hour * 60 + *min;
}

std::pair<int32_t, int32_t> parseBetween(const std::string& text) {
    const auto parts = split(text, '-');
    const auto from = parts.size() == 2 ? clockMinute(parts[0]) : std::nullopt;
    const auto to = parts.size() == 2 ? clockMinute(parts[1]) : std::nullopt;
    if (!from || !to)
        throw UsageError("--between takes HH:MM-HH:MM, such as 09:00-18:00: " + text);
    return {*from, *to};
}

// "7d,1d,30m": warnings 7 and 1 days ahead and the advance warning 30
// minutes before; "" none.
void parseWarn(const std::string& text, ItemArgs& item) {
    item.warnDays.emplace();
    if (text.empty())
        return;
    for (std::string_view part : split(text, ',')) {
        const auto n = part.empty() ? std::nullopt : digits(part.substr(0, part.size() - 1));
        if (n && part.back() == 'd')
            item.warnDays->push_back(*n);
        else if (n && part.back() == 'm')
            item.advance = *n;
        else
            throw UsageError("--warn takes days and minutes ahead, such as 7d,1d,30m: " + text);
    }
}

// The interval and the warnings days ahead of the arguments.
void applyRules(ItemInput& in, const ItemArgs& item) {
    const bool wasInterval = in.interval;
    if (item.every) {
        in.interval = *item.every != 0;
        in.intervalEvery = *item.every;
        if (in.interval && !wasInterval && !item.between)
            throw UsageError("--every needs --between HH:MM-HH:MM");
    }
    if (item.between) {
        if (!in.interval)
            throw UsageError("--between goes with --every");
        in.hour = item.between->first / 60;
        in.min = item.between->first % 60;
        in.intervalEndHour = item.between->second / 60;
        in.intervalEndMin = item.between->second % 60;
    }
    if (item.warnDays)
        in.warnDays = *item.warnDays;
    if (item.warnAt) {
        in.warnOwnTime = *item.warnAt >= 0;
        in.warnHour = std::max(*item.warnAt, 0) / 60;
        in.warnMin = std::max(*item.warnAt, 0) % 60;
    }
}

void applyWhen(ItemInput& in, const When& when) {
    in.lunar = false;
    in.everyYear = !when.year;
    in.year = when.year.value_or(in.year);
    in.everyMonth = !when.month;
    in.month = when.month.value_or(in.month);
    in.everyDay = !when.day;
    in.everyWeek = false;
    in.official = OfficialRule::None;
    in.day = when.day.value_or(in.day);
    in.hour = when.hour;
    in.min = when.min;
}

// The month of a lunar WHEN: "*", a number, or "L" and a number for the leap
// month that follows that month.
bool lunarMonthField(std::string_view text, When& when) {
    when.leapMonth = text.starts_with('L');
    if (when.leapMonth)
        text.remove_prefix(1);
    return dateField(text, when.month) && (!when.leapMonth || when.month);
}

std::string lunarText(const When& when) {
    const auto field = [](const std::optional<int32_t>& f) {
        return f ? std::to_string(*f) : std::string("*");
    };
    return field(when.year) + "-" + (when.leapMonth ? "L" : "") + field(when.month) + "-" +
           field(when.day);
}

// A lunar WHEN with a year is one lunar day, stored as its Gregorian date.
// Without one it repeats every lunar year (a month given) or every lunar
// month, starting on its first day from `today`; a day past the calendar's
// end leaves the date at `today` for the input check to refuse.
void applyLunarWhen(ItemInput& in, const When& when, const Date& today) {
    if (!when.day)
        throw UsageError("--lunar: DAY cannot be *, a lunar reminder falls on one day of the "
                         "lunar month: " +
                         lunarText(when));
    if (when.year && !when.month)
        throw UsageError("--lunar: a lunar YEAR needs its MONTH: " + lunarText(when));
    Date first = today;
    if (when.year) {
        const TLunarDate day{*when.year, *when.month, *when.day, when.leapMonth};
        if (!IsValidLunarDate(day))
            throw UsageError("--lunar: no such lunar date: " + lunarText(when));
        first = LunarToSolar(day);
        in.lunar = false;
    } else {
        const LunarRepeat repeat{when.month ? LunarRepeat::kYearly : LunarRepeat::kMonthly,
                                 when.month.value_or(0), *when.day, when.leapMonth};
        if (*when.day < 1 || *when.day > 30 ||
            (when.month && (*when.month < 1 || *when.month > 12)))
            throw UsageError("--lunar: MONTH is 1 … 12 (L1 … L12 for a leap month) and DAY "
                             "1 … 30: " +
                             lunarText(when));
        ItemSchedule every;
        every.year = 0; // from any day on
        every.lunar = repeat;
        first = nextDay(every, today).value_or(today);
        in.lunar = true;
        in.lunarCycle = repeat.cycle;
        in.keptLunar = repeat;
    }
    in.everyYear = in.everyMonth = in.everyDay = in.everyWeek = false;
    in.official = OfficialRule::None;
    in.year = first.year;
    in.month = first.month;
    in.day = first.day;
    in.hour = when.hour;
    in.min = when.min;
}

} // namespace

std::optional<When> parseWhen(std::string_view text, bool lunar) {
    const auto halves = split(text, ' ');
    if (halves.size() != 2)
        return std::nullopt;
    const auto date = split(halves[0], '-');
    const auto time = split(halves[1], ':');
    When when;
    if (date.size() != 3 || time.size() != 2 || !dateField(date[0], when.year) ||
        !(lunar ? lunarMonthField(date[1], when) : dateField(date[1], when.month)) ||
        !dateField(date[2], when.day))
        return std::nullopt;
    const auto hour = digits(time[0]), min = digits(time[1]);
    if (!hour || !min)
        return std::nullopt;
    when.hour = *hour;
    when.min = *min;
    return when;
}

bool takeItemOption(const std::vector<std::string>& args, size_t& i, ItemArgs& item) {
    const std::string& option = args[i];
    if (option == "--weekdays")
        item.weekdays = parseWeekdays(value(args, i));
    else if (option == "--workdays")
        item.official = OfficialRule::Workdays;
    else if (option == "--days-off")
        item.official = OfficialRule::DaysOff;
    else if (option == "--advance")
        item.advance = number(option, value(args, i));
    else if (option == "--mode") {
        item.mode = number(option, value(args, i));
        if (*item.mode < 0 || *item.mode > 3)
            throw UsageError("--mode takes 0 … 3: " + args[i]);
    } else if (option == "--sound")
        item.sound = value(args, i);
    else if (option == "--shutdown")
        item.shutdown = true;
    else if (option == "--lunar")
        item.lunar = true;
    else if (option == "--every")
        item.every = number(option, value(args, i));
    else if (option == "--between")
        item.between = parseBetween(value(args, i));
    else if (option == "--warn")
        parseWarn(value(args, i), item);
    else if (option == "--warn-at") {
        const std::string at = value(args, i);
        item.warnAt = at.empty() ? std::optional(-1) : clockMinute(at);
        if (!item.warnAt)
            throw UsageError("--warn-at takes HH:MM (\"\": the reminder's own time): " + at);
    } else
        return false;
    return true;
}

namespace {

// Arguments that contradict each other, before anything is applied.
void refuseContradictions(const ItemArgs& item) {
    if (item.shutdown && item.message)
        throw UsageError("--shutdown makes the message; give no MESSAGE with it");
    if (item.lunar && !item.when)
        throw UsageError("--lunar needs a WHEN");
    if (item.weekdays && item.when && item.when->day && !item.lunar)
        throw UsageError("--weekdays needs DAY given as *");
    if (item.official && (item.weekdays || item.lunar))
        throw UsageError("--workdays and --days-off go with neither --weekdays nor --lunar");
    if (item.official && item.when && item.when->day)
        throw UsageError("--workdays and --days-off need DAY given as *");
}

} // namespace

ItemInput applyItemArgs(ItemInput in, const ItemArgs& item, const Date& today) {
    refuseContradictions(item);
    if (item.when)
        item.lunar ? applyLunarWhen(in, *item.when, today) : applyWhen(in, *item.when);
    if (item.weekdays && (item.lunar || in.lunar))
        throw UsageError("--weekdays does not go with a lunar date");
    if (item.official && in.lunar)
        throw UsageError("--workdays and --days-off do not go with a lunar date");
    if (item.weekdays || item.official) {
        in.everyDay = false;
        in.everyWeek = true;
        in.weekdays = item.weekdays.value_or(in.weekdays);
        in.official = item.official.value_or(OfficialRule::None);
    }
    if (item.message)
        in.message = *item.message;
    if (item.shutdown)
        in.message = kShutdownMarker;
    in.rdBefore = item.advance.value_or(in.rdBefore);
    applyRules(in, item);
    in.mindMethod = item.mode.value_or(in.mindMethod);
    if (item.sound) {
        in.withMusic = true;
        in.music = *item.sound;
    }
    return in;
}

} // namespace kelvo::ctl

namespace kelvo::ctl {
namespace {

std::string whenFormError(bool lunar) {
    return lunar ? "a lunar WHEN is of the form \"YEAR-MONTH-DAY HH:MM\" (YEAR and MONTH may be "
                   "*, a leap MONTH is written L4): "
                 : "WHEN is not of the form \"YEAR-MONTH-DAY HH:MM\" (YEAR, MONTH and DAY may be "
                   "*): ";
}

// add WHEN [MESSAGE] [options]
void parseAdd(const std::vector<std::string>& args, Options& options) {
    std::vector<std::string> positional;
    bool optionsEnd = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (optionsEnd || args[i] == "-" || !args[i].starts_with("-"))
            positional.push_back(args[i]);
        else if (args[i] == "--")
            optionsEnd = true;
        else if (args[i] == "--json")
            options.json = true;
        else if (!takeItemOption(args, i, options.itemArgs))
            throw UsageError("add: unknown option: " + args[i]);
    }
    ItemArgs& item = options.itemArgs;
    const size_t wanted = item.shutdown ? 1 : 2;
    if (positional.size() != wanted)
        throw UsageError(item.shutdown ? "add --shutdown needs WHEN and no MESSAGE"
                                       : "add needs WHEN and MESSAGE");
    item.when = parseWhen(positional[0], item.lunar);
    if (!item.when)
        throw UsageError("add: " + whenFormError(item.lunar) + positional[0]);
    if (!item.shutdown)
        item.message = positional[1];
}

// edit ITEM [--when WHEN] [--message TEXT] [options]
void parseEdit(const std::vector<std::string>& args, Options& options) {
    if (args.empty())
        throw UsageError("edit needs ITEM");
    options.item = parseItemNumber("edit", args[0]);
    ItemArgs& item = options.itemArgs;
    std::optional<std::string> when;
    for (size_t i = 1; i < args.size(); ++i) {
        if (takeItemOption(args, i, item))
            continue;
        if (args[i] == "--message")
            item.message = value(args, i);
        else if (args[i] == "--when")
            when = value(args, i);
        else
            throw UsageError("edit: unexpected argument: " + args[i]);
    }
    if (!when)
        return;
    item.when = parseWhen(*when, item.lunar);
    if (!item.when)
        throw UsageError("edit: --when: " + whenFormError(item.lunar) + *when);
}

} // namespace

int32_t parseItemNumber(const std::string& command, const std::string& text) {
    const auto k = digits(text);
    if (!k || *k < 1)
        throw UsageError(command + ": not a reminder number: " + text);
    return *k;
}

void parseItemCommand(const std::string& command, const std::vector<std::string>& args,
                      Options& options) {
    if (command == "add") {
        options.command = Command::Add;
        parseAdd(args, options);
    } else if (command == "edit") {
        options.command = Command::Edit;
        parseEdit(args, options);
    } else if (command == "delete") {
        options.command = Command::Delete;
        if (args.empty())
            throw UsageError("delete needs ITEM...");
        for (const std::string& arg : args)
            options.items.push_back(parseItemNumber(command, arg));
    } else {
        options.command = Command::Show;
        for (const std::string& arg : args) {
            if (arg == "--json")
                options.json = true;
            else if (options.item == 0)
                options.item = parseItemNumber(command, arg);
            else
                throw UsageError("show: unexpected argument: " + arg);
        }
        if (options.item == 0)
            throw UsageError("show needs ITEM");
    }
}

} // namespace kelvo::ctl
