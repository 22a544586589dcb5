#include "app/Unit1.h"

#include "app/Dialogs.h"

namespace kelvo {

void TForm1::connectClockCommands() {}

void TForm1::showClockWindow() {
    m_dialogs.clock.show();
}

void TForm1::T1Click() {}

} // namespace kelvo
