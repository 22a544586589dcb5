#pragma once

#include <QIcon>

namespace kelvo {

// The program's icon, an alarm clock: the PNG sizes rendered from
// data/kelvo.svg at build time, from 16 to 256 pixels.
QIcon programIcon();

// The same icon greyed, for a state that is switched off (reminders
// paused): each size desaturated and faded to two thirds of its opacity,
// what is transparent staying so.
QIcon greyedIcon(const QIcon& icon);

} // namespace kelvo
