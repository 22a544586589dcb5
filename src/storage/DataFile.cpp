#include "storage/DataFile.h"

#include "storage/IniFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>

namespace kelvo {
namespace {

constexpr std::string_view kMain = "Main";
constexpr std::string_view kItems = "Items";
constexpr std::string_view kOpenTimes = "OpenTimes";

// The integer keys that delete moves down, with the delete defaults.
struct IntKey {
    std::string_view key;
    int32_t def;
};
constexpr IntKey kMovedIntegers[] = {
    {"Year", kDeleteDefaults.year},         {"Month", kDeleteDefaults.month},
    {"Day", kDeleteDefaults.day},           {"Hour", kDeleteDefaults.hour},
    {"Min", kDeleteDefaults.min},           {"Reminded", kDeleteDefaults.reminded ? 1 : 0},
    {"RdBefore", kDeleteDefaults.rdBefore}, {"MindMethod", kDeleteDefaults.mindMethod},
};

// The keys of a lunar repetition with their defaults on read.
constexpr IntKey kLunarRepeat{"LunarRepeat", LunarRepeat::kNone};
constexpr IntKey kLunarMonth{"LunarMonth", 0};
constexpr IntKey kLunarDay{"LunarDay", 0};
constexpr IntKey kLunarLeap{"LunarLeap", 0};

void writeDate(TIniFile& data, const std::string& section, const ReminderItem& item) {
    data.WriteInteger(section, "Year", item.year);
    data.WriteInteger(section, "Month", item.month);
    data.WriteInteger(section, "Day", item.day);
    data.WriteInteger(section, "Hour", item.hour);
    data.WriteInteger(section, "Min", item.min);
}

void moveItemDown(TIniFile& data, int32_t from, int32_t to) {
    // Everything is read before the first write, so the source section is
    // looked up once.
    const IniSectionReader source = data.section(itemSection(from));
    std::array<int32_t, std::size(kMovedIntegers)> values;
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = source.ReadInteger(kMovedIntegers[i].key, kMovedIntegers[i].def);
    const std::string message = source.ReadString("Message", kDeleteDefaults.message);
    const std::string music = source.ReadString("Music", kDeleteDefaults.music);
    const LunarRepeat lunar = readLunarRepeat(source);
    const std::string target = itemSection(to);
    for (size_t i = 0; i < values.size(); ++i)
        data.WriteInteger(target, kMovedIntegers[i].key, values[i]);
    data.WriteString(target, "Message", message);
    data.WriteString(target, "Music", music);
    writeLunarRepeat(data, target, lunar);
}

// The keys that the list reads; Reminded and Music keep their defaults.
ReminderItem readListedKeys(const IniSectionReader& s, const ItemDefaults& defaults) {
    ReminderItem item;
    item.year = s.ReadInteger("Year", defaults.year);
    item.month = s.ReadInteger("Month", defaults.month);
    item.day = s.ReadInteger("Day", defaults.day);
    item.hour = s.ReadInteger("Hour", defaults.hour);
    item.min = s.ReadInteger("Min", defaults.min);
    item.reminded = defaults.reminded;
    item.rdBefore = s.ReadInteger("RdBefore", defaults.rdBefore);
    item.mindMethod = s.ReadInteger("MindMethod", defaults.mindMethod);
    item.message = s.ReadString("Message", defaults.message);
    item.music = defaults.music;
    item.lunar = readLunarRepeat(s);
    return item;
}

} // namespace

LunarRepeat readLunarRepeat(const IniSectionReader& s) {
    LunarRepeat repeat;
    repeat.cycle = s.ReadInteger(kLunarRepeat.key, kLunarRepeat.def);
    if (!repeat.active())
        return LunarRepeat{};
    repeat.month = s.ReadInteger(kLunarMonth.key, kLunarMonth.def);
    repeat.day = s.ReadInteger(kLunarDay.key, kLunarDay.def);
    repeat.leap = s.ReadInteger(kLunarLeap.key, kLunarLeap.def) != 0;
    return repeat;
}

void writeLunarRepeat(TIniFile& file, const std::string& section, const LunarRepeat& repeat) {
    if (!repeat.active() && file.section(section).ReadString(kLunarRepeat.key, "").empty())
        return;
    file.WriteInteger(section, kLunarRepeat.key, repeat.cycle);
    file.WriteInteger(section, kLunarMonth.key, repeat.month);
    file.WriteInteger(section, kLunarDay.key, repeat.day);
    file.WriteInteger(section, kLunarLeap.key, repeat.leap ? 1 : 0);
}

std::string itemSection(int32_t k) {
    return "Item" + std::to_string(k);
}

ReminderItem readItem(const TIniFile& data, int32_t k, const ItemDefaults& defaults) {
    const IniSectionReader s = data.section(itemSection(k));
    ReminderItem item = readListedKeys(s, defaults);
    item.reminded = s.ReadBool("Reminded", defaults.reminded);
    item.music = s.ReadString("Music", defaults.music);
    return item;
}

ReminderItem readListedItem(const TIniFile& data, int32_t k) {
    return readListedKeys(data.section(itemSection(k)), kListDefaults);
}

int32_t storedItemCount(const TIniFile& data) {
    return data.ReadInteger(kMain, kItems, 0);
}

int32_t itemCount(const TIniFile& data) {
    const int32_t stated = storedItemCount(data);
    const int32_t sections = data.sectionCount();
    if (stated <= sections)
        return std::max(stated, 0);
    // A count whose last item is in the file is believed while the items it
    // reads as defaults stay few against what the file holds (sections that
    // were removed by hand, say); any other is bounded by the sections.
    constexpr int32_t kMostSectionsPerHeld = 16;
    if (stated / kMostSectionsPerHeld <= sections && data.hasSection(itemSection(stated)))
        return stated;
    return sections;
}

bool createDataFile(TIniFile& data) {
    bool created = false;
    data.changeLocked([&] {
        if (data.stamp().exists)
            return;
        data.WriteString(kMain, "Corporation", "Tarnwick Corp,Ltd.");
        data.WriteString(kMain, "Version", "1.00.003");
        data.WriteString(kMain, "User", "Corvan");
        data.WriteInteger(kMain, kOpenTimes, 0);
        data.WriteInteger(kMain, kItems, 0);
        const std::string sample = itemSection(0);
        data.WriteInteger(sample, "Year", 2000);
        data.WriteInteger(sample, "Month", 1);
        data.WriteInteger(sample, "Day", 1);
        data.WriteInteger(sample, "Hour", 1);
        data.WriteInteger(sample, "Min", 1);
        data.WriteInteger(sample, "Reminded", 0);
        data.WriteInteger(sample, "MindMethod", 0);
        data.WriteString(sample, "Message", "Here is the message");
        created = true;
    });
    return created;
}

void countOpening(TIniFile& data) {
    data.changeLocked(
        [&] { data.WriteInteger(kMain, kOpenTimes, data.ReadInteger(kMain, kOpenTimes, 0) + 1); });
}

std::optional<int32_t> itemSectionNumber(std::string_view name) {
    constexpr std::string_view kPrefix = "item";
    if (name.size() <= kPrefix.size())
        return std::nullopt;
    for (size_t i = 0; i < kPrefix.size(); ++i) {
        const char c = name[i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != kPrefix[i])
            return std::nullopt;
    }
    const std::string_view digits = name.substr(kPrefix.size());
    if (digits.front() < '1' || digits.front() > '9')
        return std::nullopt;
    int32_t number = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, number);
    if (ec != std::errc{} || ptr != end)
        return std::nullopt;
    return number;
}

int32_t nextItemNumber(const TIniFile& data) {
    const int32_t stated = std::max(storedItemCount(data), 0);
    if (stated == 0 || data.hasSection(itemSection(stated)))
        return stated + 1;
    // The count reaches past the last item section: the new item follows
    // the last one the file holds.
    int32_t last = 0;
    for (const std::string& name : data.sectionNames()) {
        if (const auto j = itemSectionNumber(name))
            last = std::max(last, *j);
    }
    return std::min(stated, last) + 1;
}

void writeNewItemKeys(TIniFile& data, int32_t k, const ReminderItem& item, bool withMusic) {
    const std::string s = itemSection(k);
    writeDate(data, s, item);
    data.WriteInteger(s, "ReMinded", 0);
    data.WriteInteger(s, "RdBefore", item.rdBefore);
    data.WriteInteger(s, "MindMethod", item.mindMethod);
    data.WriteString(s, "Message", item.message);
    if (withMusic)
        data.WriteString(s, "Music", item.music);
    writeLunarRepeat(data, s, item.lunar);
}

void writeItemCount(TIniFile& data, int32_t n) {
    data.WriteInteger(kMain, kItems, n);
}

int32_t appendItem(TIniFile& data, const ReminderItem& item, bool withMusic) {
    int32_t k = 0;
    data.changeLocked([&] {
        k = nextItemNumber(data);
        writeItemCount(data, k);
        writeNewItemKeys(data, k, item, withMusic);
    });
    return k;
}

void storeEditedItem(TIniFile& data, int32_t k, const ReminderItem& item) {
    data.changeLocked([&] {
        const std::string s = itemSection(k);
        writeDate(data, s, item);
        data.WriteInteger(s, "RdBefore", item.rdBefore);
        data.WriteInteger(s, "ReMinded", 0);
        data.WriteInteger(s, "MindMethod", item.mindMethod);
        data.WriteString(s, "Message", item.message);
        data.WriteString(s, "Music", item.music);
        writeLunarRepeat(data, s, item.lunar);
    });
}

void deleteItem(TIniFile& data, int32_t k) {
    deleteItems(data, {k});
}

std::vector<int32_t> deletionOrder(std::vector<int32_t> items) {
    std::sort(items.begin(), items.end(), std::greater<>());
    items.erase(std::unique(items.begin(), items.end()), items.end());
    return items;
}

void deleteItems(TIniFile& data, const std::vector<int32_t>& items) {
    data.changeLocked([&] {
        int32_t n = itemCount(data);
        // Every section is moved in memory and the file is stored once, so a
        // crash part-way can never leave one reminder in two sections.
        for (int32_t k : deletionOrder(items)) {
            if (k < 1 || k > n)
                continue;
            for (int32_t j = k; j <= n; ++j)
                moveItemDown(data, j + 1, j);
            writeItemCount(data, --n);
        }
    });
}

void markReminded(TIniFile& data, int32_t k) {
    // An item that another program has deleted meanwhile gets no section.
    data.changeLocked([&] {
        if (k >= 1 && k <= itemCount(data))
            data.WriteInteger(itemSection(k), "ReMinded", 1);
    });
}

} // namespace kelvo
