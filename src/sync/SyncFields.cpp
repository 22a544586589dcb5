#include "sync/SyncFields.h"

#include <cstdio>

namespace kelvo {

std::string textHash(const std::string& text) {
    uint64_t hash = 1469598103934665603ULL;
    for (char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    char out[24];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(hash));
    return out;
}

namespace {

std::string joined(std::initializer_list<int32_t> numbers) {
    std::string text;
    for (int32_t n : numbers)
        text += (text.empty() ? "" : "-") + std::to_string(n);
    return text;
}

void take(ReminderItem& to, const ReminderItem& from, SyncField field) {
    switch (field) {
    case SyncField::Date:
        to.year = from.year, to.month = from.month, to.day = from.day;
        break;
    case SyncField::Time:
        to.hour = from.hour, to.min = from.min;
        break;
    case SyncField::Before:
        to.rdBefore = from.rdBefore;
        break;
    case SyncField::Method:
        to.mindMethod = from.mindMethod;
        break;
    case SyncField::Message:
        to.message = from.message;
        break;
    case SyncField::Music:
        to.music = from.music;
        break;
    case SyncField::Lunar:
        to.lunar = from.lunar;
        break;
    case SyncField::Official:
        to.official = from.official;
        break;
    case SyncField::Interval:
        to.interval = from.interval;
        break;
    case SyncField::Warnings:
        to.warnings = from.warnings;
        break;
    }
}

} // namespace

ItemFields fieldsOf(const ReminderItem& item) {
    const LunarRepeat& lunar = item.lunar;
    const DayWarnings& warnings = item.warnings;
    return {{joined({item.year, item.month, item.day}), joined({item.hour, item.min}),
             std::to_string(item.rdBefore), std::to_string(item.mindMethod), textHash(item.message),
             textHash(item.music),
             joined({lunar.cycle, lunar.month, lunar.day, lunar.leap ? 1 : 0}),
             std::to_string(static_cast<int32_t>(item.official)),
             joined({item.interval.every, item.interval.end}),
             joined({warnings.days[0], warnings.days[1], warnings.days[2], warnings.days[3],
                     warnings.days[4], warnings.minute})}};
}

MergedItem mergeItems(const ItemFields& base, const ReminderItem& local,
                      const ReminderItem& remote) {
    const ItemFields mine = fieldsOf(local), theirs = fieldsOf(remote);
    MergedItem merged{local, false};
    for (size_t i = 0; i < kSyncFieldCount; ++i) {
        const auto field = static_cast<SyncField>(i);
        if (mine.values[i] == theirs.values[i] || theirs.values[i] == base.values[i])
            continue;
        if (mine.values[i] != base.values[i])
            merged.conflict = true;
        take(merged.item, remote, field);
    }
    return merged;
}

} // namespace kelvo
