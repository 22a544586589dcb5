#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTest>

namespace kelvo::test {

// A private bus of its own, ended with the test; no address when there is
// no dbus-daemon to run it.
class PrivateBus {
public:
    PrivateBus() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return;
        m_daemon.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                QStringLiteral("--print-address=1")});
        if (m_daemon.waitForReadyRead(10000))
            address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus() {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    QDBusConnection connect(const QString& name) const {
        return QDBusConnection::connectToBus(address, name);
    }
    QString address;

private:
    QProcess m_daemon;
};

} // namespace kelvo::test

// Skips the test on a developer's machine without a dbus-daemon; in CI
// (CI=true), where every package is installed, that is a failure.
#define KELVO_REQUIRE_BUS(bus)                                                                     \
    do {                                                                                           \
        if ((bus).address.isEmpty()) {                                                             \
            if (qgetenv("CI") == "true")                                                           \
                QFAIL("no dbus-daemon to run a private bus (CI=true: nothing may be missing)");    \
            QSKIP("no dbus-daemon to run a private bus");                                          \
        }                                                                                          \
    } while (false)
