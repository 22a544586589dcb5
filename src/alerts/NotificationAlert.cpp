#include "alerts/NotificationAlert.h"

#include "alerts/AlertChoice.h"
#include "alerts/AlertCommand.h"
#include "alerts/AlertSound.h"
#include "alerts/showmsg.h"
#include "core/VisibleText.h"
#include "storage/ConfigFile.h"
#include "storage/IniFile.h"
#include "system/Notifier.h"
#include "system/Platform.h"
#include "widgets/MessageBox.h"
#include "widgets/Messages.h"

#include <QGuiApplication>

namespace kelvo {
namespace {

const QString kSnooze = QStringLiteral("snooze:");
const QString kClose = QStringLiteral("close");
const QString kCommand = QStringLiteral("command");

// The remind-later minutes first, then 10 and 60 minutes, each once.
QList<Notifier::Action> snoozeActions() {
    QList<Notifier::Action> actions;
    for (int minutes : {int(TForm4::remindLaterMinutes), 10, 60}) {
        const QString key = kSnooze + QString::number(minutes);
        if (std::none_of(actions.begin(), actions.end(),
                         [&](const Notifier::Action& a) { return a.key == key; }))
            actions.append({key, QString::number(minutes) + QStringLiteral("分后提醒")});
    }
    return actions;
}

bool popupStaysOnTop() {
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

} // namespace

NotificationAlert* alertByNotification(QWidget* mainWindow, quint16 item, const QString& message,
                                       const QString& music, const DataPaths& paths,
                                       Platform& platform, std::function<void()> popupInstead) {
    const std::string text = message.toStdString();
    const AlertCircumstances circumstances{text,
                                           settings::NotifyAlerts.read(TIniFile(paths.config())),
                                           popupStaysOnTop(), platform.notifier.isAvailable()};
    if (chooseAlert(circumstances) != AlertKind::Notification)
        return nullptr;
    return new NotificationAlert(mainWindow, item, message, music, paths, platform,
                                 std::move(popupInstead));
}

NotificationAlert::NotificationAlert(QWidget* mainWindow, quint16 item, const QString& message,
                                     const QString& music, const DataPaths& paths,
                                     Platform& platform, std::function<void()> popupInstead)
    : QObject(mainWindow), m_mainWindow(mainWindow), m_item(item), m_paths(paths),
      m_platform(platform), m_popupInstead(std::move(popupInstead)) {
    connect(&platform.notifier, &Notifier::actionInvoked, this, &NotificationAlert::actionInvoked);
    connect(&platform.notifier, &Notifier::closed, this, &NotificationAlert::closed);
    connect(&platform.notifier, &Notifier::serviceLost, this, &NotificationAlert::lost);
    show(message, music);
}

NotificationAlert::~NotificationAlert() = default;

void NotificationAlert::itemDeleted(int32_t k) {
    m_item = static_cast<quint16>(numberAfterDelete(m_item, k));
    if (m_command)
        m_command->itemDeleted(k);
}

void NotificationAlert::show(const QString& message, const QString& ownSound) {
    const TIniFile config(m_paths.config());
    m_command = std::make_unique<AlertCommand>(message, m_item, m_paths, m_platform.shell);
    QList<Notifier::Action> actions = snoozeActions();
    actions.append({kClose, QStringLiteral("关闭")});
    const bool byItself = m_command->runsByItself(settings::AutoRunCmd.read(config));
    QString body = QString::fromStdString(visibleText(message.toStdString())).toHtmlEscaped();
    if (m_command->present() && !byItself) {
        actions.append({kCommand, QStringLiteral("执行设定命令")});
        body += QStringLiteral("\n") + m_command->description().toHtmlEscaped();
    }
    m_sound = std::make_unique<AlertSound>(
        m_platform,
        ownSound.isEmpty() ? QString::fromStdString(settings::Music.read(config)) : ownSound,
        settings::RepeatSound.read(config));
    if (byItself)
        m_command->run(false);
    QPointer<NotificationAlert> self(this);
    m_platform.notifier.notify(QStringLiteral("提醒"), body, actions, [self](uint id) {
        if (!self)
            return;
        self->m_id = id;
        if (id == 0)
            self->lost();
    });
}

void NotificationAlert::actionInvoked(uint id, const QString& key) {
    if (id == 0 || id != m_id)
        return;
    if (key.startsWith(kSnooze)) {
        sendSnoozeRequest(m_mainWindow, m_item, key.mid(kSnooze.size()).toUShort());
        m_answered = true;
    } else if (key == kCommand)
        MessageBox::reportingErrors(m_mainWindow, [this] { m_command->run(true); });
    if (key != kCommand)
        closed(id);
}

void NotificationAlert::lost() {
    std::function<void()> popup;
    popup.swap(m_popupInstead);
    end();
    // Last: the popup waits in a loop of its own until it is closed.
    if (popup)
        popup();
}

void NotificationAlert::withdraw() {
    m_answered = true;
    if (m_id != 0)
        m_platform.notifier.close(m_id);
    end();
}

void NotificationAlert::closed(uint id) {
    if (id == 0 || id != m_id)
        return;
    if (!m_answered)
        sendDismissal(m_mainWindow, m_item);
    end();
}

// However it went: the sound stops, and the alert is over.
void NotificationAlert::end() {
    m_id = 0;
    m_sound.reset();
    m_popupInstead = nullptr;
    deleteLater();
}

} // namespace kelvo
