#include "exchange/exportitems.h"

namespace kelvo {

TForm10::TForm10(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("导出窗口"));
    setFixedSize(432, 296);
}

} // namespace kelvo
