#pragma once

#include <QDialog>

namespace kelvo {

// The settings dialog.
class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
};

} // namespace kelvo
