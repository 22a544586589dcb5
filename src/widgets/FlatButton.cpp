#include "widgets/FlatButton.h"

namespace kelvo {

FlatButton::FlatButton(QWidget* parent) : QPushButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setFlat(true);
    setAutoDefault(false);
}

} // namespace kelvo
