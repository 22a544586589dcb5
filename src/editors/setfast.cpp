#include "editors/setfast.h"

namespace kelvo {

TForm11::TForm11(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("设置快速完成"));
    setFixedSize(346, 346);
}

} // namespace kelvo
