#include "kelvoctl/ItemCommands.h"

#include "core/Clock.h"
#include "editors/ItemInput.h"
#include "ipc/InstanceChannel.h"
#include "kelvoctl/Json.h"
#include "kelvoctl/Options.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "storage/Paths.h"

#include <filesystem>
#include <iostream>

namespace kelvo::ctl {
namespace {

// Long enough for the running program to wait for the file and write it.
constexpr int kAnswerTimeoutMs = 15000;

void requireItem(const TIniFile& data, const std::string& command, int32_t k) {
    const int32_t n = itemCount(data);
    if (k > n)
        throw UsageError(command + ": there is no reminder " + std::to_string(k) + " (there are " +
                         std::to_string(n) + ")");
}

void refuseBadInput(const ItemInput& input) {
    const std::string_view error = inputError(input);
    if (!error.empty())
        throw UsageError(std::string(error));
}

std::string numberList(const std::vector<int32_t>& items) {
    std::string text;
    for (int32_t k : items)
        text += (text.empty() ? "" : " ") + std::to_string(k);
    return text;
}

// True when a program runs on the directory and did the delete; throws
// when it answered that it could not.
bool deleteInRunningProgram(const std::string& dataDir, const std::vector<int32_t>& items) {
    std::optional<std::string> answer;
    for (const std::string& socket : channel::socketsOf(dataDir)) {
        if ((answer = channel::ask(socket, channel::deleteRequest(items), kAnswerTimeoutMs)))
            break;
    }
    if (!answer)
        return false;
    if (*answer == channel::kOk)
        return true;
    const std::string_view prefix = "error ";
    throw std::runtime_error(answer->starts_with(prefix)
                                 ? "the running Kelvo did not delete: " + answer->substr(6)
                                 : std::string("the running Kelvo did not answer"));
}

} // namespace

void addReminder(const std::string& dataFile, const ItemArgs& args, std::ostream& out,
                 std::ostream& err) {
    const DateTime now = SystemClock().now();
    ItemInput input;
    input.mindMethod = 0; // the dialog opens with the first mode ticked
    input = applyItemArgs(std::move(input), args, now.date);
    refuseBadInput(input);
    const std::string warning = firingWarning(itemFromInput(input), now);
    if (!warning.empty())
        err << "kelvoctl: warning: " << warning << '\n';
    std::error_code ec;
    const bool exists = std::filesystem::exists(dataFile, ec);
    TIniFile data(dataFile);
    if (!exists)
        createDataFile(data);
    out << appendItem(data, itemFromInput(input), input.withMusic) << '\n';
}

void editReminder(const std::string& dataFile, int32_t k, const ItemArgs& args, std::ostream& out) {
    TIniFile data(dataFile);
    requireItem(data, "edit", k);
    const ReminderItem stored = readItem(data, k, kEditDefaults);
    const ItemInput input = applyItemArgs(inputFromItem(stored), args, SystemClock().now().date);
    refuseBadInput(input);
    storeEditedItem(data, k, editedItem(input, stored.mindMethod));
    out << "changed reminder " << k << '\n';
}

void deleteReminders(const std::string& dataDir, const std::vector<int32_t>& items,
                     std::ostream& out) {
    const std::string dataFile = DataPaths{dataDir}.dataFile();
    const std::vector<int32_t> order = deletionOrder(items);
    {
        const TIniFile data(dataFile);
        for (int32_t k : order)
            requireItem(data, "delete", k);
    }
    if (deleteInRunningProgram(dataDir, order)) {
        out << "deleted reminder(s) " << numberList(order) << " through the running Kelvo\n";
        return;
    }
    TIniFile data(dataFile);
    deleteItems(data, order);
    out << "deleted reminder(s) " << numberList(order)
        << " in the data file (no Kelvo runs on it)\n";
}

void showReminder(const TIniFile& data, int32_t k, bool json, std::ostream& out) {
    requireItem(data, "show", k);
    const auto entries = data.sectionEntries(itemSection(k));
    if (!json) {
        for (const auto& [key, value] : entries)
            out << key << '=' << value << '\n';
        return;
    }
    JsonObject object;
    object.number("Item", k);
    for (const auto& [key, value] : entries)
        object.text(key, value);
    out << object.str() << '\n';
}

} // namespace kelvo::ctl
