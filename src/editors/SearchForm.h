#pragma once

#include <QDialog>

namespace kelvo {

// The search window, docked at the main window's right edge.
class Tsearch : public QDialog {
    Q_OBJECT
public:
    explicit Tsearch(QWidget* parent = nullptr);
};

} // namespace kelvo
