#pragma once

#include <QString>

class QDBusConnection;

namespace kelvo {

// Sends a notification through the desktop's notification service
// (org.freedesktop.Notifications) on `bus`, as the application "Kelvo" with
// its icon. Returns false, having sent nothing, when the bus has no such
// service. The call does not wait for the service's answer.
bool sendDesktopNotification(const QDBusConnection& bus, const QString& title, const QString& text,
                             int timeoutMs);

} // namespace kelvo
