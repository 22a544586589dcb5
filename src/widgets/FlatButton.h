#pragma once

#include <QPushButton>

namespace kelvo {

// The flat command button of every window. It never takes the keyboard
// focus, so a value typed into a field is still unvalidated text when the
// button's handler reads it, and the field keeps the caret.
class FlatButton : public QPushButton {
    Q_OBJECT
public:
    explicit FlatButton(QWidget* parent = nullptr);
};

} // namespace kelvo
