#include "core/Clock.h"

#include <ctime>

namespace kelvo {

ClockReading SystemClock::read() const {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {DateTime{Date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday}, tm.tm_hour, tm.tm_min,
                     tm.tm_sec},
            static_cast<int64_t>(t)};
}

} // namespace kelvo
