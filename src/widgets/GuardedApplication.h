#pragma once

#include <QApplication>

namespace kelvo {

// The program's application object, with the last guard around the event
// loop: an error that no handler caught ends that handler only. It is shown
// in a critical box with the error text and the application title as
// caption, and the program goes on.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace kelvo
