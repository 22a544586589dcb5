#pragma once

#include "storage/Paths.h"
#include "widgets/WindowDrag.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QMouseEvent;
class QTimer;

namespace Ui {
class TForm8;
}

namespace kelvo {

class Clock;
class WindowMessage;

// The desktop clock: a small frameless window on top of all others showing
// hours and minutes on a dot-matrix display, the colon blinking each second.
// Made on its first use and kept for the run; it takes its position and
// translucency then and stores its position when it is destroyed at program
// end.
class TForm8 : public QWidget {
    Q_OBJECT
public:
    TForm8(const DataPaths& paths, const Clock& clock, QWidget* parent = nullptr);
    ~TForm8() override;

    // The receiver of the double-click request; set before each show.
    void setMainWindow(QWidget* mainWindow);

public slots:
    void viewtimerTimer();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();
    void viewtimeMouseDown(QMouseEvent* event);
    void viewtimeDblClick();
    void opacityNotice(const WindowMessage& message);
    void setTranslucency(bool on, int opacity);
    void showTime(QChar separator);
    // On top of every window but a modal one, which stays above the clock.
    void followModalWindows();
    bool m_belowModal = false;

    std::unique_ptr<Ui::TForm8> ui;
    QTimer* viewtimer;
    const DataPaths m_paths;
    const Clock& m_clock;
    QPointer<QWidget> m_mainWindow;
    bool m_colonFlag = false; // true: the next tick shows a space for the colon
    WindowDrag m_drag{*this, WindowDrag::Start::AfterDragDistance};
};

} // namespace kelvo
