#pragma once

#include <string>
#include <string_view>

class QMargins;
class QPoint;
class QSize;
class QWidget;

namespace kelvo {

class TIniFile;

// The frame the window manager puts around a framed window, as seen on the
// first of the program's windows that got one; empty until then.
QMargins frameMargins();

// The window's size with its frame: the frame as it is once the window has
// been framed, before that the frame of the program's other windows.
QSize outerSize(const QWidget& window);

// Gives the window a fixed size whose frame included is `outer`.
void setOuterSize(QWidget& window, const QSize& outer);

// Moves the window so that its frame's top-left corner is at `topLeft`,
// also before the window manager has framed it for the first time.
void moveFrameTo(QWidget& window, const QPoint& topLeft);

// Places a window, frame included, in the middle of the available area of
// the screen it is on (the primary screen before its first showing).
void centreOnScreen(QWidget& window);

// Moves the window's frame to the left and top edges stored in the section
// of the settings file (0, 0 when missing).
void restoreWindowPos(QWidget& window, const TIniFile& config, std::string_view section);

// Moves the window's frame into the available area (the screen without its
// task bars) of the screen it is on, as far as it fits.
void keepInWorkArea(QWidget& window);

// Places the window 24 pixels right of and below `below`, kept within the
// available area of the screen `below` is on.
void placeStackedOn(QWidget& window, const QWidget& below);

// Writes the left and top edges of the window's frame into the section of
// the settings file at configPath; throws IniWriteError when the file cannot
// be written.
void storeWindowPos(const QWidget& window, const std::string& configPath, std::string_view section);

} // namespace kelvo
