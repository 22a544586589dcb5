#pragma once

#include "reminders/ReminderItem.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo {

class IniSectionReader;
class TIniFile;

std::string itemSection(int32_t k);

ReminderItem readItem(const TIniFile& data, int32_t k, const ItemDefaults& defaults);
// Only the keys the list shows and the due check uses, with the list
// defaults; `reminded` and `music` are left at theirs.
ReminderItem readListedItem(const TIniFile& data, int32_t k);

// The lunar repetition keys of an item section (LunarRepeat, LunarMonth,
// LunarDay, LunarLeap; none: no lunar repetition).
LunarRepeat readLunarRepeat(const IniSectionReader& section);
// Writes them when the repetition is active, or when the section holds them
// already (to zeros, so a stale repetition never stays). A section without
// one gets no lunar keys, as a reader of the date keys alone expects.
void writeLunarRepeat(TIniFile& file, const std::string& section, const LunarRepeat& repeat);

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

} // namespace kelvo
