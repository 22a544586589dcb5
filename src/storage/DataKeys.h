#pragma once

#include <string_view>

// The sections and keys of DataFile.dat, which the exchange file shares.
// What a missing key reads as depends on the reader (ItemDefaults); keys are
// matched without regard to letter case.
namespace kelvo::datakeys {

inline constexpr std::string_view Main = "Main";
inline constexpr std::string_view Corporation = "Corporation";
inline constexpr std::string_view Version = "Version";
inline constexpr std::string_view User = "User";
inline constexpr std::string_view OpenTimes = "OpenTimes";
inline constexpr std::string_view Items = "Items";

// The sections Item1 … Item<Items> hold the reminders (Item0: a sample).
inline constexpr std::string_view ItemPrefix = "Item";
// Of each item section.
inline constexpr std::string_view Year = "Year";
inline constexpr std::string_view Month = "Month";
inline constexpr std::string_view Day = "Day";
inline constexpr std::string_view Hour = "Hour";
inline constexpr std::string_view Min = "Min";
// One key in two spellings: the add and edit dialogs and the firing write
// ReMinded; creation, delete and import write Reminded.
inline constexpr std::string_view ReMinded = "ReMinded";
inline constexpr std::string_view Reminded = "Reminded";
inline constexpr std::string_view RdBefore = "RdBefore";
inline constexpr std::string_view MindMethod = "MindMethod";
inline constexpr std::string_view Message = "Message";
inline constexpr std::string_view Music = "Music";
inline constexpr std::string_view LunarRepeat = "LunarRepeat";
inline constexpr std::string_view LunarMonth = "LunarMonth";
inline constexpr std::string_view LunarDay = "LunarDay";
inline constexpr std::string_view LunarLeap = "LunarLeap";
// 1: on the official workdays, 2: on the official days off, instead of the
// weekday bits of Day (OfficialRule); absent: 0, by the bits.
inline constexpr std::string_view OfficialDays = "OfficialDays";
// An interval reminder: every Interval minutes (5 … 720) from Hour:Min up
// to IntervalEndHour:IntervalEndMin of the same day. Absent or 0: a plain
// reminder at Hour:Min, which is how a reader without these keys reads it.
inline constexpr std::string_view Interval = "Interval";
inline constexpr std::string_view IntervalEndHour = "IntervalEndHour";
inline constexpr std::string_view IntervalEndMin = "IntervalEndMin";
// Warnings days ahead: WarnDays lists the day counts ("7,1", each 1 … 30),
// at WarnHour:WarnMin, absent the set time. Absent or empty: none; RdBefore
// stays the minutes of the advance warning beside them.
inline constexpr std::string_view WarnDays = "WarnDays";
inline constexpr std::string_view WarnHour = "WarnHour";
inline constexpr std::string_view WarnMin = "WarnMin";
// Whether an item with a command came in by import, and whether the user has
// confirmed that command since (storage/DataFile.h).
inline constexpr std::string_view Imported = "Imported";
// The UID of the calendar event an item came from (ical/CalendarFile.h);
// absent for every other item.
inline constexpr std::string_view Uid = "Uid";
// The moment before which an item does not fire, "YYYY-MM-DD HH:MM" local
// time (storage/PauseKey.h): its next occurrence skipped, or a pause until a
// day. Absent or empty for every other item; a reader that does not know it
// sees the item fire as it always would.
inline constexpr std::string_view NotBefore = "NotBefore";
// With a sync account: when the item's reminder was last dismissed on this or
// another computer, and when it is due again if it was snoozed then, UTC
// times "20261209T090030Z" (storage/AckKeys.h). What fell due up to Acked
// does not fire. Absent or empty: never; a reader that does not know them
// sees the item fire as it always would.
inline constexpr std::string_view Acked = "Acked";
inline constexpr std::string_view SnoozedTo = "SnoozedTo";

} // namespace kelvo::datakeys
