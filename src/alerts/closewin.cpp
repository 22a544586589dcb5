#include "alerts/closewin.h"

namespace kelvo {

TForm7::TForm7(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("自动关机..."));
    setFixedSize(434, 162);
}

} // namespace kelvo
