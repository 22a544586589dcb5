#pragma once

#include <QDialog>

namespace kelvo {

// The quick phrases dialog.
class TForm11 : public QDialog {
    Q_OBJECT
public:
    explicit TForm11(QWidget* parent = nullptr);
};

} // namespace kelvo
