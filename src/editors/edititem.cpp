#include "editors/edititem.h"

namespace kelvo {

TForm6::TForm6(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("编辑提醒"));
    setFixedSize(326, 360);
}

} // namespace kelvo
