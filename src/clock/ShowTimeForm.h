#pragma once

#include <QWidget>

namespace kelvo {

// The desktop clock window.
class TForm8 : public QWidget {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);
};

} // namespace kelvo
