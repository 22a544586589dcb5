#include "reminders/ReminderItem.h"

namespace kelvo {

int32_t weekdayCode(const std::array<bool, 7>& days) {
    int32_t code = 255;
    for (int i = 0; i < 7; ++i) {
        if (days[i])
            code += 256 << i;
    }
    return code;
}

} // namespace kelvo
