#pragma once

#include "system/Notifier.h"

#include <QDBusConnection>
#include <QString>

namespace kelvo {

// Sends a notification through the desktop's notification service
// (org.freedesktop.Notifications) on `bus`, as the application "Kelvo" with
// its icon. Returns false, having sent nothing, when the bus has no such
// service. The call does not wait for the service's answer.
bool sendDesktopNotification(const QDBusConnection& bus, const QString& title, const QString& text,
                             int timeoutMs);

// Reminder notifications through org.freedesktop.Notifications on a bus.
class DesktopNotifier final : public Notifier {
    Q_OBJECT
public:
    explicit DesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    bool isAvailable() const override;
    void notify(const QString& title, const QString& body, const QList<Action>& actions,
                std::function<void(uint id)> shown) override;
    void close(uint id) override;

private slots:
    void onActionInvoked(uint id, const QString& key);
    void onNotificationClosed(uint id, uint reason);

private:
    QDBusConnection m_bus;
};

} // namespace kelvo
