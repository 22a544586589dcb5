#include "kelvoctl/ItemCommands.h"

#include "core/Clock.h"
#include "core/UserError.h"
#include "editors/ItemInput.h"
#include "ipc/InstanceChannel.h"
#include "kelvoctl/HolidayCommands.h"
#include "kelvoctl/Json.h"
#include "kelvoctl/Options.h"
#include "reminders/Occurrences.h"
#include "reminders/ReminderEngine.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "storage/Paths.h"
#include "storage/TextCodec.h"
#include "storage/ValueLimit.h"

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

// An occasion of the item lies in the minutes that a running program has
// checked already, up to the late limit back: it fires at once when the
// program sees the new item.
bool firesAtOnceWhenAdded(const ReminderItem& item, const DateTime& now) {
    const int64_t minute = minuteNumber(now);
    return !occasionsBetween({scheduleOf(item)}, minute - ReminderEngine::kMaxLateMinutes - 1,
                             minute)
                .empty();
}

bool runningProgramHears(const std::filesystem::path& dataDir) {
    const auto socket = channel::socketPath(dataDir.string());
    return socket && channel::listening(*socket);
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
    throw UserError(dataDir, answer->starts_with(prefix)
                                 ? "the running Kelvo did not delete: " + answer->substr(6)
                                 : std::string("the running Kelvo did not answer"));
}

} // namespace

void addReminder(const std::string& dataFile, const ItemArgs& args, bool json, std::ostream& out,
                 std::ostream& err) {
    const DateTime now = SystemClock().now();
    ItemInput input;
    input.mindMethod = 0; // the dialog opens with the first mode ticked
    input = applyItemArgs(std::move(input), args, now.date);
    refuseBadInput(input);
    const ReminderItem item = itemFromInput(input);
    const bool atOnce = firesAtOnceWhenAdded(item, now) &&
                        runningProgramHears(std::filesystem::path(dataFile).parent_path());
    if (atOnce)
        err << "kelvoctl: 将立即提醒（Kelvo 正在运行，提醒的时间就在刚才）。\n";
    const std::string warning = firingWarning(item, now);
    if (!warning.empty() && !(atOnce && !firesFrom(scheduleOf(item), now)))
        err << "kelvoctl: warning: " << warning << '\n';
    if (encodeFileText(item.message).size() > kMaxValueBytes)
        err << "kelvoctl: warning: 提醒内容超过 " << kMaxValueBytes << " 字节，只保存前 "
            << kMaxValueBytes << " 字节。\n";
    const std::vector<int32_t> missing = yearsWithoutArrangement(scheduleOf(item), now.date);
    warnMissingYears(missing, item.official, err);
    std::error_code ec;
    const bool exists = std::filesystem::exists(dataFile, ec);
    TIniFile data(dataFile);
    if (!exists)
        createDataFile(data);
    const int32_t k = appendItem(data, itemFromInput(input), input.withMusic);
    if (json)
        out << JsonObject().number("Item", k).numbers("MissingHolidayYears", missing).str() << '\n';
    else
        out << k << '\n';
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
