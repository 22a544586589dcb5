#include "storage/HandOff.h"

#include "storage/IniFile.h"

namespace kelvo {
namespace {

constexpr std::string_view kMsg = "Msg";
constexpr std::string_view kMusic = "Music";
constexpr std::string_view kItem = "Item";

} // namespace

void writeHandOff(const std::string& path, const HandOff& handOff) {
    TIniFile file(path);
    file.WriteString(handoff::Remind, kMsg, handOff.msg);
    file.WriteString(handoff::Remind, kMusic, handOff.music);
    file.UpdateFile();
}

HandOff readHandOff(const std::string& path) {
    const TIniFile file(path);
    return HandOff{file.ReadString(handoff::Remind, kMsg, ""),
                   file.ReadString(handoff::Remind, kMusic, "")};
}

void writeHandOffItem(const std::string& path, std::string_view section, int32_t item) {
    TIniFile file(path);
    file.WriteInteger(section, kItem, item);
    file.UpdateFile();
}

int32_t readHandOffItem(const std::string& path, std::string_view section) {
    const TIniFile file(path);
    return file.ReadInteger(section, kItem, 0);
}

} // namespace kelvo
