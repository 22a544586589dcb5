#pragma once

#include "reminders/ReminderItem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvo {

class IniSectionReader;
class TIniFile;

std::string itemSection(int32_t k);

// Writes Year, Month, Day, Hour and Min of the item into the section, in
// this order, without storing the file.
void writeDate(TIniFile& data, const std::string& section, const ReminderItem& item);

// A key of the program's own in an item section, beside the item's keys:
// whether the item came in by import holding a command, and whether the user
// has confirmed that command since (by importing it with "全部导入" or by
// running it by hand once). Absent, it reads as No; it is written only where
// it differs from that, so a reader that does not know it sees a plain item.
enum class Imported : int32_t { No = 0, Unconfirmed = 1, Confirmed = 2 };
inline constexpr Imported kImportedDefault = Imported::No;

Imported readImported(const TIniFile& data, int32_t k);
// Sets the key of Item<k> without storing the file; writes nothing when the
// section already reads as `state`.
void writeImported(TIniFile& data, int32_t k, Imported state);
// Whether the command of item k may run without the user asking for it.
bool commandMayRunUnattended(const TIniFile& data, int32_t k);
// The user ran the command of item k by hand: an unconfirmed import becomes
// confirmed, and the file is stored. Nothing happens to any other item.
void confirmCommand(TIniFile& data, int32_t k);

// The Uid key of item k (empty when it has none), and setting it without
// storing the file; an empty uid writes nothing to a section without one.
std::string readItemUid(const TIniFile& data, int32_t k);
void writeItemUid(TIniFile& data, int32_t k, std::string_view uid);

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

// The OfficialDays key of an item section (absent or unknown: None), and
// writing it as writeLunarRepeat writes its keys: only for a rule, or over
// a key already there.
OfficialRule readOfficialRule(const IniSectionReader& section);
void writeOfficialRule(TIniFile& file, const std::string& section, OfficialRule rule);

// The keys of how an item repeats beyond its date: the lunar repetition, the
// official days, the interval and the warnings days ahead, each written as
// its own writer writes it.
void writeRepetitionKeys(TIniFile& file, const std::string& section, const ReminderItem& item);

// Main/Items as stored (default 0).
int32_t storedItemCount(const TIniFile& data);
// Main/Items bounded to 0 … the sections the file holds, so a damaged count
// never makes a reader walk or allocate millions of items; a larger count is
// kept when its last item section is in the file and the file holds at least
// one section for every 16 items.
int32_t itemCount(const TIniFile& data);

// Every function below that changes the file reads it and stores it under
// the file's lock (TIniFile::changeLocked): it works on the file as it is on
// disk, never on a copy read earlier, and no other program's change made in
// between is lost. They throw IniWriteError.

// Writes the whole default file (Main and the sample Item0) and stores it,
// unless a file is there already (another program may have made it since
// the caller looked). Returns whether it wrote it.
bool createDataFile(TIniFile& data);

// Counts a start of the program: Main/OpenTimes + 1.
void countOpening(TIniFile& data);

// The number of a section named Item<j> (any letter case), written as the
// program writes it: decimal, no sign, no leading zero; nullopt otherwise.
std::optional<int32_t> itemSectionNumber(std::string_view name);

// The number a new item gets: Items + 1, unless the count reaches past the
// last item section the file holds (a damaged count); then the number after
// that section. Either way no section within the file's items is written over.
int32_t nextItemNumber(const TIniFile& data);

// Writes the keys of a new item section Item<k> in the order the add dialog
// stores them, without storing the file (so many items can be one change).
// The Music key is written only when withMusic is set.
void writeNewItemKeys(TIniFile& data, int32_t k, const ReminderItem& item, bool withMusic);

// Main/Items := n, without storing the file.
void writeItemCount(TIniFile& data, int32_t n);

// Adds an item as Item<nextItemNumber> and stores the file in one change.
// The Music key is written only when withMusic is set. Returns the new item
// number.
int32_t appendItem(TIniFile& data, const ReminderItem& item, bool withMusic);

// Stores a changed item into Item<k> (ReMinded back to 0, Music always written).
void storeEditedItem(TIniFile& data, int32_t k, const ReminderItem& item);
// The same keys without storing the file (several items in one change).
void writeEditedItem(TIniFile& data, int32_t k, const ReminderItem& item);

// Removes item k (1 … N): every later item moves one number down, Item<N> is
// left holding the delete defaults, Items becomes N − 1. One atomic change.
void deleteItem(TIniFile& data, int32_t k);

// Every key of item k as stored, in file order: what undoing its deletion
// puts back.
using ItemKeys = std::vector<std::pair<std::string, std::string>>;
ItemKeys readItemKeys(const TIniFile& data, int32_t k);
// Appends an item with exactly these keys; returns its number.
int32_t restoreItem(TIniFile& data, const ItemKeys& keys);
// The numbers highest first, each once: the order in which several items
// are deleted, so that each number still names the item it named before.
std::vector<int32_t> deletionOrder(std::vector<int32_t> items);
// Removes the items numbered `items` as deleting them one by one in the
// deletion order would; numbers outside 1 … N are passed over. One atomic
// change.
void deleteItems(TIniFile& data, const std::vector<int32_t>& items);

} // namespace kelvo
