#include "system/linux/QtTray.h"

#include "system/ProgramIcon.h"
#include "system/linux/DesktopNotifications.h"

#include <QDBusConnection>
#include <QGuiApplication>

namespace kelvo {

QtTray::QtTray(QObject* parent)
    : Tray(parent), m_normal(QGuiApplication::windowIcon()), m_icon(m_normal) {
    connect(&m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason r) {
                if (r == QSystemTrayIcon::DoubleClick)
                    emit doubleClicked();
            });
}

bool QtTray::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::show(const QString& toolTip, QMenu* menu) {
    m_icon.setToolTip(toolTip);
    m_icon.setContextMenu(menu);
    m_icon.show();
}

void QtTray::showPaused(bool paused) {
    if (paused && m_greyed.isNull())
        m_greyed = greyedIcon(m_normal);
    m_icon.setIcon(paused ? m_greyed : m_normal);
}

// The desktop's notification service shows the message where there is one;
// the tray's own balloon is the fallback.
void QtTray::showBalloon(const QString& title, const QString& text, int seconds) {
    if (!sendDesktopNotification(QDBusConnection::sessionBus(), title, text, seconds * 1000))
        m_icon.showMessage(title, text, QSystemTrayIcon::Information, seconds * 1000);
}

} // namespace kelvo
