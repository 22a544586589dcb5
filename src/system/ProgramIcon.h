#pragma once

#include <QIcon>

namespace kelvo {

// The program's icon, an alarm clock, rendered from data/kelvo.svg at every
// size a tray or a title bar asks for.
QIcon programIcon();

} // namespace kelvo
