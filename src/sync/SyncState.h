#pragma once

#include "sync/SyncFields.h"

#include <map>
#include <string>

namespace kelvo {

// What this computer knows of one object of the calendar.
struct SyncedObject {
    std::string href, etag;
    ItemFields base;      // the last version both sides had
    bool foreign = false; // an event no reminder can express: left alone
    // The latest dismissal the server is known to have (seconds since 1970
    // UTC; 0: none): a later one of this computer goes up.
    int64_t acknowledged = 0;
    bool attendees = false; // it invites others: no dismissal is written into it
};

// The sync state of a data directory (Sync.state beside the data file):
// the calendar, the server's last sync-token and every object both sides
// had at the last sync, by UID. A reminder whose UID is here and whose
// fields differ from the base changed on this computer; one that is here
// and no longer in the data file was deleted here. It is written
// atomically, so a sync killed at any point finds either the state before
// or after a step, and every step can be made again.
struct SyncState {
    std::string calendar; // the calendar's path; another one starts afresh
    std::string token;
    std::map<std::string, SyncedObject> objects;

    // The UID of the object at `href`; empty when none.
    std::string uidAt(const std::string& href) const;
};

// The state in the file; an empty one when it is missing or damaged.
SyncState readSyncState(const std::string& path);
// The file's text of the state.
std::string syncStateText(const SyncState& state);
// Replaces the file atomically; false when it cannot be written.
bool writeSyncState(const std::string& path, const SyncState& state);

inline constexpr const char* kSyncStateFile = "Sync.state";

} // namespace kelvo
