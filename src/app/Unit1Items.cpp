#include "app/Unit1.h"

namespace kelvo {

void TForm1::connectItemCommands() {}

void TForm1::FlatSpeedButton2Click() {}

void TForm1::FlatSpeedButton5Click() {}

void TForm1::FlatSpeedButton4Click() {}

void TForm1::FlatSpeedButton3Click() {}

void TForm1::FlatSpeedButton7Click() {}

void TForm1::H1Click() {}

void TForm1::FlatSpeedButton8Click() {}

void TForm1::N3Click() {}

void TForm1::FlatSpeedButton6Click() {}

void TForm1::A1Click() {}

void TForm1::P1Click() {}

} // namespace kelvo
