#include "system/linux/LinuxPower.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QProcess>

namespace kelvo {

void LinuxPower::powerOff() {
    QDBusInterface logind(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QDBusConnection::systemBus());
    if (logind.isValid()) {
        const QDBusMessage reply = logind.call(QStringLiteral("PowerOff"), false);
        if (reply.type() != QDBusMessage::ErrorMessage)
            return;
    }
    QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
}

} // namespace kelvo
