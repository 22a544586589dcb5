#include "widgets/Placement.h"

#include "storage/ConfigFile.h"
#include "storage/IniFile.h"

#include <QApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace kelvo {
namespace {

bool isFramed(const QWidget& window) {
    return !window.windowFlags().testFlag(Qt::FramelessWindowHint);
}

// The frame of a window that has one now, or empty margins.
QMargins currentFrame(const QWidget& window) {
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

} // namespace

QMargins frameMargins() {
    static QMargins seen;
    if (!seen.isNull())
        return seen;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (isFramed(*window) && !currentFrame(*window).isNull()) {
            seen = currentFrame(*window);
            break;
        }
    }
    return seen;
}

QSize outerSize(const QWidget& window) {
    if (!isFramed(window))
        return window.size();
    const QMargins frame = currentFrame(window).isNull() ? frameMargins() : currentFrame(window);
    return window.size().grownBy(frame);
}

void setOuterSize(QWidget& window, const QSize& outer) {
    window.setFixedSize(isFramed(window) ? outer.shrunkBy(frameMargins()) : outer);
}

void moveFrameTo(QWidget& window, const QPoint& topLeft) {
    // A window that exists on the display but has not been framed yet would
    // take the point as its client area's corner; the native window asks the
    // window manager to put the frame's corner there. The widget is moved as
    // well, so that showing it does not send the client's corner again.
    window.move(topLeft);
    if (QWindow* native = window.windowHandle(); native && currentFrame(window).isNull())
        native->setFramePosition(topLeft);
}

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize outer = outerSize(window);
    moveFrameTo(window, {area.x() + (area.width() - outer.width()) / 2,
                         area.y() + (area.height() - outer.height()) / 2});
}

void restoreWindowPos(QWidget& window, const TIniFile& config, std::string_view section) {
    const WindowPos pos = readWindowPos(config, section);
    moveFrameTo(window, {pos.left, pos.top});
}

namespace {

// `at` moved so that a window of `size` there lies in the screen's available area.
QPoint withinArea(const QScreen* screen, QPoint at, QSize size) {
    if (!screen)
        return at;
    const QRect area = screen->availableGeometry();
    at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - size.width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - size.height())));
    return at;
}

} // namespace

void keepInWorkArea(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    window.move(withinArea(screen, window.pos(), window.frameGeometry().size()));
}

void placeStackedOn(QWidget& window, const QWidget& below) {
    constexpr int kOffset = 24;
    const QScreen* screen = below.screen() ? below.screen() : QGuiApplication::primaryScreen();
    window.move(withinArea(screen, below.frameGeometry().topLeft() + QPoint(kOffset, kOffset),
                           window.frameGeometry().size()));
}

void storeWindowPos(const QWidget& window, const std::string& configPath,
                    std::string_view section) {
    TIniFile config(configPath);
    writeWindowPos(config, section, {window.x(), window.y()});
    config.UpdateFile();
}

} // namespace kelvo
