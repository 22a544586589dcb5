#pragma once

#include "storage/DataFile.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// What the add and edit dialogs hold in their controls, read as the store
// handler reads it: field values as the fields report them (typed text not
// yet clamped), and which boxes are ticked.
struct ItemInput {
    bool everyYear = false;
    bool everyMonth = false;
    bool everyDay = false;
    bool everyWeek = false;
    std::array<bool, 7> weekdays{}; // Monday first
    // With everyWeek: the official calendar's days instead of the weekdays.
    OfficialRule official = OfficialRule::None;
    int32_t year = 2000;
    int32_t month = 1;
    int32_t day = 1;
    int32_t hour = 0;
    int32_t min = 0;
    int32_t rdBefore = 0;
    int32_t mindMethod = kNoMindMethod;
    std::string message;
    bool withMusic = false;
    std::string music;
    // "按农历重复": the lunar date of the date fields repeats by lunarCycle;
    // the fields hold its first occurrence and the other repetitions are off.
    bool lunar = false;
    int32_t lunarCycle = LunarRepeat::kYearly;
    LunarRepeat keptLunar; // the stored repetition of an item being edited
    // "间隔提醒": every intervalEvery minutes from the set time up to
    // intervalEndHour:intervalEndMin of the same day.
    bool interval = false;
    int32_t intervalEvery = 45;
    int32_t intervalEndHour = 18;
    int32_t intervalEndMin = 0;
    // Warnings days ahead, each a day count; at warnHour:warnMin when
    // warnOwnTime, else at the set time.
    std::vector<int32_t> warnDays;
    bool warnOwnTime = false;
    int32_t warnHour = 9;
    int32_t warnMin = 0;

    static constexpr int32_t kNoMindMethod = -1; // no mode button ticked
};

// The message of the first check the input fails, in the order the user
// meets them; empty when the input may be stored. Every message belongs
// under the caption kInputErrorCaption.
inline constexpr std::string_view kInputErrorCaption = "输入错误";
std::string_view inputError(const ItemInput& input);

// The reminder the input stands for. Day is 0, the weekday code or the day
// of the month; the sound is empty unless one is chosen; a missing mode
// button leaves mindMethod at kNoMindMethod for the caller to settle.
ReminderItem itemFromInput(const ItemInput& input);

// What the edit dialog holds for a stored item: the repetition boxes ticked
// for a 0 date field or a weekday code, the other values brought into the
// fields' limits (the advance minutes have none), no mode button for an
// unknown mind method, the sound box ticked for a sound, a lunar repetition
// kept.
ItemInput inputFromItem(const ReminderItem& item);

// What the user is told before an item is stored that never fires from
// `now` on, or whose repetition ends within the year shown because 每年 (and
// 每月) was not ticked (then with its last day); empty when it fires on
// without an end. The add dialog asks kStoreAnywayQuestion after it, the
// edit dialog kStoreEditedQuestion, No being the default.
std::string firingWarning(const ReminderItem& item, const DateTime& now);
inline constexpr std::string_view kStoreAnywayQuestion = "仍然添加吗？";
inline constexpr std::string_view kStoreEditedQuestion = "仍然修改吗？";

// The item the edit dialog stores for the input over an item stored with
// `storedMindMethod`, which stays when no mode button is ticked.
ReminderItem editedItem(const ItemInput& input, int32_t storedMindMethod);

} // namespace kelvo
