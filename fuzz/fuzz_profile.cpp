// The profile-file reader on any bytes: the list load, the typed reads of
// the settings and hand-off files, and a stored change read back.
#include "FuzzSupport.h"

#include "reminders/ReminderList.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"
#include "storage/ReminderFile.h"

#include <algorithm>

using namespace kelvo;

namespace {

void readEverything(const std::string& path) {
    const TIniFile ini(path);
    const ReminderList list = loadReminderList(ini);
    // A count is believed up to 16 items per section the file holds.
    FUZZ_CHECK(list.count() / 16 <= ini.sectionCount());
    FUZZ_CHECK(list.lines.size() == list.items.size());
    for (int32_t k = 0; k <= std::min(list.count() + 1, 3); ++k)
        readItem(ini, k, kViewDefaults);
    settings::TimeLate.read(ini);
    settings::Music.read(ini);
    settings::ShowMainForm.read(ini);
    readWindowPos(ini, positions::ShowMsg);
    readHandOff(path);
    readHandOffItem(path, handoff::View);
    // Values are cut at 2047 bytes of the file's encoding, each of which
    // becomes at most three bytes of UTF-8 (an invalid byte: U+FFFD).
    for (const std::string& name : ini.sectionNames())
        FUZZ_CHECK(ini.ReadString(name, "Message", "x").size() <= 3 * 2047);
}

std::vector<std::string> listLines(const TIniFile& data) {
    const ReminderList list = loadReminderList(data);
    std::vector<std::string> lines;
    for (size_t i = 0; i < list.lines.size(); ++i)
        lines.emplace_back(list.lines[i]);
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::scratchPath("profile.ini");
    fuzz::writeFile(path, fuzz::bytesOf(data, size));
    readEverything(path);

    std::vector<std::string> lines, names;
    {
        const TIniFile before(path);
        lines = listLines(before);
        names = before.sectionNames();
    }
    // A change to a section of its own leaves everything else as it read.
    {
        TIniFile ini(path);
        ini.WriteString("FuzzSection", "Key", "value 值");
        ini.WriteInteger("FuzzSection", "Number", -2147483647 - 1);
        ini.UpdateFile();
    }
    const TIniFile after(path);
    FUZZ_CHECK(after.ReadString("FuzzSection", "Key", "") == "value 值");
    FUZZ_CHECK(after.ReadInteger("FuzzSection", "Number", 0) == -2147483647 - 1);
    // A count beyond the sections present is bounded by their number, so the
    // new section may let one more item read as defaults; the others stay.
    std::vector<std::string> linesAfter = listLines(after);
    if (linesAfter.size() == lines.size() + 1)
        linesAfter.pop_back();
    FUZZ_CHECK(linesAfter == lines);
    std::vector<std::string> namesAfter = after.sectionNames();
    const auto isFuzzSection = [](const std::string& name) {
        return name.size() == 11 && std::equal(name.begin(), name.end(), "fuzzsection",
                                               [](char a, char b) { return (a | 0x20) == b; });
    };
    if (std::none_of(names.begin(), names.end(), isFuzzSection)) {
        FUZZ_CHECK(!namesAfter.empty() && namesAfter.back() == "FuzzSection");
        namesAfter.pop_back();
    }
    FUZZ_CHECK(namesAfter == names);
    return 0;
}
