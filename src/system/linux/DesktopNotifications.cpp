#include "system/linux/DesktopNotifications.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QStringList>
#include <QVariantMap>

namespace kelvo {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr uchar kCriticalUrgency = 2;
constexpr int kNeverExpires = 0;

bool hasService(const QDBusConnection& bus) {
    return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(kService);
}

QDBusMessage notifyCall(const QString& title, const QString& text, const QStringList& actions,
                        const QVariantMap& hints, int timeoutMs) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << QStringLiteral("Kelvo") << 0u << QStringLiteral("kelvo") << title << text << actions
         << hints << timeoutMs;
    return call;
}

} // namespace

bool sendDesktopNotification(const QDBusConnection& bus, const QString& title, const QString& text,
                             int timeoutMs) {
    if (!hasService(bus))
        return false;
    return bus.send(notifyCall(title, text, QStringList(), QVariantMap(), timeoutMs));
}

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus, QObject* parent)
    : Notifier(parent), m_bus(bus) {
    m_bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
    auto* watcher =
        new QDBusServiceWatcher(kService, m_bus, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, &Notifier::serviceLost);
}

bool DesktopNotifier::isAvailable() const {
    return hasService(m_bus);
}

void DesktopNotifier::notify(const QString& title, const QString& body,
                             const QList<Action>& actions, std::function<void(uint id)> shown) {
    QStringList pairs;
    for (const Action& action : actions)
        pairs << action.key << action.label;
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(kCriticalUrgency)},
                            {QStringLiteral("desktop-entry"), QStringLiteral("org.example.kelvo")}};
    auto* watcher = new QDBusPendingCallWatcher(
        m_bus.asyncCall(notifyCall(title, body, pairs, hints, kNeverExpires)), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [shown = std::move(shown)](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<uint> reply = *call;
                call->deleteLater();
                shown(reply.isValid() ? reply.value() : 0u);
            });
}

void DesktopNotifier::close(uint id) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService,
                                                       QStringLiteral("CloseNotification"));
    call << id;
    m_bus.send(call);
}

void DesktopNotifier::onActionInvoked(uint id, const QString& key) {
    emit actionInvoked(id, key);
}

void DesktopNotifier::onNotificationClosed(uint id, uint) {
    emit closed(id);
}

} // namespace kelvo
