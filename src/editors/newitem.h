#pragma once

#include <QDialog>

namespace kelvo {

// The add reminder dialog.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
};

} // namespace kelvo
