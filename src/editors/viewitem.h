#pragma once

#include <QDialog>

namespace kelvo {

// The view reminder dialog.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};

} // namespace kelvo
