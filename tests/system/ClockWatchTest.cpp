#include "support/PrivateBus.h"
#include "system/linux/LinuxClockWatch.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QtTest>

namespace kelvo {

// The wake from suspend comes from logind's PrepareForSleep on the system
// bus, here a private bus on which the test plays logind.
class ClockWatchTest : public QObject {
    Q_OBJECT
private slots:
    void aWakeFromSuspendIsToldAndGoingToSleepIsNot() {
        test::PrivateBus bus;
        if (bus.address.isEmpty())
            QSKIP("no dbus-daemon to run a private bus");
        QDBusConnection logind = bus.connect(QStringLiteral("logind"));
        QVERIFY(logind.registerService(QStringLiteral("org.freedesktop.login1")));
        LinuxClockWatch watch(bus.connect(QStringLiteral("program")));
        QSignalSpy jumped(&watch, &ClockWatch::jumped);

        sleep(logind, true);
        sleep(logind, false);
        QTRY_COMPARE(jumped.count(), 1);
        QTest::qWait(200); // the signal of going to sleep told nothing meanwhile
        QCOMPARE(jumped.count(), 1);
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
        QDBusConnection::disconnectFromBus(QStringLiteral("logind"));
    }

    // Without a bus the clock's own timer still watches, and tells nothing
    // while the clock only runs.
    void withoutABusNothingIsToldWhileTheClockRuns() {
        LinuxClockWatch watch(QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/kelvo-bus"), QStringLiteral("none")));
        QSignalSpy jumped(&watch, &ClockWatch::jumped);
        QTest::qWait(1200);
        QCOMPARE(jumped.count(), 0);
    }

private:
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
