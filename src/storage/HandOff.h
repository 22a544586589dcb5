#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo {

// The hand-off file TmpFile.tmp, through which the main window tells a
// window it opens what to show:
//   [Remind] Msg=<the message> Music=<the item's own sound, or empty>
//   [View] Item=<k>   [Edit] Item=<k>   the item of the view and edit dialogs
namespace handoff {
inline constexpr std::string_view Remind = "Remind";
inline constexpr std::string_view View = "View";
inline constexpr std::string_view Edit = "Edit";
} // namespace handoff

// Which reminder the popup is to show.
struct HandOff {
    std::string msg;
    std::string music;
};
void writeHandOff(const std::string& path, const HandOff& handOff);
HandOff readHandOff(const std::string& path);
// The item number a dialog is to show (handoff::View or handoff::Edit); 0
// when none is written.
void writeHandOffItem(const std::string& path, std::string_view section, int32_t item);
int32_t readHandOffItem(const std::string& path, std::string_view section);

} // namespace kelvo
