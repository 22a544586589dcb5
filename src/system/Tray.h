#pragma once

#include <QObject>
#include <QString>

class QMenu;

namespace kelvo {

// The program's icon in the desktop's notification area ("tray").
class Tray : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether the desktop has a notification area that can hold the icon. A
    // window hidden into a missing tray could never be brought back.
    virtual bool isAvailable() const = 0;
    // Puts the icon up with this tool tip; the menu opens on a right click.
    virtual void show(const QString& toolTip, QMenu* menu) = 0;
    // Greys the icon while reminders are paused; false shows it as it is.
    virtual void showPaused(bool paused) = 0;
    // A balloon message at the icon with the information symbol.
    virtual void showBalloon(const QString& title, const QString& text, int seconds) = 0;

signals:
    void doubleClicked();
};

} // namespace kelvo
