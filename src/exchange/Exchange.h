#pragma once

#include "reminders/CommandTag.h"
#include "reminders/ReminderItem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvo {

class TIniFile;

// Exchange files carry reminders between data files: a profile file with
// Main/Items = n and sections Item1 … Item<n>, each holding Year, Month,
// Day, Hour, Min, Reminded (always 0), MindMethod, Message and Music in this
// order, and after them the keys of a lunar repetition when the reminder has
// one. Advance warnings and the reminded state are not carried.

// Main/Items of an exchange file as stated (0 when missing or not a file).
int32_t statedExchangeCount(const TIniFile& exchange);

// The numbers j of the sections Item<j> the exchange file holds within
// 1 … its stated count, ascending, each once. A damaged count far larger
// than the file never makes this walk or allocate more than its sections.
std::vector<int32_t> heldExchangeItems(const TIniFile& exchange);

// A held item that would act on its own once imported: it shuts the
// computer down, or its message carries a command tag.
struct ActingItem {
    int32_t number = 0; // its section Item<number> in the exchange file
    std::string message;
    bool shutdown = false;
    std::optional<CommandTag> command;
};
// The held items that act, in the order of heldExchangeItems().
std::vector<ActingItem> actingExchangeItems(const TIniFile& exchange);
// The items of a list that act; `number` counts from 1 in the list.
std::vector<ActingItem> actingItems(const std::vector<ReminderItem>& items);

// What import does with the acting items.
enum class ActingItems {
    Skip,           // leave them out
    AddConfirmed,   // the user saw and accepted them: treat as their own
    AddUnconfirmed, // add them; their commands run only when asked for
};

// Appends the held reminders of the exchange file to the data file as
// Item<N+1>, Item<N+2>, … (N + 1 the data file's nextItemNumber) and raises
// Main/Items to the last, in one atomic change of the data file under its
// lock. An added item with a command is marked as imported (Imported key),
// confirmed or not as `acting` says. Returns the number appended. Throws
// IniWriteError, leaving the data file as it was.
int32_t importItems(TIniFile& data, const TIniFile& exchange, ActingItems acting);

// The same for reminders read from a calendar file, which carries advance
// warnings: each added item gets its RdBefore and uids[i] as its Uid key.
int32_t appendCalendarItems(TIniFile& data, const std::vector<ReminderItem>& items,
                            const std::vector<std::string>& uids, ActingItems acting);

// Writes the data file's items (numbers 1 … N, in the order given) into the
// exchange file as Item1, Item2, … and sets its Main/Items to their number,
// in one atomic change. Other content of an existing exchange file stays.
// Throws IniWriteError, leaving the exchange file as it was.
void exportItems(const TIniFile& data, const std::vector<int32_t>& items, TIniFile& exchange);

} // namespace kelvo
