#pragma once

#include <string>
#include <string_view>

class QWidget;

namespace kelvo {

class TIniFile;

// Places a window, frame included, in the middle of the available area of
// the screen it is on (the primary screen before its first showing).
void centreOnScreen(QWidget& window);

// Moves the window to the left and top edges stored in the section of the
// settings file (0, 0 when missing).
void restoreWindowPos(QWidget& window, const TIniFile& config, std::string_view section);

// Places the window 24 pixels right of and below `below`, kept within the
// available area of the screen `below` is on.
void placeStackedOn(QWidget& window, const QWidget& below);

// Writes the window's left and top edges into the section of the settings
// file at configPath; throws IniWriteError when the file cannot be written.
void storeWindowPos(const QWidget& window, const std::string& configPath, std::string_view section);

} // namespace kelvo
