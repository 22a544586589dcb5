#include "alerts/settimelater.h"

namespace kelvo {

TForm9::TForm9(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("X分钟后提醒"));
    setFixedSize(195, 64);
}

} // namespace kelvo
