#pragma once

#include <QDialog>

namespace kelvo {

// The export window.
class TForm10 : public QDialog {
    Q_OBJECT
public:
    explicit TForm10(QWidget* parent = nullptr);
};

} // namespace kelvo
