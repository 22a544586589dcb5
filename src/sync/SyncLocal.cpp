#include "sync/SyncLocal.h"

#include "exchange/Exchange.h"
#include "ical/CalendarFile.h"
#include "storage/AckKeys.h"
#include "storage/DataFile.h"
#include "storage/DataKeys.h"
#include "storage/IniFile.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace kelvo {
namespace {

std::map<std::string, int32_t> numbersByUid(const TIniFile& data) {
    std::map<std::string, int32_t> numbers;
    const int32_t n = itemCount(data);
    for (int32_t k = 1; k <= n; ++k) {
        const std::string uid = readItemUid(data, k);
        if (!uid.empty())
            numbers.emplace(uid, k);
    }
    return numbers;
}

// The added items that fired elsewhere already get ReMinded = 1.
void markReminded(TIniFile& data, const std::vector<std::pair<std::string, ReminderItem>>& added) {
    if (std::none_of(added.begin(), added.end(), [](const auto& a) { return a.second.reminded; }))
        return;
    data.changeLocked([&] {
        const auto numbers = numbersByUid(data);
        for (const auto& [uid, item] : added) {
            const auto found = numbers.find(uid);
            if (item.reminded && found != numbers.end())
                data.WriteInteger(itemSection(found->second), datakeys::ReMinded, 1);
        }
    });
}

void storeAcknowledgements(TIniFile& data, const std::vector<Acknowledgement>& acks) {
    if (acks.empty())
        return;
    data.changeLocked([&] {
        const auto numbers = numbersByUid(data);
        for (const Acknowledgement& ack : acks) {
            const auto found = numbers.find(ack.uid);
            if (found != numbers.end())
                writeLaterAcknowledgement(data, itemSection(found->second), ack.at,
                                          ack.snoozedUntil);
        }
    });
}

} // namespace

void giveUids(TIniFile& data) {
    const auto missing = [&] {
        const int32_t n = itemCount(data);
        for (int32_t k = 1; k <= n; ++k) {
            if (readItemUid(data, k).empty())
                return true;
        }
        return false;
    };
    if (!missing())
        return;
    data.changeLocked([&] {
        const std::vector<std::string> uids = itemUids(data);
        for (size_t i = 0; i < uids.size(); ++i) {
            const auto k = static_cast<int32_t>(i + 1);
            if (readItemUid(data, k).empty())
                writeItemUid(data, k, uids[i]);
        }
    });
}

LocalItems readLocalItems(const TIniFile& data) {
    LocalItems items;
    for (const auto& [uid, k] : numbersByUid(data))
        items.emplace(uid, LocalItem{k, readItem(data, k, kExchangeDefaults)});
    return items;
}

void applyLocalChanges(TIniFile& data, const LocalChanges& changes) {
    if (!changes.updated.empty()) {
        data.changeLocked([&] {
            const auto numbers = numbersByUid(data);
            for (const auto& [uid, item] : changes.updated) {
                if (const auto found = numbers.find(uid); found != numbers.end())
                    writeEditedItem(data, found->second, item);
            }
        });
    }
    if (!changes.added.empty()) {
        std::vector<ReminderItem> items;
        std::vector<std::string> uids;
        for (const auto& [uid, item] : changes.added)
            uids.push_back(uid), items.push_back(item);
        createDataFile(data);
        appendCalendarItems(data, items, uids, ActingItems::AddUnconfirmed);
        markReminded(data, changes.added);
    }
    storeAcknowledgements(data, changes.acknowledged);
    if (!changes.removed.empty()) {
        const auto numbers = numbersByUid(data);
        std::vector<int32_t> gone;
        for (const std::string& uid : changes.removed) {
            if (const auto found = numbers.find(uid); found != numbers.end())
                gone.push_back(found->second);
        }
        deleteItems(data, gone);
    }
}

std::string newUid() {
    std::random_device random;
    char text[48];
    std::snprintf(text, sizeof text, "kelvo-%08x%08x-%08x", random(), random(), random());
    return text;
}

} // namespace kelvo
