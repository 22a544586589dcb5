#include "lunar/FormSetNL.h"

namespace kelvo {

TSetNL::TSetNL(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("设置农历日"));
    setFixedSize(285, 91);
}

} // namespace kelvo
