#pragma once

#include "storage/HandOff.h"
#include "storage/Paths.h"
#include "widgets/WindowDrag.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QMenu;
class QMouseEvent;
class QTimer;

namespace Ui {
class TForm4;
}

namespace kelvo {

class AlertCommand;
class AlertSound;
class TForm7;
struct Platform;

// The reminder popup: one per firing, shown modally by the main window and
// deleted when it closes. It reads its message and sound from the hand-off
// file, plays the sound or beeps, offers or runs a command the message
// carries, sends snooze requests to the main window and may close itself
// after a countdown.
//
// Everything about the reminder shown is kept per popup, so a popup that was
// covered by a later one still snoozes and runs its own reminder.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    // Delay of the main snooze button; set by the main window from Sys/TimeLate.
    static quint16 remindLaterMinutes;

    TForm4(QWidget* mainWindow, quint16 item, const DataPaths& paths, Platform& platform,
           QWidget* owner = nullptr);
    ~TForm4() override;

    // Gives the countdown window shown before a shutdown reminder; asked only
    // when one is shown, so the window may be made then. Without it the
    // reminder is shown like any other message.
    void setShutdownWindow(std::function<TForm7&()> window);

    // The reminder to show, as the main window fired it; without it the
    // popup reads the hand-off file.
    void setReminder(const QString& message, const QString& music);
    // Shows the popup on top of `below`, offset so that both are seen; its
    // place is then not stored, which stays the first popup's.
    void stackOn(const QWidget& below);

    // Item k was deleted: the popup's snooze and command follow its
    // reminder to its new number; the deleted one's snooze is not queued.
    void itemDeleted(int32_t k);

    // Every way of closing ends here; it runs FormClose once.
    void done(int result) override;

public slots:
    void showmsgClick();
    void docmdClick();
    void FlatSpeedButton2Click();
    void N11Click();
    void N21Click();
    void N51Click();
    void N101Click();
    void N201Click();
    void N301Click();
    void N601Click();
    void FlatSpeedButton1Click();
    void SpeedButton1Click();
    void closetimerTimer();

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void FormMouseDown(QMouseEvent* event);
    void Image1MouseDown(QMouseEvent* event);
    bool msgKeyPress(QEvent* event);

    void drawPictures();
    void connectHandlers();
    QString readSettings();
    QString readHandOff();
    void startSound(const QString& file);
    void extractCommand();
    void showShutdownCountdown();
    void startAutoClose();
    void showCountdown(int secondsLeft);
    void snooze(quint16 minutes);
    void storePosition();

    std::unique_ptr<Ui::TForm4> ui;
    QMenu* PopupMenu1;
    QTimer* closetimer;

    QPointer<QWidget> m_mainWindow;
    std::function<TForm7&()> m_shutdownWindow;
    quint16 m_item;
    const DataPaths m_paths;
    Platform& m_platform;

    std::optional<std::pair<QString, QString>> m_given; // message and sound
    QPointer<const QWidget> m_below;                    // the popup this one is stacked on
    bool m_stacked = false;
    QString m_message;
    std::unique_ptr<AlertCommand> m_command;
    std::unique_ptr<AlertSound> m_sound; // set while the sound plays
    bool m_autoRunCmd = false;
    bool m_repeatSound = false;
    bool m_autoClose = false;
    int m_autoCloseSeconds = 10;
    int m_elapsedSeconds = 0;
    bool m_closed = false;
    WindowDrag m_drag{*this, WindowDrag::Start::AtPress};
};

} // namespace kelvo
