#pragma once

#include <QEvent>

namespace kelvo {

// Messages between the program's own windows, with the numbers and the two
// parameters the windows have always exchanged.
enum MessageNumber : int {
    kMainCommand = 1066,   // to the main window; wParam a command code
    kOpacityNotice = 1067, // to the clock window: wParam 1/0, lParam opacity
    kSearchMoved = 1068,   // to the search window: wParam left, lParam top
};

// Command codes of kMainCommand.
enum MainCommand : int {
    kCmdTrayToggle = 5,  // lParam 0
    kCmdSnooze = 24,     // lParam: item number | minutes << 16
    kCmdSelectLine = 25, // lParam: a list position
};

class WindowMessage : public QEvent {
public:
    WindowMessage(int number, qint64 wParam, qint64 lParam)
        : QEvent(static_cast<QEvent::Type>(number)), m_wParam(wParam), m_lParam(lParam) {}
    qint64 wParam() const { return m_wParam; }
    qint64 lParam() const { return m_lParam; }

private:
    qint64 m_wParam;
    qint64 m_lParam;
};

} // namespace kelvo
