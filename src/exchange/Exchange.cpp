#include "exchange/Exchange.h"

#include "storage/DataFile.h"
#include "storage/DataKeys.h"
#include "storage/IniFile.h"

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
    writeLunarRepeat(file, s, item.lunar);
}

bool isShutdown(const ReminderItem& item) {
    return item.message == kShutdownMarker;
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

std::vector<ActingItem> actingExchangeItems(const TIniFile& exchange) {
    std::vector<ActingItem> acting;
    for (int32_t j : heldExchangeItems(exchange)) {
        ReminderItem item = readItem(exchange, j, kExchangeDefaults);
        std::optional<CommandTag> command = extractCommand(item.message);
        const bool shutdown = isShutdown(item);
        if (shutdown || command)
            acting.push_back({j, std::move(item.message), shutdown, std::move(command)});
    }
    return acting;
}

int32_t importItems(TIniFile& data, const TIniFile& exchange, ActingItems acting) {
    const std::vector<int32_t> held = heldExchangeItems(exchange);
    // Every item is read before anything is written, so an exchange file
    // that is the data file itself is copied as it was.
    std::vector<ReminderItem> items;
    items.reserve(held.size());
    for (int32_t j : held) {
        ReminderItem item = readItem(exchange, j, kExchangeDefaults);
        if (acting != ActingItems::Skip || (!isShutdown(item) && !extractCommand(item.message)))
            items.push_back(std::move(item));
    }
    if (items.empty())
        return 0;
    const Imported mark =
        acting == ActingItems::AddUnconfirmed ? Imported::Unconfirmed : Imported::Confirmed;
    data.changeLocked([&] {
        int32_t k = nextItemNumber(data) - 1;
        for (const ReminderItem& item : items) {
            writeExchangeItem(data, ++k, item);
            writeImported(data, k, extractCommand(item.message) ? mark : Imported::No);
        }
        writeItemCount(data, k);
    });
    return static_cast<int32_t>(items.size());
}

void exportItems(const TIniFile& data, const std::vector<int32_t>& items, TIniFile& exchange) {
    int32_t k = 0;
    for (int32_t p : items)
        writeExchangeItem(exchange, ++k, readItem(data, p, kExchangeDefaults));
    exchange.WriteInteger(key::Main, key::Items, k);
    exchange.UpdateFile();
}

} // namespace kelvo
