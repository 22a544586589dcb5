#pragma once

#include <QIcon>

namespace kelvo {

// The program's icon, an alarm clock: the PNG sizes rendered from
// data/kelvo.svg at build time, from 16 to 256 pixels.
QIcon programIcon();

} // namespace kelvo
