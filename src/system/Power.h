#pragma once

namespace kelvo {

// Switching the computer off.
class Power {
public:
    virtual ~Power() = default;
    // Asks the system for a forced power-off, without interaction. The
    // result is not examined: if the machine stays up, the program goes on.
    virtual void powerOff() = 0;
};

} // namespace kelvo
