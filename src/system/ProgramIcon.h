#pragma once

#include <QIcon>

namespace kelvo {

// The program's icon, an alarm clock, drawn at the sizes trays and title bars use.
QIcon programIcon();

} // namespace kelvo
