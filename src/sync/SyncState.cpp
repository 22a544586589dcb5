#include "sync/SyncState.h"

#include "storage/FileIO.h"

#include <cstdlib>
#include <sstream>
#include <vector>

namespace kelvo {
namespace {

constexpr std::string_view kHeader = "KelvoSync 2";
// The first version's lines have neither the dismissal nor the last three
// fields, which an item had none of then.
constexpr std::string_view kFirstHeader = "KelvoSync 1";
constexpr size_t kFirstFieldCount = 7;

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
        parts.push_back(line.substr(from, tab - from));
    parts.push_back(line.substr(from));
    return parts;
}

bool clean(const std::string& text) {
    return text.find_first_of("\t\r\n") == std::string::npos;
}

// One object line: UID, href, ETag, foreign, the dismissal, attendees, then
// the base's fields.
bool readObject(const std::vector<std::string>& parts, bool first, SyncState& state) {
    const size_t fields = first ? kFirstFieldCount : kSyncFieldCount;
    const size_t from = first ? 5 : 7;
    if (parts.size() != from + fields)
        return false;
    SyncedObject& object = state.objects[parts[1]];
    object.href = parts[2];
    object.etag = parts[3];
    object.foreign = parts[4] == "1";
    if (!first) {
        object.acknowledged = std::strtoll(parts[5].c_str(), nullptr, 10);
        object.attendees = parts[6] == "1";
    }
    object.base = fieldsOf(ReminderItem{});
    for (size_t i = 0; i < fields; ++i)
        object.base.values[i] = parts[from + i];
    return true;
}

} // namespace

std::string SyncState::uidAt(const std::string& href) const {
    for (const auto& [uid, object] : objects) {
        if (object.href == href)
            return uid;
    }
    return {};
}

SyncState readSyncState(const std::string& path) {
    FileStamp stamp;
    std::istringstream in(readWholeFile(path, stamp));
    std::string line;
    SyncState state;
    if (!std::getline(in, line) || (line != kHeader && line != kFirstHeader))
        return {};
    const bool first = line == kFirstHeader;
    while (std::getline(in, line)) {
        const std::vector<std::string> parts = split(line);
        if (parts[0] == "calendar" && parts.size() == 2)
            state.calendar = parts[1];
        else if (parts[0] == "token" && parts.size() == 2)
            state.token = parts[1];
        else if (parts[0] != "object" || !readObject(parts, first, state))
            return {};
    }
    return state;
}

std::string syncStateText(const SyncState& state) {
    std::string text = std::string(kHeader) + "\ncalendar\t" + state.calendar + "\ntoken\t" +
                       (clean(state.token) ? state.token : "") + '\n';
    for (const auto& [uid, object] : state.objects) {
        if (!clean(uid) || !clean(object.href) || !clean(object.etag))
            continue;
        text += "object\t" + uid + '\t' + object.href + '\t' + object.etag + '\t' +
                (object.foreign ? "1" : "0") + '\t' + std::to_string(object.acknowledged) + '\t' +
                (object.attendees ? "1" : "0");
        for (const std::string& value : object.base.values)
            text += '\t' + value;
        text += '\n';
    }
    return text;
}

bool writeSyncState(const std::string& path, const SyncState& state) {
    return replaceFileAtomically(path, syncStateText(state));
}

} // namespace kelvo
