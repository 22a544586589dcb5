#include "app/Unit1.h"

namespace kelvo {

void TForm1::connectExchangeCommands() {}

void TForm1::FlatSpeedButton9Click() {}

} // namespace kelvo
