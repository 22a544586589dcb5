#pragma once

#include <string_view>

namespace kelvo::identity {

// The program's name: the tray's, and the title of its message boxes.
inline constexpr std::string_view Program = "Kelvo";

// Who made the files: written into a new Config.ini (Sys) and DataFile.dat
// (Main), and shown in the about text.
inline constexpr std::string_view Corporation = "Tarnwick Corp,Ltd.";
inline constexpr std::string_view Version = "1.00.003";
inline constexpr std::string_view User = "Corvan";
// Who makes the program: the main window's watermark and the about box.
inline constexpr std::string_view Maker = "Kelvo 项目组";

} // namespace kelvo::identity
