#include "sync/SyncEngine.h"

#include "ical/CalendarMapping.h"
#include "ical/IcalModule.h"
#include "reminders/Schedule.h"
#include "storage/DataFile.h"
#include "storage/FileIO.h"
#include "storage/FileLock.h"
#include "storage/IniFile.h"
#include "storage/Paths.h"
#include "sync/SyncLocal.h"
#include "sync/SyncState.h"

#include <algorithm>
#include <chrono>
#include <set>

namespace kelvo {
namespace {

constexpr size_t kPutsPerStep = 100; // the state is stored after each such step
constexpr int kPushRounds = 3;       // a 412 is merged and sent again, this often
// How long a sync waits for another one on the same data directory.
constexpr std::chrono::seconds kSyncWait{10};
// A dismissal further ahead of this computer's clock than this comes from a
// clock that is wrong: it would silence reminders here, so it is not taken.
constexpr int64_t kFurthestAheadSeconds = 24 * 3600;

bool safeNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

// The path of a new object: its UID when that makes a plain file name.
std::string hrefFor(const std::string& calendar, const std::string& uid) {
    const bool plain =
        !uid.empty() && uid.size() <= 120 && std::all_of(uid.begin(), uid.end(), safeNameChar);
    return calendar + (plain ? uid : "kelvo-" + textHash(uid)) + ".ics";
}

// The event of an object: its first that changes no other occurrence.
const CalendarEvent* masterOf(const std::vector<CalendarEvent>& events) {
    for (const CalendarEvent& event : events) {
        if (!event.changesOccurrence)
            return &event;
    }
    return nullptr;
}

bool writtenByKelvo(const CalendarEvent& event) {
    return std::any_of(event.properties.begin(), event.properties.end(),
                       [](const auto& p) { return p.first.starts_with("X-KELVO-"); });
}

class SyncRun {
public:
    SyncRun(CalendarServer& server, const std::string& dataDir, const ClockReading& now)
        : m_server(server), m_statePath(DataPaths{dataDir}.file(kSyncStateFile)),
          m_data(DataPaths{dataDir}.dataFile()), m_now(now) {}

    SyncReport run() {
        const FileLock lock(m_statePath, kSyncWait);
        if (!lock.acquired())
            throw SyncError(DavFailure::None, "另一个同步正在进行，请稍后再试");
        requireReadable(m_data);
        m_state = readSyncState(m_statePath);
        m_stored = syncStateText(m_state);
        if (m_state.calendar != m_server.calendar())
            m_state = {m_server.calendar(), {}, {}};
        giveUids(m_data);
        m_local = readLocalItems(m_data);
        pull();
        for (int round = 0; round < kPushRounds && push(); ++round) {
        }
        pushAcknowledgements();
        removeThere();
        store();
        return m_report;
    }

private:
    // Stores the state when it changed.
    void store() {
        std::string text = syncStateText(m_state);
        if (text == m_stored)
            return;
        if (!replaceFileAtomically(m_statePath, text))
            throw SyncError(DavFailure::None, "无法写入同步状态文件 " + m_statePath);
        m_stored = std::move(text);
    }

    static void check(const DavResult& result) {
        if (!result.ok())
            throw SyncError(result);
    }

    // The server's changes since the last sync, with the objects' texts.
    void pull() {
        std::vector<DavObject> changed;
        std::vector<std::string> removed;
        std::string token;
        const bool complete =
            m_server.syncCollection() ? changesSince(changed, removed, token) : listAll(changed);
        if (complete) {
            std::set<std::string> present;
            for (const DavObject& object : changed)
                present.insert(object.href);
            for (const auto& [uid, object] : m_state.objects) {
                if (!present.count(object.href))
                    removed.push_back(object.href);
            }
        }
        std::erase_if(changed, [&](const DavObject& object) {
            const auto found = m_state.objects.find(m_state.uidAt(object.href));
            return found != m_state.objects.end() && found->second.etag == object.etag;
        });
        std::vector<std::string> hrefs;
        hrefs.reserve(changed.size());
        for (const DavObject& object : changed)
            hrefs.push_back(object.href);
        LocalChanges changes;
        fetchAndMerge(hrefs, changes);
        for (const std::string& href : removed)
            removedOnServer(href, changes);
        applyLocalChanges(m_data, changes);
        m_state.token = token;
        store();
        m_local = readLocalItems(m_data);
    }

    // True when the answer lists every object (no token, or it was refused).
    bool changesSince(std::vector<DavObject>& changed, std::vector<std::string>& removed,
                      std::string& token) {
        DavChanges answer;
        check(m_server.changes(m_state.token, answer));
        bool complete = m_state.token.empty();
        if (answer.tokenRefused) {
            answer = {};
            check(m_server.changes({}, answer));
            complete = true;
        }
        changed = std::move(answer.changed);
        removed = std::move(answer.removed);
        token = answer.token;
        return complete;
    }

    bool listAll(std::vector<DavObject>& objects) {
        check(m_server.list(objects));
        return true;
    }

    void fetchAndMerge(const std::vector<std::string>& hrefs, LocalChanges& changes) {
        if (hrefs.empty())
            return;
        std::vector<DavObject> objects;
        check(m_server.fetch(hrefs, objects));
        for (const DavObject& object : objects)
            mergeObject(object, changes);
    }

    void mergeObject(const DavObject& object, LocalChanges& changes) {
        std::vector<CalendarEvent> events;
        std::string error;
        const bool read = icalModule().read(object.data, m_now.utcSeconds, events, error);
        const CalendarEvent* event = read ? masterOf(events) : nullptr;
        const std::string uid = event && !event->uid.empty() ? event->uid : object.href;
        DateTime from = m_now.local;
        if (event && event->start && writtenByKelvo(*event))
            from = std::min(from, *event->start);
        const EventImport mapped = event ? itemOf(*event, from) : EventImport{};
        if (!mapped.item)
            return leaveAlone(uid, object, event ? event->summary : object.href);
        const ReminderItem& remote = *mapped.item;
        takeAcknowledgement(uid, *event, changes);
        const auto known = m_state.objects.find(uid);
        const auto local = m_local.find(uid);
        if (local == m_local.end()) {
            // A single reminder whose time was past before it came here was
            // the other computer's to show: it does not come up as missed.
            ReminderItem added = remote;
            added.reminded = from < m_now.local && !repeats(scheduleOf(added));
            changes.added.emplace_back(uid, added);
            ++m_report.downloaded;
        } else {
            const bool based = known != m_state.objects.end() && !known->second.foreign;
            mergeInto(uid, local->second, based ? known->second.base : fieldsOf(remote), remote,
                      changes);
        }
        m_state.objects[uid] = {object.href, object.etag,         fieldsOf(remote),
                                false,       event->acknowledged, event->attendees};
    }

    // The server's dismissal when it is later than this computer's.
    void takeAcknowledgement(const std::string& uid, const CalendarEvent& event,
                             LocalChanges& changes) {
        const auto local = m_local.find(uid);
        const int64_t mine = local == m_local.end() ? 0 : local->second.item.acknowledged;
        if (event.acknowledged <= mine ||
            event.acknowledged > m_now.utcSeconds + kFurthestAheadSeconds)
            return;
        changes.acknowledged.push_back({uid, event.acknowledged, event.snoozedUntil});
        ++m_report.dismissedHere;
    }

    void mergeInto(const std::string& uid, LocalItem& local, const ItemFields& base,
                   const ReminderItem& remote, LocalChanges& changes) {
        const MergedItem merged = mergeItems(base, local.item, remote);
        if (fieldsOf(merged.item) != fieldsOf(local.item)) {
            changes.updated.emplace_back(uid, merged.item);
            ++m_report.downloaded;
        }
        if (merged.conflict) {
            ReminderItem copy = local.item;
            copy.message += kConflictMark;
            changes.added.emplace_back(newUid(), copy);
            m_report.conflicts.push_back(local.item.message);
        }
        local.item = merged.item;
    }

    void leaveAlone(const std::string& uid, const DavObject& object, const std::string& summary) {
        SyncedObject& known = m_state.objects[uid];
        if (!known.foreign || known.href.empty())
            m_report.unexpressible.push_back(summary);
        known = {object.href, object.etag, {}, true};
    }

    void removedOnServer(const std::string& href, LocalChanges& changes) {
        const std::string uid = m_state.uidAt(href);
        if (uid.empty())
            return;
        const SyncedObject object = m_state.objects[uid];
        m_state.objects.erase(uid);
        const auto local = m_local.find(uid);
        if (object.foreign || local == m_local.end())
            return;
        // Changed here since: it stays, and goes up again as a new object.
        if (fieldsOf(local->second.item) == object.base) {
            changes.removed.push_back(uid);
            ++m_report.removedHere;
        }
    }

    // Sends what changed here; true when a 412 asks for another round.
    bool push() {
        std::vector<DavPut> puts;
        std::vector<std::string> uids;
        for (const auto& [uid, local] : m_local) {
            if (auto put = putOf(uid, local.item)) {
                puts.push_back(std::move(*put));
                uids.push_back(uid);
            }
        }
        std::vector<std::string> refused;
        bool again = false;
        for (size_t from = 0; from < puts.size(); from += kPutsPerStep) {
            const size_t to = std::min(puts.size(), from + kPutsPerStep);
            std::vector<DavPut> step(puts.begin() + from, puts.begin() + to);
            const DavResult result = m_server.put(step);
            for (size_t i = 0; i < step.size(); ++i)
                again = answered(uids[from + i], step[i], refused) || again;
            store();
            check(result);
        }
        if (refused.empty())
            return again;
        LocalChanges changes;
        fetchAndMerge(refused, changes);
        applyLocalChanges(m_data, changes);
        store();
        m_local = readLocalItems(m_data);
        return true;
    }

    std::optional<DavPut> putOf(const std::string& uid, const ReminderItem& item) {
        const auto known = m_state.objects.find(uid);
        const bool have = known != m_state.objects.end();
        if (have && (known->second.foreign || known->second.base == fieldsOf(item)))
            return std::nullopt;
        auto event = eventOf(item, uid, m_now.local.date);
        if (!event)
            return std::nullopt;
        // A dismissal never goes back: the server's stays when it is later.
        if (have && known->second.acknowledged > item.acknowledged) {
            event->acknowledged = known->second.acknowledged;
        } else if (!have || !known->second.attendees) {
            event->acknowledged = item.acknowledged;
            event->snoozedUntil = item.snoozedUntil;
        }
        DavPut put;
        std::string error;
        if (!icalModule().write({*event}, m_now.utcSeconds, put.data, error))
            return std::nullopt;
        put.href = have ? known->second.href : hrefFor(m_server.calendar(), uid);
        put.ifMatch = have ? (known->second.etag.empty() ? "*" : known->second.etag) : "";
        return put;
    }

    // True when the reminder must go up again as a new object (404: deleted
    // there meanwhile).
    bool answered(const std::string& uid, const DavPut& put, std::vector<std::string>& refused) {
        if (put.status / 100 == 2) {
            const ReminderItem& item = m_local.at(uid).item;
            SyncedObject& object = m_state.objects[uid];
            object = {put.href, put.etag, fieldsOf(item), false,
                      std::max(object.acknowledged, item.acknowledged)};
            ++m_report.uploaded;
        } else if (put.status == 412) {
            refused.push_back(put.href);
        } else if (put.status == 404) {
            m_state.objects.erase(uid);
            return true;
        }
        return false;
    }

    // Sends the dismissals of reminders that changed nowhere else, written
    // into the server's own text of each (nothing else of it changes, and
    // an object another program wrote keeps all it holds); one that changed
    // there meanwhile waits for the next sync.
    void pushAcknowledgements() {
        std::vector<std::string> hrefs;
        for (const auto& [uid, local] : m_local) {
            const auto known = m_state.objects.find(uid);
            if (known != m_state.objects.end() && !known->second.foreign &&
                !known->second.attendees && local.item.acknowledged > known->second.acknowledged)
                hrefs.push_back(known->second.href);
        }
        if (hrefs.empty())
            return;
        std::vector<DavObject> objects;
        check(m_server.fetch(hrefs, objects));
        std::vector<DavPut> puts;
        for (const DavObject& object : objects) {
            const std::string uid = m_state.uidAt(object.href);
            if (!m_local.count(uid))
                continue;
            const SyncedObject& known = m_state.objects.at(uid);
            const ReminderItem& item = m_local.at(uid).item;
            DavPut put;
            std::string error;
            if ((!known.etag.empty() && object.etag != known.etag) ||
                !icalModule().acknowledge(object.data, item.acknowledged, item.snoozedUntil,
                                          put.data, error))
                continue;
            put.href = object.href;
            put.ifMatch = object.etag;
            puts.push_back(std::move(put));
        }
        if (puts.empty())
            return;
        const DavResult result = m_server.put(puts);
        for (const DavPut& put : puts) {
            if (put.status / 100 != 2)
                continue;
            const std::string uid = m_state.uidAt(put.href);
            m_state.objects[uid].etag = put.etag;
            m_state.objects[uid].acknowledged = m_local.at(uid).item.acknowledged;
            ++m_report.dismissedThere;
        }
        store();
        check(result);
    }

    // Deletes there what was deleted here.
    void removeThere() {
        std::vector<std::string> gone;
        for (const auto& [uid, object] : m_state.objects) {
            if (!object.foreign && !m_local.count(uid))
                gone.push_back(uid);
        }
        LocalChanges changes;
        for (const std::string& uid : gone) {
            const SyncedObject object = m_state.objects[uid];
            int32_t status = 0;
            const DavResult result = m_server.remove(object.href, object.etag, status);
            if (status == 412) {
                m_state.objects.erase(uid);
                fetchAndMerge({object.href}, changes); // changed there: it comes back
                continue;
            }
            check(result);
            m_state.objects.erase(uid);
            ++m_report.removedThere;
        }
        applyLocalChanges(m_data, changes);
    }

    CalendarServer& m_server;
    std::string m_statePath;
    TIniFile m_data;
    ClockReading m_now;
    SyncState m_state;
    std::string m_stored; // the state as the file holds it
    LocalItems m_local;
    SyncReport m_report;
};

} // namespace

SyncReport syncReminders(CalendarServer& server, const std::string& dataDir,
                         const ClockReading& now) {
    return SyncRun(server, dataDir, now).run();
}

} // namespace kelvo
