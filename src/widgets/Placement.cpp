#include "widgets/Placement.h"

#include "storage/ConfigFile.h"
#include "storage/IniFile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace kelvo {

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize outer = window.frameGeometry().size();
    window.move(area.x() + (area.width() - outer.width()) / 2,
                area.y() + (area.height() - outer.height()) / 2);
}

void restoreWindowPos(QWidget& window, const TIniFile& config, std::string_view section) {
    const WindowPos pos = readWindowPos(config, section);
    window.move(pos.left, pos.top);
}

void placeStackedOn(QWidget& window, const QWidget& below) {
    constexpr int kOffset = 24;
    QPoint at = below.frameGeometry().topLeft() + QPoint(kOffset, kOffset);
    const QScreen* screen = below.screen() ? below.screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        const QSize size = window.frameGeometry().size();
        at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - size.width())));
        at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - size.height())));
    }
    window.move(at);
}

void storeWindowPos(const QWidget& window, const std::string& configPath,
                    std::string_view section) {
    TIniFile config(configPath);
    writeWindowPos(config, section, {window.x(), window.y()});
    config.UpdateFile();
}

} // namespace kelvo
