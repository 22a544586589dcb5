#include "editors/SearchForm.h"

namespace kelvo {

Tsearch::Tsearch(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("搜索提醒"));
    setFixedSize(285, 317);
}

} // namespace kelvo
