#include "system/linux/DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace kelvo {

bool sendDesktopNotification(const QDBusConnection& bus, const QString& title, const QString& text,
                             int timeoutMs) {
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(service))
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                       service, QStringLiteral("Notify"));
    call << QStringLiteral("Kelvo") << 0u << QStringLiteral("kelvo") << title << text
         << QStringList() << QVariantMap() << timeoutMs;
    return bus.send(call);
}

} // namespace kelvo
