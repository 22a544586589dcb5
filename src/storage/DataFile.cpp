#include "storage/DataFile.h"

#include "storage/AckKeys.h"
#include "storage/DataKeys.h"
#include "storage/Identity.h"
#include "storage/IniFile.h"
#include "storage/ItemRuleKeys.h"
#include "storage/PauseKey.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>

namespace kelvo {
namespace {

namespace key = datakeys;

// The integer keys that delete moves down, with the delete defaults.
struct IntKey {
    std::string_view key;
    int32_t def;
};
constexpr IntKey kMovedIntegers[] = {
    {key::Year, kDeleteDefaults.year},         {key::Month, kDeleteDefaults.month},
    {key::Day, kDeleteDefaults.day},           {key::Hour, kDeleteDefaults.hour},
    {key::Min, kDeleteDefaults.min},           {key::Reminded, kDeleteDefaults.reminded ? 1 : 0},
    {key::RdBefore, kDeleteDefaults.rdBefore}, {key::MindMethod, kDeleteDefaults.mindMethod},
};

// The keys of a lunar repetition with their defaults on read.
constexpr IntKey kLunarRepeat{key::LunarRepeat, LunarRepeat::kNone};
constexpr IntKey kLunarMonth{key::LunarMonth, 0};
constexpr IntKey kLunarDay{key::LunarDay, 0};
constexpr IntKey kLunarLeap{key::LunarLeap, 0};
constexpr IntKey kOfficialDays{key::OfficialDays, static_cast<int32_t>(OfficialRule::None)};

void moveItemDown(TIniFile& data, int32_t from, int32_t to) {
    // Everything is read before the first write, so the source section is
    // looked up once.
    const IniSectionReader source = data.section(itemSection(from));
    std::array<int32_t, std::size(kMovedIntegers)> values;
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = source.ReadInteger(kMovedIntegers[i].key, kMovedIntegers[i].def);
    const std::string message = source.ReadString(key::Message, kDeleteDefaults.message);
    const std::string music = source.ReadString(key::Music, kDeleteDefaults.music);
    ReminderItem rules;
    rules.lunar = readLunarRepeat(source);
    rules.official = readOfficialRule(source);
    rules.interval = readIntervalRule(source);
    rules.warnings = readDayWarnings(source);
    const Imported imported = readImported(data, from);
    const std::string uid = source.ReadString(key::Uid, "");
    const int64_t notBefore = readNotBefore(source);
    readAcknowledgement(source, rules);
    const std::string target = itemSection(to);
    for (size_t i = 0; i < values.size(); ++i)
        data.WriteInteger(target, kMovedIntegers[i].key, values[i]);
    data.WriteString(target, key::Message, message);
    data.WriteString(target, key::Music, music);
    writeRepetitionKeys(data, target, rules);
    writeImported(data, to, imported);
    writeItemUid(data, to, uid);
    writeNotBefore(data, target, notBefore);
    writeAcknowledgement(data, target, rules.acknowledged, rules.snoozedUntil);
}

// The keys that the list reads; Reminded and Music keep their defaults.
ReminderItem readListedKeys(const IniSectionReader& s, const ItemDefaults& defaults) {
    ReminderItem item;
    item.year = s.ReadInteger(key::Year, defaults.year);
    item.month = s.ReadInteger(key::Month, defaults.month);
    item.day = s.ReadInteger(key::Day, defaults.day);
    item.hour = s.ReadInteger(key::Hour, defaults.hour);
    item.min = s.ReadInteger(key::Min, defaults.min);
    item.reminded = defaults.reminded;
    item.rdBefore = s.ReadInteger(key::RdBefore, defaults.rdBefore);
    item.mindMethod = s.ReadInteger(key::MindMethod, defaults.mindMethod);
    item.message = s.ReadString(key::Message, defaults.message);
    item.music = defaults.music;
    item.lunar = readLunarRepeat(s);
    item.official = readOfficialRule(s);
    item.notBefore = readNotBefore(s);
    item.interval = readIntervalRule(s);
    item.warnings = readDayWarnings(s);
    readAcknowledgement(s, item);
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

OfficialRule readOfficialRule(const IniSectionReader& s) {
    const int32_t v = s.ReadInteger(kOfficialDays.key, kOfficialDays.def);
    return v == 1 ? OfficialRule::Workdays : v == 2 ? OfficialRule::DaysOff : OfficialRule::None;
}

void writeOfficialRule(TIniFile& file, const std::string& section, OfficialRule rule) {
    if (rule == OfficialRule::None &&
        file.section(section).ReadString(kOfficialDays.key, "").empty())
        return;
    file.WriteInteger(section, kOfficialDays.key, static_cast<int32_t>(rule));
}

void writeRepetitionKeys(TIniFile& file, const std::string& section, const ReminderItem& item) {
    writeLunarRepeat(file, section, item.lunar);
    writeOfficialRule(file, section, item.official);
    writeItemRules(file, section, item);
}

std::string itemSection(int32_t k) {
    return std::string(key::ItemPrefix) + std::to_string(k);
}

Imported readImported(const TIniFile& data, int32_t k) {
    const int32_t v = data.ReadInteger(itemSection(k), datakeys::Imported,
                                       static_cast<int32_t>(kImportedDefault));
    return v == 1 ? Imported::Unconfirmed : v == 2 ? Imported::Confirmed : Imported::No;
}

void writeImported(TIniFile& data, int32_t k, Imported state) {
    if (readImported(data, k) != state)
        data.WriteInteger(itemSection(k), datakeys::Imported, static_cast<int32_t>(state));
}

std::string readItemUid(const TIniFile& data, int32_t k) {
    return data.ReadString(itemSection(k), key::Uid, "");
}

void writeItemUid(TIniFile& data, int32_t k, std::string_view uid) {
    if (readItemUid(data, k) != uid)
        data.WriteString(itemSection(k), key::Uid, uid);
}

bool commandMayRunUnattended(const TIniFile& data, int32_t k) {
    return readImported(data, k) != Imported::Unconfirmed;
}

void confirmCommand(TIniFile& data, int32_t k) {
    data.changeLocked([&] {
        if (readImported(data, k) == Imported::Unconfirmed)
            writeImported(data, k, Imported::Confirmed);
    });
}

void writeDate(TIniFile& data, const std::string& section, const ReminderItem& item) {
    data.WriteInteger(section, key::Year, item.year);
    data.WriteInteger(section, key::Month, item.month);
    data.WriteInteger(section, key::Day, item.day);
    data.WriteInteger(section, key::Hour, item.hour);
    data.WriteInteger(section, key::Min, item.min);
}

ReminderItem readItem(const TIniFile& data, int32_t k, const ItemDefaults& defaults) {
    const IniSectionReader s = data.section(itemSection(k));
    ReminderItem item = readListedKeys(s, defaults);
    item.reminded = s.ReadBool(key::Reminded, defaults.reminded);
    item.music = s.ReadString(key::Music, defaults.music);
    return item;
}

ReminderItem readListedItem(const TIniFile& data, int32_t k) {
    return readListedKeys(data.section(itemSection(k)), kListDefaults);
}

int32_t storedItemCount(const TIniFile& data) {
    return data.ReadInteger(key::Main, key::Items, 0);
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
        created = !data.stamp().exists; // a change made again may find it made
        if (!created)
            return;
        data.WriteString(key::Main, key::Corporation, identity::Corporation);
        data.WriteString(key::Main, key::Version, identity::Version);
        data.WriteString(key::Main, key::User, identity::User);
        data.WriteInteger(key::Main, key::OpenTimes, 0);
        data.WriteInteger(key::Main, key::Items, 0);
        const std::string sample = itemSection(0);
        data.WriteInteger(sample, key::Year, 2000);
        data.WriteInteger(sample, key::Month, 1);
        data.WriteInteger(sample, key::Day, 1);
        data.WriteInteger(sample, key::Hour, 1);
        data.WriteInteger(sample, key::Min, 1);
        data.WriteInteger(sample, key::Reminded, 0);
        data.WriteInteger(sample, key::MindMethod, 0);
        data.WriteString(sample, key::Message, "Here is the message");
    });
    return created;
}

void countOpening(TIniFile& data) {
    data.changeLocked([&] {
        data.WriteInteger(key::Main, key::OpenTimes,
                          data.ReadInteger(key::Main, key::OpenTimes, 0) + 1);
    });
}

std::optional<int32_t> itemSectionNumber(std::string_view name) {
    constexpr std::string_view kPrefix = key::ItemPrefix;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    if (name.size() <= kPrefix.size())
        return std::nullopt;
    for (size_t i = 0; i < kPrefix.size(); ++i) {
        if (lower(name[i]) != lower(kPrefix[i]))
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
    data.WriteInteger(s, key::ReMinded, 0);
    data.WriteInteger(s, key::RdBefore, item.rdBefore);
    data.WriteInteger(s, key::MindMethod, item.mindMethod);
    data.WriteString(s, key::Message, item.message);
    if (withMusic)
        data.WriteString(s, key::Music, item.music);
    writeRepetitionKeys(data, s, item);
    // A section left over from a delete may still hold these keys.
    writeImported(data, k, Imported::No);
    writeItemUid(data, k, {});
    writeNotBefore(data, s, kNoPause);
}

void writeItemCount(TIniFile& data, int32_t n) {
    data.WriteInteger(key::Main, key::Items, n);
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

void writeEditedItem(TIniFile& data, int32_t k, const ReminderItem& item) {
    const std::string s = itemSection(k);
    writeDate(data, s, item);
    data.WriteInteger(s, key::RdBefore, item.rdBefore);
    data.WriteInteger(s, key::ReMinded, 0);
    data.WriteInteger(s, key::MindMethod, item.mindMethod);
    data.WriteString(s, key::Message, item.message);
    data.WriteString(s, key::Music, item.music);
    writeRepetitionKeys(data, s, item);
}

void storeEditedItem(TIniFile& data, int32_t k, const ReminderItem& item) {
    data.changeLocked([&] { writeEditedItem(data, k, item); });
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

ItemKeys readItemKeys(const TIniFile& data, int32_t k) {
    return data.sectionEntries(itemSection(k));
}

int32_t restoreItem(TIniFile& data, const ItemKeys& keys) {
    int32_t k = 0;
    data.changeLocked([&] {
        k = nextItemNumber(data);
        writeItemCount(data, k);
        const std::string section = itemSection(k);
        for (const auto& [key, value] : keys)
            data.WriteString(section, key, value);
    });
    return k;
}

} // namespace kelvo
