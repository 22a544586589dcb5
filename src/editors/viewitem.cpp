#include "editors/viewitem.h"

namespace kelvo {

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("查看提醒"));
    setFixedSize(312, 290);
}

} // namespace kelvo
