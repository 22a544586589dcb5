#pragma once

#include <QDialog>

namespace kelvo {

// The edit reminder dialog.
class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
};

} // namespace kelvo
