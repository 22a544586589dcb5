#pragma once

#include "reminders/ReminderItem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// Appends "周" followed by the character of every weekday whose bit is set
// in the code, Monday first ("周一三日"); "周" alone when no bit is set.
void appendWeekdays(std::string& out, int32_t code);

// The caption of a mind method 0 … 3 ("精确提醒" …); nullopt for any other.
std::optional<std::string_view> mindMethodCaption(int32_t mindMethod);

// The texts of the view dialog's fields for one item.
struct ViewTexts {
    std::string year;  // "每年" or the number
    std::string month; // "每月" or the number
    std::string day;   // "每天", the number, or the weekday text
    std::string hour;
    std::string min;
    std::string reminded;                  // "未提醒" / "已提醒"
    std::optional<std::string> mindMethod; // nullopt: the field keeps its text
    std::string message;
    std::string music; // "系统音乐" / "已经设置"; never the path
    // "农历每年 八月 十五" for a lunar repetition, else the lunar date of a
    // fixed date ("农历十月廿九"); empty when there is none.
    std::string lunar;
};
ViewTexts viewTexts(const ReminderItem& item);

} // namespace kelvo
