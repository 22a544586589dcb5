#include "exchange/Exchange.h"

#include "storage/DataFile.h"
#include "storage/DataKeys.h"
#include "storage/IniFile.h"
#include "storage/ItemRuleKeys.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace kelvo {
namespace {

namespace key = datakeys;

// The keys an exchange item carries, in the order they are written.
void writeExchangeItem(TIniFile& file, int32_t k, const ReminderItem& item) {
    const std::string s = itemSection(k);
    writeDate(file, s, item);
    file.WriteInteger(s, key::Reminded, 0);
    file.WriteInteger(s, key::MindMethod, item.mindMethod);
    file.WriteString(s, key::Message, item.message);
    file.WriteString(s, key::Music, item.music);
    writeRepetitionKeys(file, s, item);
}

bool isShutdown(const ReminderItem& item) {
    return item.message == kShutdownMarker;
}

bool actsOnItsOwn(const ReminderItem& item) {
    return isShutdown(item) || extractCommand(item.message);
}

std::vector<ReminderItem> readHeldItems(const TIniFile& exchange,
                                        const std::vector<int32_t>& held) {
    std::vector<ReminderItem> items;
    items.reserve(held.size());
    for (int32_t j : held)
        items.push_back(readItem(exchange, j, kExchangeDefaults));
    return items;
}

} // namespace

int32_t statedExchangeCount(const TIniFile& exchange) {
    return exchange.ReadInteger(key::Main, key::Items, 0);
}

std::vector<int32_t> heldExchangeItems(const TIniFile& exchange) {
    const int32_t stated = statedExchangeCount(exchange);
    std::vector<int32_t> numbers;
    if (stated < 1)
        return numbers;
    for (const std::string& name : exchange.sectionNames()) {
        const auto j = itemSectionNumber(name);
        if (j && *j <= stated)
            numbers.push_back(*j);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

std::vector<ActingItem> actingItems(const std::vector<ReminderItem>& items) {
    std::vector<ActingItem> acting;
    for (size_t i = 0; i < items.size(); ++i) {
        std::optional<CommandTag> command = extractCommand(items[i].message);
        const bool shutdown = isShutdown(items[i]);
        if (shutdown || command)
            acting.push_back(
                {static_cast<int32_t>(i + 1), items[i].message, shutdown, std::move(command)});
    }
    return acting;
}

std::vector<ActingItem> actingExchangeItems(const TIniFile& exchange) {
    const std::vector<int32_t> held = heldExchangeItems(exchange);
    std::vector<ActingItem> acting = actingItems(readHeldItems(exchange, held));
    for (ActingItem& item : acting)
        item.number = held[static_cast<size_t>(item.number - 1)];
    return acting;
}

namespace {

// Appends the items that `acting` lets in; with uids (a calendar's items),
// each with its advance warning and UID.
int32_t appendItems(TIniFile& data, const std::vector<ReminderItem>& items, ActingItems acting,
                    const std::vector<std::string>* uids) {
    std::vector<size_t> taken;
    for (size_t i = 0; i < items.size(); ++i) {
        if (acting != ActingItems::Skip || !actsOnItsOwn(items[i]))
            taken.push_back(i);
    }
    if (taken.empty())
        return 0;
    const Imported mark =
        acting == ActingItems::AddUnconfirmed ? Imported::Unconfirmed : Imported::Confirmed;
    data.changeLocked([&] {
        int32_t k = nextItemNumber(data) - 1;
        for (size_t i : taken) {
            writeExchangeItem(data, ++k, items[i]);
            writeImported(data, k, extractCommand(items[i].message) ? mark : Imported::No);
            writeItemUid(data, k, uids ? std::string_view(uids->at(i)) : "");
            if (uids)
                data.WriteInteger(itemSection(k), key::RdBefore, items[i].rdBefore);
        }
        writeItemCount(data, k);
    });
    return static_cast<int32_t>(taken.size());
}

} // namespace

int32_t importItems(TIniFile& data, const TIniFile& exchange, ActingItems acting) {
    // Every item is read before anything is written, so an exchange file
    // that is the data file itself is copied as it was.
    return appendItems(data, readHeldItems(exchange, heldExchangeItems(exchange)), acting, nullptr);
}

int32_t appendCalendarItems(TIniFile& data, const std::vector<ReminderItem>& items,
                            const std::vector<std::string>& uids, ActingItems acting) {
    return appendItems(data, items, acting, &uids);
}

void exportItems(const TIniFile& data, const std::vector<int32_t>& items, TIniFile& exchange) {
    int32_t k = 0;
    for (int32_t p : items)
        writeExchangeItem(exchange, ++k, readItem(data, p, kExchangeDefaults));
    exchange.WriteInteger(key::Main, key::Items, k);
    exchange.UpdateFile();
}

} // namespace kelvo
