#pragma once

#include "reminders/ReminderItem.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kelvo {

class TIniFile;

// The reminders of the data file as sync sees them: by Uid.
struct LocalItem {
    int32_t number = 0;
    ReminderItem item;
};
using LocalItems = std::map<std::string, LocalItem>;

// Gives every item without a Uid the one the calendar export gives it, in
// one change of the data file; writes nothing when every item has one.
void giveUids(TIniFile& data);
// The items with a Uid (the first of two with the same Uid).
LocalItems readLocalItems(const TIniFile& data);

// A dismissal on another computer, and the snooze it gave.
struct Acknowledgement {
    std::string uid;
    int64_t at = 0, snoozedUntil = 0; // seconds since 1970 UTC
};

// What the server's changes make of the data file.
struct LocalChanges {
    std::vector<std::pair<std::string, ReminderItem>> updated, added; // by Uid
    std::vector<std::string> removed;                                 // Uids
    std::vector<Acknowledgement> acknowledged; // of updated, added or unchanged items
    bool empty() const {
        return updated.empty() && added.empty() && removed.empty() && acknowledged.empty();
    }
};
// Stores the changes, each item found by its Uid at the moment of the
// change; added reminders that run a command wait for the user to run it
// once, as imported ones do; an added item that is `reminded` is stored so.
// A dismissal older than the item's own changes nothing.
void applyLocalChanges(TIniFile& data, const LocalChanges& changes);

// A new UID of Kelvo's for a conflict copy.
std::string newUid();

} // namespace kelvo
