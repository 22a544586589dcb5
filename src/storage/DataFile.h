#pragma once

#include "core/DateTime.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo {

class TIniFile;

inline constexpr std::string_view kShutdownMarker = "AutoShutDownWindows";
inline constexpr std::string_view kAdvancePrefix = "提前提醒：";

// One reminder: a section Item<k> of DataFile.dat.
struct ReminderItem {
    int32_t year = 2000;  // 0: every year
    int32_t month = 1;    // 0: every month
    int32_t day = 1;      // 0: every day; above 31: weekday code
    int32_t hour = 0;
    int32_t min = 0;
    bool reminded = false;
    int32_t rdBefore = 0; // advance warning in minutes
    int32_t mindMethod = 0;
    std::string message;
    std::string music;
};

// The readers of an item differ in what a missing key reads as; each names
// its own set.
struct ItemDefaults {
    int32_t year, month, day, hour, min;
    bool reminded;
    int32_t rdBefore, mindMethod;
    std::string_view message, music;
};
inline constexpr ItemDefaults kListDefaults{2000, 1, 1, 1, 1, false, 0, 0, "Message", ""};
inline constexpr ItemDefaults kDeleteDefaults{2000, 1, 1, 0, 0, false, 0, 0, "", ""};
inline constexpr ItemDefaults kViewDefaults{2000, 1, 1, 0, 0, false, 0, 0, "", ""};
inline constexpr ItemDefaults kEditDefaults{2000, 1, 1, 0, 1, false, 0, 0, "", ""};
inline constexpr ItemDefaults kExchangeDefaults{2000, 1, 1, 0, 0, false, 0, 0, "", ""};

std::string itemSection(int32_t k);

ReminderItem readItem(const TIniFile& data, int32_t k, const ItemDefaults& defaults);
// Only the keys the list shows and the due check uses, with the list
// defaults; `reminded` and `music` are left at theirs.
ReminderItem readListedItem(const TIniFile& data, int32_t k);

// Main/Items as stored (default 0).
int32_t storedItemCount(const TIniFile& data);
// Main/Items bounded to 0 … the sections the file holds, so a damaged count
// never makes a reader walk or allocate millions of items.
int32_t itemCount(const TIniFile& data);

// Writes the whole default file (Main and the sample Item0) and stores it.
void createDataFile(TIniFile& data);

// Writes the keys of a new item section Item<k> in the order the add dialog
// stores them, without storing the file (so many items can be one change).
// The Music key is written only when withMusic is set.
void writeNewItemKeys(TIniFile& data, int32_t k, const ReminderItem& item, bool withMusic);

// Adds an item as Item<N+1> and stores the file in one change. The Music key
// is written only when withMusic is set. Returns the new item number.
int32_t appendItem(TIniFile& data, const ReminderItem& item, bool withMusic);

// Stores a changed item into Item<k> (ReMinded back to 0, Music always written).
void storeEditedItem(TIniFile& data, int32_t k, const ReminderItem& item);

// Removes item k (1 … N): every later item moves one number down, Item<N> is
// left holding the delete defaults, Items becomes N − 1. One atomic change.
void deleteItem(TIniFile& data, int32_t k);

// Sets ReMinded = 1 of item k and stores the file.
void markReminded(TIniFile& data, int32_t k);

// Weekday code of a weekly item: 255 plus 256 << i for each chosen day,
// days[0] = Monday … days[6] = Sunday.
int32_t weekdayCode(const std::array<bool, 7>& days);

// Whether an item with these date fields falls on the date.
bool matchesDate(int32_t year, int32_t month, int32_t day, const Date& date);

} // namespace kelvo
