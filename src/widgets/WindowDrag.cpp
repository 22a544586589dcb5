#include "widgets/WindowDrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace kelvo {

WindowDrag::WindowDrag(QWidget& window, Start start) : m_window(window), m_start(start) {}

void WindowDrag::press(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_pressAt = event->globalPosition().toPoint();
    m_offset.reset();
    if (m_start == Start::AtPress)
        begin();
}

bool WindowDrag::move(QMouseEvent* event) {
    if (!m_pressAt || !(event->buttons() & Qt::LeftButton))
        return false;
    const QPoint at = event->globalPosition().toPoint();
    if (!m_offset) {
        if ((at - *m_pressAt).manhattanLength() < QApplication::startDragDistance())
            return true;
        begin();
        if (!m_offset)
            return true;
    }
    m_window.move(at - *m_offset);
    return true;
}

void WindowDrag::release() {
    m_pressAt.reset();
    m_offset.reset();
}

// The window manager takes over the drag where it can; then this object
// has nothing more to follow.
void WindowDrag::begin() {
    QWindow* handle = m_window.windowHandle();
    if (handle && handle->startSystemMove()) {
        m_pressAt.reset();
        return;
    }
    m_offset = *m_pressAt - m_window.pos();
}

} // namespace kelvo
