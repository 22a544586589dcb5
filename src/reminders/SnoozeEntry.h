#pragma once

#include <cstdint>

namespace kelvo {

// A reminder put off by the user: its item number and when it is due.
struct SnoozeEntry {
    int64_t due; // seconds since 1970-01-01 00:00 UTC
    int32_t item;
    bool operator==(const SnoozeEntry&) const = default;
};

} // namespace kelvo
