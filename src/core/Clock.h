#pragma once

#include "core/DateTime.h"

namespace kelvo {

// The source of "now" for everything that decides by time, so that tests and
// kelvoctl can run the reminder rules over any moment they choose.
struct ClockReading {
    DateTime local;
    int64_t utcSeconds = 0; // seconds since 1970-01-01 00:00 UTC
    int millisecond = 0;    // within the second, 0 … 999
};

class Clock {
public:
    virtual ~Clock() = default;
    // Local time and real time of one moment, read together.
    virtual ClockReading read() const = 0;
    DateTime now() const { return read().local; }
};

// The system zone's local wall time of a moment (seconds since 1970 UTC).
DateTime localTimeOf(int64_t utcSeconds);

// Local time of the system.
class SystemClock final : public Clock {
public:
    ClockReading read() const override;
};

// A clock that shows whatever it was last set to, in a zone whose offset
// from UTC the caller sets as well (0 unless set).
class ManualClock final : public Clock {
public:
    explicit ManualClock(DateTime t = {}) : m_now(t) {}
    ClockReading read() const override {
        return {m_now, localSeconds(m_now) - int64_t{m_offsetMinutes} * 60, m_millisecond};
    }
    void set(const DateTime& t, int millisecond = 0) {
        m_now = t;
        m_millisecond = millisecond;
    }
    void advanceMinutes(int64_t minutes) { m_now = addMinutes(m_now, minutes); }
    // Sets the local time and the zone's offset together, as a change of
    // daylight saving time does.
    void setZone(const DateTime& t, int offsetMinutes) {
        m_now = t;
        m_offsetMinutes = offsetMinutes;
    }

private:
    DateTime m_now;
    int m_millisecond = 0;
    int m_offsetMinutes = 0;
};

} // namespace kelvo
