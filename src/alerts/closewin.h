#pragma once

#include <QDialog>

namespace kelvo {

// The automatic shutdown countdown.
class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);
};

} // namespace kelvo
