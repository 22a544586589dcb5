#pragma once

#include "system/Tray.h"

#include <QSystemTrayIcon>

namespace kelvo {

// The tray icon of the desktop, through QSystemTrayIcon, showing the
// application's window icon, greyed while reminders are paused.
class QtTray final : public Tray {
    Q_OBJECT
public:
    explicit QtTray(QObject* parent = nullptr);

    bool isAvailable() const override;
    void show(const QString& toolTip, QMenu* menu) override;
    void showPaused(bool paused) override;
    void showBalloon(const QString& title, const QString& text, int seconds) override;

private:
    QIcon m_normal; // the application's icon
    QIcon m_greyed; // made when first shown
    QSystemTrayIcon m_icon;
};

} // namespace kelvo
