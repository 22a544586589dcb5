#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

namespace kelvo {

// Reminders as the desktop's own notifications: they stay until the user
// acts on them, and offer buttons ("actions").
class Notifier : public QObject {
    Q_OBJECT
public:
    struct Action {
        QString key;   // what actionInvoked reports
        QString label; // what the button says
    };

    using QObject::QObject;

    // Whether the desktop has a notification service now.
    virtual bool isAvailable() const = 0;
    // Puts up a notification of the program, with its icon, the highest
    // urgency and no expiry; `shown` gets its number once the service has
    // answered, 0 when it could not be shown. `shown` is called from the
    // event loop, never before notify() returns.
    virtual void notify(const QString& title, const QString& body, const QList<Action>& actions,
                        std::function<void(uint id)> shown) = 0;
    // Takes the notification `id` down (its reminder was dismissed elsewhere).
    virtual void close(uint id) = 0;

signals:
    void actionInvoked(uint id, const QString& key);
    // Closed by the user or by the desktop.
    void closed(uint id);
    // The service went away with every notification it showed.
    void serviceLost();
};

} // namespace kelvo
