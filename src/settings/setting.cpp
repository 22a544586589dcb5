#include "settings/setting.h"

namespace kelvo {

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("设置"));
    setFixedSize(326, 312);
}

} // namespace kelvo
