#pragma once

#include <QDialog>

namespace kelvo {

// The remind-later dialog.
class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);
};

} // namespace kelvo
