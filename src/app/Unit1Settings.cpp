#include "app/Unit1.h"

#include <QMoveEvent>

namespace kelvo {

void TForm1::connectSettingsCommands() {}

// Registration for the start with the user's log-on is checked here, after
// the settings are open and before the data file is.
void TForm1::runStartupAutorunCheck() {}

void TForm1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
}

void TForm1::FlatSpeedButton1Click() {}

void TForm1::R1Click() {}

void TForm1::FlatSpeedButton10Click() {}

} // namespace kelvo
