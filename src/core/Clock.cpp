#include "core/Clock.h"

#include <ctime>

namespace kelvo {

DateTime localTimeOf(int64_t utcSeconds) {
    const auto t = static_cast<std::time_t>(utcSeconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return DateTime{Date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday}, tm.tm_hour, tm.tm_min,
                    tm.tm_sec};
}

ClockReading SystemClock::read() const {
    std::timespec ts{};
    std::timespec_get(&ts, TIME_UTC);
    return {localTimeOf(ts.tv_sec), static_cast<int64_t>(ts.tv_sec),
            static_cast<int>(ts.tv_nsec / 1000000)};
}

} // namespace kelvo
