#pragma once

#include "storage/Paths.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace kelvo {

class AlertCommand;
class AlertSound;
class NotificationAlert;
struct Platform;

// Shows the reminder that fired (its message and own sound, empty for the
// default sound) as a desktop notification and
// returns it where that is how it is to reach the user (the user chose it
// in the settings, or no popup can stay on top of this desktop) and the
// desktop has a notification service; returns null, having done nothing,
// where the popup is to be shown. The one place that decides between them.
// `popupInstead` shows the popup after all when the service cannot show the
// notification or goes away while it is up, so that no reminder is lost.
NotificationAlert* alertByNotification(QWidget* mainWindow, quint16 item, const QString& message,
                                       const QString& music, const DataPaths& paths,
                                       Platform& platform, std::function<void()> popupInstead);

// A fired reminder as a desktop notification: the message as its body,
// buttons for the remind-later minutes, 10 and 60 minutes, "关闭" and, when
// the message holds a command, "执行设定命令". The sound plays as for the
// popup until the notification goes; closing it counts as "关闭". It lives
// until then and deletes itself.
class NotificationAlert : public QObject {
    Q_OBJECT
public:
    NotificationAlert(QWidget* mainWindow, quint16 item, const QString& message,
                      const QString& music, const DataPaths& paths, Platform& platform,
                      std::function<void()> popupInstead);
    ~NotificationAlert() override;
    // Item k was deleted: the snooze buttons follow the reminder (as the popup's do).
    void itemDeleted(int32_t k);
    quint16 item() const { return m_item; }
    // When the reminder fired (seconds since 1970 UTC), as the main window tells it.
    void setFiredAt(int64_t utcSeconds) { m_firedAt = utcSeconds; }
    int64_t firedAt() const { return m_firedAt; }
    // The reminder was dismissed on another computer: the notification goes
    // without telling the main window of a dismissal.
    void withdraw();

private:
    void show(const QString& message, const QString& music);
    void actionInvoked(uint id, const QString& key);
    void closed(uint id);
    // The notification is not there for the user: the popup comes instead.
    void lost();
    void end();

    QPointer<QWidget> m_mainWindow;
    quint16 m_item;
    const DataPaths m_paths;
    Platform& m_platform;
    uint m_id = 0;
    int64_t m_firedAt = 0;
    bool m_answered = false; // snoozed or withdrawn: its close is no dismissal
    std::unique_ptr<AlertCommand> m_command;
    std::unique_ptr<AlertSound> m_sound;
    std::function<void()> m_popupInstead;
};

} // namespace kelvo
