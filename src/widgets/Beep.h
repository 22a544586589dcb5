#pragma once

#include <functional>

namespace kelvo {

// The beep with which controls refuse input. The program routes it to the
// platform's audible beep; by default it is the display's bell.
void kitBeep();
void setKitBeep(std::function<void()> beep);

} // namespace kelvo
