#include "app/Unit1.h"

#include "app/Dialogs.h"
#include "clock/ShowTimeForm.h"

#include <QAction>

namespace kelvo {

// Qt flips the check mark of T1 before its handler runs; the mark is put
// back first, so that T1Click decides on the state the user saw and sets
// the mark itself.
void TForm1::connectClockCommands() {
    connect(T1, &QAction::triggered, this, [this](bool checked) {
        T1->setChecked(!checked);
        T1Click();
    });
}

void TForm1::showClockWindow() {
    TForm8& clock = m_dialogs.clock();
    clock.setMainWindow(this);
    clock.show();
}

// The clock on or off; the mark is stored at program end as ShowTimeForm.
void TForm1::T1Click() {
    if (T1->isChecked()) {
        T1->setChecked(false);
        if (TForm8* clock = m_dialogs.shownClock())
            clock->close();
    } else {
        T1->setChecked(true);
        showClockWindow();
    }
}

} // namespace kelvo
