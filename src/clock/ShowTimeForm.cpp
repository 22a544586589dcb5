#include "clock/ShowTimeForm.h"

namespace kelvo {

TForm8::TForm8(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("ViewTime"));
    setFixedSize(179, 53);
}

} // namespace kelvo
