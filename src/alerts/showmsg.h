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

// The time a reminder is due, shown above its message; advanceMinutes above
// 0 for its advance warning, daysAhead for a warning that many days before.
struct DueTime {
    int hour = 0;
    int minute = 0;
    int advanceMinutes = 0;
    int daysAhead = 0;
};

class AlertCommand;
class AlertSound;
class Clock;
class LaterChoices;
class IniWriteError;
class TForm7;
struct Platform;

// The reminder popup: one per firing, shown modally by the main window and
// deleted when it closes. It reads its message and sound from the hand-off
// file, plays the sound or beeps, offers or runs a command the message
// carries, sends snooze requests to the main window and may close itself
// after a countdown. It shows the whole message, wrapped, growing up to half
// the screen's height and scrolling beyond, and offers a row of remind-later
// choices (alerts/LaterChoices.h) beside the remind-later button and its menu.
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

    // Takes a failure to store the popup's position, which is otherwise
    // reported in a message box.
    void setWriteFailure(std::function<void(const IniWriteError&)> tell);

    // The reminder to show, as the main window fired it; without it the
    // popup reads the hand-off file.
    void setReminder(const QString& message, const QString& music);
    // The time the reminder is due, put before its message ("09:30 …", or
    // "提前提醒：09:30 …（10 分钟后）"); without it the message stands alone.
    void setDue(const DueTime& due);
    // The clock the remind-later choices count from; the system's unless set.
    void setClock(const Clock& clock);
    // Shows the popup on top of `below`, offset so that both are seen; its
    // place is then not stored, which stays the first popup's.
    void stackOn(const QWidget& below);

    // The message shown, as it was fired (an advance warning with its
    // prefix), without the due time.
    QString message() const { return m_message; }
    // The item the popup shows, and whether on time (not a warning).
    quint16 item() const { return m_item; }
    bool onTime() const { return !m_due || (m_due->advanceMinutes == 0 && m_due->daysAhead == 0); }

    // The reminder fired again for `due` while the popup is open (an
    // interval reminder's next minute): it shows that time, says how often
    // ("已经提醒 3 次"), comes to the front and sounds again, instead of a
    // popup stacked on it.
    void remindAgain(const DueTime& due);

    // Item k was deleted: the popup's snooze and command follow its
    // reminder to its new number; the deleted one's snooze is not queued.
    void itemDeleted(int32_t k);

    // When the reminder last fired into the popup (seconds since 1970 UTC),
    // as the main window tells it.
    void setFiredAt(int64_t utcSeconds) { m_firedAt = utcSeconds; }
    int64_t firedAt() const { return m_firedAt; }
    // The reminder was dismissed on another computer: the popup closes
    // without telling the main window of a dismissal.
    void withdraw();

    // Every way of closing ends here; it runs FormClose once.
    void done(int result) override;

public slots:
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
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void FormMouseDown(QMouseEvent* event);
    void Image1MouseDown(QMouseEvent* event);
    bool msgKeyPress(QEvent* event);

    void drawPictures();
    void connectHandlers();
    void showMessage();
    void layOut();
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
    LaterChoices* m_later;

    QPointer<QWidget> m_mainWindow;
    std::function<TForm7&()> m_shutdownWindow;
    std::function<void(const IniWriteError&)> m_tellWriteFailure;
    quint16 m_item;
    const DataPaths m_paths;
    Platform& m_platform;

    std::optional<std::pair<QString, QString>> m_given; // message and sound
    std::optional<DueTime> m_due;
    QPointer<const QWidget> m_below; // the popup this one is stacked on
    bool m_stacked = false;
    QString m_message;
    QString m_soundFile; // the sound chosen when shown
    std::unique_ptr<AlertCommand> m_command;
    std::unique_ptr<AlertSound> m_sound; // set while the sound plays
    bool m_autoRunCmd = false;
    bool m_repeatSound = false;
    bool m_autoClose = false;
    int m_autoCloseSeconds = 10;
    int m_elapsedSeconds = 0;
    int m_times = 1; // how often the reminder has fired into this popup
    int64_t m_firedAt = 0;
    // How it closes: the user's own close is a dismissal, told to the main
    // window; a snooze is told as such, and the countdown and a dismissal
    // elsewhere are none.
    enum class Closing { ByUser, Snoozed, ByItself };
    Closing m_closing = Closing::ByUser;
    bool m_closed = false;
    WindowDrag m_drag{*this, WindowDrag::Start::AtPress};
};

} // namespace kelvo
