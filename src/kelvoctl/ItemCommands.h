#pragma once

#include "kelvoctl/ItemArgs.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace kelvo {
class TIniFile;
}

namespace kelvo::ctl {

// The commands that change single reminders, each as the window that does
// it in the program: input refused by the add dialog's checks is a
// UsageError with the dialog's message, and nothing is written. A reminder
// that never fires from now on is stored with a warning on `err`, as is one
// whose official rule meets a year without holiday data. add prints the new
// number, or with `json` {"Item":N,"MissingHolidayYears":[…]}.
void addReminder(const std::string& dataFile, const ItemArgs& args, bool json, std::ostream& out,
                 std::ostream& err);
void editReminder(const std::string& dataFile, int32_t item, const ItemArgs& args,
                  std::ostream& out);
// Through the program running on the directory when there is one, so that
// its snoozes move with the reminders; directly otherwise.
void deleteReminders(const std::string& dataDir, const std::vector<int32_t>& items,
                     std::ostream& out);

// Every key of the item as stored: Key=Value lines, or one JSON object.
void showReminder(const TIniFile& data, int32_t item, bool json, std::ostream& out);

} // namespace kelvo::ctl
