#pragma once

#include <QCoreApplication>
#include <QEvent>

#include <cstdint>

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
    kCmdDismissed = 26,  // lParam: item number
};

// The argument of kCmdSnooze: the item number in the low 16 bits, the
// minutes in the high 16 bits.
struct SnoozeArgument {
    int32_t item;
    int32_t minutes;
    static SnoozeArgument unpack(qint64 lParam) {
        return {static_cast<int32_t>(lParam & 0xFFFF),
                static_cast<int32_t>((lParam >> 16) & 0xFFFF)};
    }
    qint64 pack() const { return (item & 0xFFFF) | (qint64(minutes & 0xFFFF) << 16); }
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

// A snooze request, sent and waited for: the main window has queued it when
// this returns. Nothing happens without a main window.
inline void sendSnoozeRequest(QObject* mainWindow, quint16 item, quint16 minutes) {
    if (!mainWindow)
        return;
    WindowMessage request(kMainCommand, kCmdSnooze, SnoozeArgument{item, minutes}.pack());
    QCoreApplication::sendEvent(mainWindow, &request);
}

// The user closed the reminder of the item (not by a snooze, not by the
// countdown); sent and waited for, as a snooze request.
inline void sendDismissal(QObject* mainWindow, quint16 item) {
    if (!mainWindow)
        return;
    WindowMessage dismissal(kMainCommand, kCmdDismissed, item);
    QCoreApplication::sendEvent(mainWindow, &dismissal);
}

} // namespace kelvo
