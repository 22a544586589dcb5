#include "system/QtTray.h"

#include "system/ProgramIcon.h"

namespace kelvo {

QtTray::QtTray(QObject* parent) : Tray(parent), m_icon(programIcon()) {
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

void QtTray::showBalloon(const QString& title, const QString& text, int seconds) {
    m_icon.showMessage(title, text, QSystemTrayIcon::Information, seconds * 1000);
}

} // namespace kelvo
