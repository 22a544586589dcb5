#pragma once

#include <QDialog>

namespace kelvo {

// The lunar date dialog.
class TSetNL : public QDialog {
    Q_OBJECT
public:
    explicit TSetNL(QWidget* parent = nullptr);
};

} // namespace kelvo
