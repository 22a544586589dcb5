#pragma once

class QWidget;

namespace kelvo {

// Places a window, frame included, in the middle of the available area of
// the screen it is on (the primary screen before its first showing).
void centreOnScreen(QWidget& window);

} // namespace kelvo
