#pragma once

#include "system/ClockWatch.h"

class QDBusConnection;
class QSocketNotifier;

namespace kelvo {

// ClockWatch on Linux: a CLOCK_REALTIME timerfd armed far ahead with
// TFD_TIMER_CANCEL_ON_SET, which the kernel cancels whenever the clock is
// set and after a resume, and logind's PrepareForSleep(false) on the system
// bus, for a resume the timerfd does not report. Either is enough; without
// a system bus the timerfd alone tells.
class LinuxClockWatch : public ClockWatch {
    Q_OBJECT
public:
    explicit LinuxClockWatch(const QDBusConnection& systemBus, QObject* parent = nullptr);
    ~LinuxClockWatch() override;

private slots:
    void prepareForSleep(bool sleeping);

private:
    void arm();
    void readTimer();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace kelvo
