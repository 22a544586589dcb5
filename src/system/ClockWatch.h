#pragma once

#include <QObject>

namespace kelvo {

// Tells when the wall clock may have jumped while the program's timers,
// which count elapsed time, did not see it: the clock was set (by the user
// or by time synchronisation) or the machine woke from suspend or
// hibernation.
class ClockWatch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void jumped();
};

} // namespace kelvo
