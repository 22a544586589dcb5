#include "support/PrivateBus.h"
#include "system/linux/LinuxClockWatch.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QtTest>

#include <cerrno>
#include <sys/timerfd.h>
#include <unistd.h>

namespace kelvo {

// The wake from suspend comes from logind's PrepareForSleep on the system
// bus, here a private bus on which the test plays logind.
class ClockWatchTest : public QObject {
    Q_OBJECT
private slots:
    void aWakeFromSuspendIsToldAndGoingToSleepIsNot() {
        test::PrivateBus bus;
        KELVO_REQUIRE_BUS(bus);
        QDBusConnection logind = bus.connect(QStringLiteral("logind"));
        QVERIFY(logind.registerService(QStringLiteral("org.freedesktop.login1")));
        LinuxClockWatch watch(bus.connect(QStringLiteral("program")));
        QSignalSpy jumped(&watch, &ClockWatch::jumped);

        // The program's connection delivers the signals in the order sent: once
        // the marker after them has come, both were handled.
        QDBusConnection(QStringLiteral("program"))
            .connect(QString(), QStringLiteral("/org/freedesktop/login1"),
                     QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Marker"),
                     this, SLOT(marker()));
        sleep(logind, true);
        sleep(logind, false);
        QVERIFY(logind.send(QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Marker"))));
        QTRY_COMPARE(m_markers, 1);
        QCOMPARE(jumped.count(), 1); // the signal of going to sleep told nothing
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
        QDBusConnection::disconnectFromBus(QStringLiteral("logind"));
    }

    // Without a bus the clock's own timer still watches: armed far ahead,
    // so that it tells nothing while the clock only runs, and neither run
    // out nor cancelled by a setting of the clock.
    void withoutABusTheClocksTimerStillWatches() {
        LinuxClockWatch watch(QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/kelvo-bus"), QStringLiteral("none")));
        QSignalSpy jumped(&watch, &ClockWatch::jumped);
        const auto* notifier = watch.findChild<QSocketNotifier*>();
        QVERIFY(notifier != nullptr);
        QVERIFY(notifier->isEnabled());
        const int fd = static_cast<int>(notifier->socket());
        itimerspec left{};
        QCOMPARE(::timerfd_gettime(fd, &left), 0);
        QVERIFY(left.it_value.tv_sec > 24 * 3600);
        uint64_t expirations = 0;
        QCOMPARE(::read(fd, &expirations, sizeof expirations), ssize_t(-1));
        QCOMPARE(errno, EAGAIN);
        QCOMPARE(jumped.count(), 0);
    }

public slots: // not a test function
    void marker() { ++m_markers; }

private:
    int m_markers = 0;

    static void sleep(QDBusConnection& logind, bool starting) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"));
        signal << starting;
        QVERIFY(logind.send(signal));
    }
};

} // namespace kelvo

QTEST_MAIN(kelvo::ClockWatchTest)
#include "ClockWatchTest.moc"
