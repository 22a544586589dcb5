#pragma once

#include "core/DateTime.h"

namespace kelvo {

// The source of "now" for everything that decides by time, so that tests and
// kelvoctl can run the reminder rules over any moment they choose.
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
};

// Local time of the system.
class SystemClock final : public Clock {
public:
    DateTime now() const override;
};

// A clock that shows whatever it was last set to.
class ManualClock final : public Clock {
public:
    explicit ManualClock(DateTime t = {}) : m_now(t) {}
    DateTime now() const override { return m_now; }
    void set(const DateTime& t) { m_now = t; }
    void advanceMinutes(int64_t minutes) { m_now = addMinutes(m_now, minutes); }

private:
    DateTime m_now;
};

} // namespace kelvo
