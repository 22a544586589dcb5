#pragma once

#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "storage/ReminderFile.h"

#include <chrono>
#include <cstdint>
#include <thread>

namespace kelvo::test {

// Marks item k reminded as the program does once the item's alert is up,
// trying again while another program holds the data file's lock.
inline void markShown(TIniFile& data, int32_t k) {
    PendingMarks marks;
    marks.add(k, data.ReadString(itemSection(k), "Message", ""));
    for (;;) {
        try {
            marks.store(data);
            return;
        } catch (const IniWriteError& e) {
            if (e.reason() != IniWriteError::Reason::Busy)
                throw;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

} // namespace kelvo::test
