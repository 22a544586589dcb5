#include "ical/CalendarFile.h"

#include "core/SystemError.h"
#include "core/UserError.h"
#include "ical/IcalModule.h"
#include "storage/DataFile.h"
#include "storage/FileIO.h"
#include "storage/IniFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace kelvo {
namespace {

namespace fs = std::filesystem;

std::string_view withoutBom(std::string_view text) {
    return text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
        if (upper(a[i]) != upper(b[i]))
            return false;
    }
    return true;
}

// Calls `line` with every line of the text, without its line end (CR LF,
// LF or CR alone).
template <typename F> void forEachLine(std::string_view text, F line) {
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        if (!line(text.substr(0, end)) || end == std::string_view::npos)
            return;
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
}

bool validUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t n = c < 0x80         ? 1
                         : (c >> 5) == 6  ? 2
                         : (c >> 4) == 14 ? 3
                         : (c >> 3) == 30 ? 4
                                          : 0;
        if (n == 0 || i + n > text.size() || (n == 2 && c < 0xC2))
            return false;
        uint32_t code = n == 1 ? c : c & (0x7F >> n);
        for (size_t k = 1; k < n; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d >> 6) != 2)
                return false;
            code = (code << 6) | (d & 0x3F);
        }
        const bool overlong = (n == 3 && code < 0x800) || (n == 4 && code < 0x10000);
        if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += n;
    }
    return true;
}

// The components must close in order, none deeper than the limit, and the
// first must be a VCALENDAR.
std::string structureProblem(std::string_view text) {
    std::vector<std::string_view> open;
    size_t events = 0;
    bool first = true;
    std::string problem;
    size_t unfolded = 0; // the length of the line with its continuation lines
    forEachLine(text, [&](std::string_view line) {
        const bool continued = line.starts_with(' ') || line.starts_with('\t');
        unfolded = continued ? unfolded + line.size() - 1 : line.size();
        if (unfolded > kMostCalendarLine)
            problem = "日历文件中有超过 64 KB 的行（折行连起来算）";
        const bool begin = line.size() > 6 && equalsIgnoringCase(line.substr(0, 6), "BEGIN:");
        const bool end = line.size() > 4 && equalsIgnoringCase(line.substr(0, 4), "END:");
        if (first && !line.empty() && !(begin && equalsIgnoringCase(line, "BEGIN:VCALENDAR")))
            problem = "不是日历文件（没有 BEGIN:VCALENDAR）";
        if (begin) {
            const std::string_view name = line.substr(6);
            open.push_back(name);
            events += equalsIgnoringCase(name, "VEVENT") ? 1 : 0;
            if (open.size() > size_t(kMostCalendarDepth))
                problem = "日历文件的部件嵌套得太深";
        } else if (end && (open.empty() || !equalsIgnoringCase(open.back(), line.substr(4)))) {
            problem = "日历文件的结构不完整（" + std::string(line.substr(0, 40)) + " 不配对）";
        } else if (end) {
            open.pop_back();
        }
        first = first && line.empty();
        if (events > kMostCalendarEvents)
            problem = "日历文件中的事件超过 " + std::to_string(kMostCalendarEvents) + " 个";
        return problem.empty();
    });
    if (problem.empty() && !open.empty())
        problem = "日历文件的结构不完整（缺少 END:" + std::string(open.back().substr(0, 40)) + "）";
    return problem;
}

uint64_t fnv1a(std::string_view text) {
    uint64_t hash = 1469598103934665603ULL;
    for (char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    return hash;
}

std::string hashedUid(const std::string& prefix, std::string_view keys) {
    char text[40];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(fnv1a(keys)));
    return prefix + text;
}

std::string derivedUid(const ReminderItem& item) {
    std::string keys = std::to_string(item.year) + '|' + std::to_string(item.month) + '|' +
                       std::to_string(item.day) + '|' + std::to_string(item.hour) + '|' +
                       std::to_string(item.min) + '|' + item.message + '|' +
                       std::to_string(item.lunar.cycle) + '|' + std::to_string(item.lunar.month) +
                       '|' + std::to_string(item.lunar.day) + '|' + (item.lunar.leap ? "1" : "0");
    // Only a reminder on the official days has the field: every other keeps its UID.
    if (item.official != OfficialRule::None)
        keys += "|official" + std::to_string(static_cast<int32_t>(item.official));
    return hashedUid("kelvo-", keys);
}

// The event's UID, or one made from what it is.
std::string uidOf(const CalendarEvent& event) {
    if (!event.uid.empty())
        return event.uid;
    std::string keys = event.summary;
    if (event.start)
        keys += '|' + ruletext::untilText(*event.start) + (event.allDay ? "D" : "");
    for (const CalendarRule& rule : event.rules)
        keys += '|' + ruleText(rule);
    return hashedUid("kelvo-event-", keys);
}

// Lines that end in CR alone, as old Mac programs write them, end in LF.
void endLinesWithLf(std::string& text) {
    if (text.find('\n') == std::string::npos)
        std::replace(text.begin(), text.end(), '\r', '\n');
}

std::string readText(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec)
        throw UserError(path, "无法读取日历文件 " + path + "：" + systemReason(ec.value()));
    if (size > kMostCalendarBytes)
        throw UserError(path, "日历文件太大（超过 16 MB）：" + path);
    FileStamp stamp;
    ReadFailure failure = ReadFailure::None;
    std::string text = readWholeFile(path, stamp, &failure);
    if (failure != ReadFailure::None)
        throw UserError(path, "无法读取日历文件 " + path);
    return text;
}

} // namespace

bool looksLikeCalendar(std::string_view text) {
    bool calendar = false;
    forEachLine(withoutBom(text), [&](std::string_view line) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            return true;
        calendar = equalsIgnoringCase(line.substr(start), "BEGIN:VCALENDAR");
        return false;
    });
    return calendar;
}

bool isCalendarFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(4096, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    return looksLikeCalendar(head);
}

std::string calendarTextProblem(std::string_view text) {
    if (text.size() > kMostCalendarBytes)
        return "日历文件太大（超过 16 MB）";
    if (!validUtf8(text))
        return "日历文件不是有效的 UTF-8 文本";
    return structureProblem(withoutBom(text));
}

std::vector<std::string> itemUids(const TIniFile& data) {
    const int32_t n = itemCount(data);
    std::vector<std::string> uids;
    std::map<std::string, int> seen;
    for (int32_t k = 1; k <= n; ++k) {
        std::string uid = readItemUid(data, k);
        if (uid.empty()) {
            uid = derivedUid(readItem(data, k, kExchangeDefaults));
            const int count = ++seen[uid];
            if (count > 1)
                uid += "-" + std::to_string(count);
        }
        uids.push_back(std::move(uid));
    }
    return uids;
}

CalendarExport exportCalendar(const TIniFile& data, const std::vector<int32_t>& items,
                              const std::string& path, const Date& today, int64_t stampUtc) {
    const std::vector<std::string> uids = itemUids(data);
    CalendarExport result;
    std::vector<CalendarEvent> events;
    for (int32_t k : items) {
        auto event = eventOf(readItem(data, k, kExchangeDefaults), uids.at(size_t(k - 1)), today);
        if (event)
            events.push_back(std::move(*event));
        else
            ++result.neverFiring;
    }
    const std::string text = calendarText(events, stampUtc, path);
    errno = 0;
    if (!replaceFileAtomically(path, text))
        throw UserError(path, "无法写入日历文件 " + path + "：" + systemReason(errno));
    result.written = static_cast<int32_t>(events.size());
    return result;
}

std::vector<CalendarEvent> readCalendarEvents(const std::string& path, int64_t nowUtc) {
    std::string text = readText(path);
    endLinesWithLf(text);
    if (const std::string problem = calendarTextProblem(text); !problem.empty())
        throw UserError(path, problem + "：" + path);
    return calendarEvents(text, nowUtc, path);
}

CalendarImport readCalendar(const std::string& path, const TIniFile& data,
                            const ClockReading& now) {
    const std::vector<CalendarEvent> events = readCalendarEvents(path, now.utcSeconds);
    const std::vector<std::string> known = itemUids(data);
    std::set<std::string> uids(known.begin(), known.end());
    CalendarImport calendar;
    for (const CalendarEvent& event : events) {
        EventImport mapped = itemOf(event, now.local);
        const std::string uid = uidOf(event);
        if (mapped.item && !uids.insert(uid).second)
            mapped = {std::nullopt, SkipReason::Known, {}};
        if (!mapped.item) {
            calendar.skipped.push_back({event.summary, mapped.reason, mapped.detail});
            continue;
        }
        calendar.items.push_back(std::move(*mapped.item));
        calendar.uids.push_back(uid);
    }
    return calendar;
}

int32_t importCalendar(TIniFile& data, const CalendarImport& calendar, ActingItems acting) {
    return appendCalendarItems(data, calendar.items, calendar.uids, acting);
}

} // namespace kelvo
