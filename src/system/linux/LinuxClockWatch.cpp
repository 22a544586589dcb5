#include "system/linux/LinuxClockWatch.h"

#include <QDBusConnection>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace kelvo {
namespace {

// Far enough ahead never to expire in a run, near enough that adding it to
// the time (or a faked one) cannot overflow.
constexpr time_t kArmAhead = time_t{10} * 365 * 24 * 3600;

} // namespace

LinuxClockWatch::LinuxClockWatch(const QDBusConnection& systemBus, QObject* parent)
    : ClockWatch(parent) {
    m_fd = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &LinuxClockWatch::readTimer);
        arm();
    }
    QDBusConnection(systemBus).connect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(prepareForSleep(bool)));
}

LinuxClockWatch::~LinuxClockWatch() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void LinuxClockWatch::arm() {
    itimerspec spec{};
    ::clock_gettime(CLOCK_REALTIME, &spec.it_value);
    spec.it_value.tv_sec += kArmAhead;
    ::timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec, nullptr);
}

// A read fails with ECANCELED once the clock was set; the timer must then be
// armed again to tell of the next time.
void LinuxClockWatch::readTimer() {
    uint64_t expirations = 0;
    const ssize_t got = ::read(m_fd, &expirations, sizeof expirations);
    if (got < 0 && errno == EAGAIN)
        return;
    const bool set = got < 0 && errno == ECANCELED;
    arm();
    if (set)
        emit jumped();
}

void LinuxClockWatch::prepareForSleep(bool sleeping) {
    if (!sleeping)
        emit jumped();
}

} // namespace kelvo
