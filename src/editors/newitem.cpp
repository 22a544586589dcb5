#include "editors/newitem.h"

namespace kelvo {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("添加提醒"));
    setFixedSize(345, 371);
}

} // namespace kelvo
