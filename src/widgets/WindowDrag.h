#pragma once

#include <QPoint>

#include <optional>

class QMouseEvent;
class QWidget;

namespace kelvo {

// Moves a frameless window with the left mouse button held down on it. The
// window manager moves the window where it offers that; where it refuses,
// the window follows the mouse by itself. The owner feeds in the mouse
// events of the window or of the child the drag starts on.
class WindowDrag {
public:
    enum class Start {
        AtPress,          // the drag starts as the button goes down
        AfterDragDistance // the button must move a little first, so that a
                          // press and release in place stays a click
    };

    WindowDrag(QWidget& window, Start start);

    // A left button press; other buttons are ignored.
    void press(QMouseEvent* event);
    // True when the motion belongs to the drag (the window moved, or the
    // button has not yet moved far enough to start one).
    bool move(QMouseEvent* event);
    // The button went up, or the press turned into something else.
    void release();

private:
    void begin();

    QWidget& m_window;
    const Start m_start;
    std::optional<QPoint> m_pressAt; // set while the left button is down
    std::optional<QPoint> m_offset;  // set while the window follows the mouse itself
};

} // namespace kelvo
