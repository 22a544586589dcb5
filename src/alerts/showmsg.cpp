#include "alerts/showmsg.h"

#include "alerts/AlertCommand.h"
#include "alerts/AlertSound.h"
#include "alerts/LaterChoices.h"
#include "alerts/PopupArt.h"
#include "alerts/closewin.h"
#include "core/VisibleText.h"
#include "reminders/ReminderItem.h"
#include "storage/ConfigFile.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"
#include "system/Platform.h"
#include "ui_showmsg.h"
#include "widgets/FlatButton.h"
#include "widgets/MessageBox.h"
#include "widgets/Messages.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace kelvo {
namespace {

// The message as the popup shows it, nothing hidden or reordered.
QString visible(const QString& message) {
    return toQString(visibleText(message.toStdString()));
}

// The popup's geometry: the message area grows from kMinMessage with its
// text; everything else keeps its height (kChrome in all).
constexpr int kWidth = 368;
constexpr int kMessageTop = 40;
constexpr int kMessageWidth = 338;
constexpr int kMinMessage = 78;
constexpr int kChrome = 119;

QString clockText(int hour, int minute) {
    return QStringLiteral("%1:%2")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'));
}

} // namespace

quint16 TForm4::remindLaterMinutes = 5;

TForm4::TForm4(QWidget* mainWindow, quint16 item, const DataPaths& paths, Platform& platform,
               QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui(std::make_unique<Ui::TForm4>()), m_mainWindow(mainWindow), m_item(item), m_paths(paths),
      m_platform(platform) {
    ui->setupUi(this);
    setFixedSize(kWidth, kMinMessage + kChrome);
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addActions({ui->N11, ui->N21, ui->N51, ui->N101, ui->N201, ui->N301, ui->N601});
    closetimer = new QTimer(this);
    closetimer->setObjectName(QStringLiteral("closetimer"));
    closetimer->setInterval(1000);
    m_later = new LaterChoices(this);
    connect(m_later, &LaterChoices::snooze, this,
            [this](int minutes) { snooze(static_cast<quint16>(minutes)); });
    connectHandlers();
}

TForm4::~TForm4() = default;

void TForm4::setShutdownWindow(std::function<TForm7&()> window) {
    m_shutdownWindow = std::move(window);
}

void TForm4::setWriteFailure(std::function<void(const IniWriteError&)> tell) {
    m_tellWriteFailure = std::move(tell);
}

void TForm4::setReminder(const QString& message, const QString& music) {
    m_given.emplace(message, music);
}

void TForm4::setDue(const DueTime& due) {
    m_due = due;
}

void TForm4::setClock(const Clock& clock) {
    m_later->setClock(clock);
}

void TForm4::itemDeleted(int32_t k) {
    m_item = static_cast<quint16>(numberAfterDelete(m_item, k));
    if (m_command)
        m_command->itemDeleted(k);
}

void TForm4::stackOn(const QWidget& below) {
    m_below = &below;
    m_stacked = true;
}

void TForm4::drawPictures() {
    QPalette background = palette();
    background.setColor(QPalette::Window, popupart::kBackground);
    setPalette(background);
    setAutoFillBackground(true);
    QPalette text = ui->msg->palette();
    text.setColor(QPalette::Base, popupart::kBackground);
    ui->msg->setPalette(text);
    ui->Image1->setPixmap(popupart::titleStrip(ui->Image1->size()));
    for (QLabel* edge : {ui->Image2, ui->Image3, ui->Image4})
        edge->setPixmap(popupart::frameEdge(edge->size()));
    ui->SpeedButton1->setIcon(popupart::closeGlyph(ui->SpeedButton1->iconSize()));
}

void TForm4::connectHandlers() {
    connect(ui->docmd, &QPushButton::clicked, this, &TForm4::docmdClick);
    connect(ui->FlatSpeedButton2, &QPushButton::clicked, this, &TForm4::FlatSpeedButton2Click);
    connect(ui->FlatSpeedButton2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(ui->FlatSpeedButton2->mapToGlobal(at)); });
    connect(ui->N11, &QAction::triggered, this, &TForm4::N11Click);
    connect(ui->N21, &QAction::triggered, this, &TForm4::N21Click);
    connect(ui->N51, &QAction::triggered, this, &TForm4::N51Click);
    connect(ui->N101, &QAction::triggered, this, &TForm4::N101Click);
    connect(ui->N201, &QAction::triggered, this, &TForm4::N201Click);
    connect(ui->N301, &QAction::triggered, this, &TForm4::N301Click);
    connect(ui->N601, &QAction::triggered, this, &TForm4::N601Click);
    connect(ui->FlatSpeedButton1, &QPushButton::clicked, this, &TForm4::FlatSpeedButton1Click);
    connect(ui->SpeedButton1, &QPushButton::clicked, this, &TForm4::SpeedButton1Click);
    connect(closetimer, &QTimer::timeout, this, &TForm4::closetimerTimer);
    ui->Image1->installEventFilter(this);
    ui->msg->installEventFilter(this);
}

void TForm4::showEvent(QShowEvent* event) {
    // Only the program's own show, not a window system's re-show.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

// The message first: the popup's size follows it, and its place the size.
void TForm4::FormShow() {
    ui->FlatSpeedButton2->setText(QString::number(remindLaterMinutes) + QStringLiteral("分后提醒"));
    const QString ownSound = readHandOff();
    const QString systemSound = readSettings();
    activateWindow();
    setFocus();
    m_later->shown();
    m_soundFile = ownSound.isEmpty() ? systemSound : ownSound;
    startSound(m_soundFile);
    extractCommand();
    if (m_message == toQString(kShutdownMarker))
        showShutdownCountdown();
    if (m_autoClose)
        startAutoClose();
}

// Takes the position and the popup's switches from Config.ini; returns the
// system sound.
QString TForm4::readSettings() {
    const TIniFile config(m_paths.config());
    if (m_below)
        placeStackedOn(*this, *m_below);
    else
        restoreWindowPos(*this, config, positions::ShowMsg);
    m_autoRunCmd = settings::AutoRunCmd.read(config);
    m_repeatSound = settings::RepeatSound.read(config);
    m_autoClose = settings::AutoCloseShowBox.read(config);
    m_autoCloseSeconds = settings::AutoCloseShowBoxMin.read(config);
    return toQString(settings::Music.read(config));
}

// Takes the message given or from the hand-off file; returns the reminder's
// own sound.
QString TForm4::readHandOff() {
    if (!m_given) {
        const HandOff handOff = kelvo::readHandOff(m_paths.handOff());
        m_given.emplace(toQString(handOff.msg), toQString(handOff.music));
    }
    m_message = m_given->first;
    showMessage();
    layOut();
    return m_given->second;
}

// The due time in bold before the message; an advance warning also says how
// far ahead it is.
void TForm4::showMessage() {
    ui->msg->clear();
    QTextCursor cursor(ui->msg->document());
    QTextCharFormat plain;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QString message = m_message;
    const bool advance = m_due && m_due->advanceMinutes > 0;
    const QString prefix = advance ? toQString(kAdvancePrefix)
                           : m_due && m_due->daysAhead > 0
                               ? toQString(dayWarningPrefix(m_due->daysAhead))
                               : QString();
    if (!prefix.isEmpty()) {
        if (message.startsWith(prefix))
            message.remove(0, prefix.size());
        cursor.insertText(prefix, plain);
    }
    if (m_due)
        cursor.insertText(clockText(m_due->hour, m_due->minute), bold);
    cursor.insertText((m_due ? QStringLiteral(" ") : QString()) + visible(message), plain);
    if (advance)
        cursor.insertText(QStringLiteral("（%1 分钟后）").arg(m_due->advanceMinutes), plain);
    if (m_times > 1)
        cursor.insertText(QStringLiteral("（已经提醒 %1 次）").arg(m_times), bold);
    ui->msg->moveCursor(QTextCursor::Start);
}

// As high as the message needs, from the first size up to half the screen;
// beyond that the message scrolls. The buttons stay at the bottom.
void TForm4::layOut() {
    QTextDocument& text = *ui->msg->document();
    text.setTextWidth(kMessageWidth);
    const int wanted = static_cast<int>(std::ceil(text.size().height()));
    const int most = std::max(kMinMessage, screen()->availableGeometry().height() / 2 - kChrome);
    const int m = std::clamp(wanted, kMinMessage, most);
    const int h = m + kChrome;
    setFixedSize(kWidth, h);
    ui->msg->setGeometry(15, kMessageTop, kMessageWidth, m);
    ui->msg->setVerticalScrollBarPolicy(wanted > m ? Qt::ScrollBarAlwaysOn
                                                   : Qt::ScrollBarAlwaysOff);
    ui->closewin->setGeometry(15, kMessageTop + m + 3, 337, 16);
    m_later->move(15, h - 58);
    const int bottom = h - 31;
    ui->docmd->move(15, bottom);
    ui->FlatSpeedButton2->move(146, bottom);
    ui->FlatSpeedButton1->move(264, bottom);
    ui->Image3->setGeometry(0, 33, 4, h - 37);
    ui->Image4->setGeometry(kWidth - 4, 33, 4, h - 37);
    ui->Image2->setGeometry(0, h - 4, kWidth, 4);
    drawPictures();
}

void TForm4::remindAgain(const DueTime& due) {
    m_due = due;
    ++m_times;
    showMessage();
    layOut();
    raise();
    activateWindow();
    if (!m_closed)
        startSound(m_soundFile);
}

void TForm4::startSound(const QString& file) {
    m_sound = std::make_unique<AlertSound>(m_platform, file, m_repeatSound);
}

// A command runs by itself only where the user has accepted it; otherwise
// docmd offers it, saying what it will run.
void TForm4::extractCommand() {
    m_command = std::make_unique<AlertCommand>(m_message, m_item, m_paths, m_platform.shell);
    const bool byItself = m_command->runsByItself(m_autoRunCmd);
    ui->docmd->setVisible(m_command->present() && !byItself);
    ui->docmd->setToolTip(m_command->description());
    if (byItself)
        m_command->run(false);
}

// The shutdown reminder's 60-second countdown is shown modally here, before
// the popup itself appears; the popup shows once it has been cancelled.
void TForm4::showShutdownCountdown() {
    closetimer->stop();
    if (m_shutdownWindow)
        m_shutdownWindow().exec();
}

void TForm4::startAutoClose() {
    m_elapsedSeconds = 0;
    showCountdown(m_autoCloseSeconds);
    ui->closewin->show();
    closetimer->start();
}

void TForm4::showCountdown(int secondsLeft) {
    ui->closewin->setText(QStringLiteral("本窗口将在") + QString::number(secondsLeft) +
                          QStringLiteral("秒之后自动关闭") + QString(10, u' '));
}

void TForm4::closetimerTimer() {
    ++m_elapsedSeconds;
    showCountdown(m_autoCloseSeconds - m_elapsedSeconds);
    if (m_elapsedSeconds >= m_autoCloseSeconds) {
        closetimer->stop();
        ui->closewin->hide();
        m_closing = Closing::ByItself;
        close();
    }
}

void TForm4::docmdClick() {
    if (m_command)
        MessageBox::reportingErrors(this, [this] { m_command->run(true); });
}

// Sent and waited for, so the main window has queued the request before the
// popup goes.
void TForm4::snooze(quint16 minutes) {
    sendSnoozeRequest(m_mainWindow, m_item, minutes);
    m_closing = Closing::Snoozed;
    close();
}

void TForm4::withdraw() {
    m_closing = Closing::ByItself;
    close();
}

void TForm4::FlatSpeedButton2Click() {
    snooze(remindLaterMinutes);
}
void TForm4::N11Click() {
    snooze(1);
}
void TForm4::N21Click() {
    snooze(2);
}
void TForm4::N51Click() {
    snooze(5);
}
void TForm4::N101Click() {
    snooze(10);
}
void TForm4::N201Click() {
    snooze(20);
}
void TForm4::N301Click() {
    snooze(30);
}
void TForm4::N601Click() {
    snooze(60);
}

void TForm4::FlatSpeedButton1Click() {
    close();
}

void TForm4::SpeedButton1Click() {
    close();
}

void TForm4::done(int result) {
    if (!m_closed) {
        m_closed = true;
        FormClose();
    }
    QDialog::done(result);
}

void TForm4::FormClose() {
    if (m_closing == Closing::ByUser)
        sendDismissal(m_mainWindow, m_item);
    closetimer->stop();
    storePosition();
    m_sound.reset();
}

void TForm4::storePosition() {
    if (m_stacked)
        return;
    const auto store = [this] { storeWindowPos(*this, m_paths.config(), positions::ShowMsg); };
    if (!m_tellWriteFailure) {
        MessageBox::reportingErrors(this, store);
        return;
    }
    try {
        store();
    } catch (const IniWriteError& e) {
        m_tellWriteFailure(e);
    }
}

// Typing goes nowhere, but digits and a colon go to the remind-later
// field; the keys that scroll a long message still do.
bool TForm4::msgKeyPress(QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    m_later->type(*key);
    return !key->text().isEmpty();
}

void TForm4::keyPressEvent(QKeyEvent* event) {
    if (!m_later->type(*event))
        QDialog::keyPressEvent(event);
}

bool TForm4::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->msg)
        return msgKeyPress(event);
    if (watched == ui->Image1 && event->type() == QEvent::MouseButtonPress) {
        Image1MouseDown(static_cast<QMouseEvent*>(event));
        return true;
    }
    if (watched == ui->Image1 && event->type() == QEvent::MouseMove)
        return m_drag.move(static_cast<QMouseEvent*>(event));
    if (watched == ui->Image1 && event->type() == QEvent::MouseButtonRelease)
        m_drag.release();
    return QDialog::eventFilter(watched, event);
}

void TForm4::mousePressEvent(QMouseEvent* event) {
    FormMouseDown(event);
}

void TForm4::mouseMoveEvent(QMouseEvent* event) {
    if (!m_drag.move(event))
        QDialog::mouseMoveEvent(event);
}

void TForm4::mouseReleaseEvent(QMouseEvent* event) {
    m_drag.release();
    QDialog::mouseReleaseEvent(event);
}

void TForm4::FormMouseDown(QMouseEvent* event) {
    m_drag.press(event);
}

void TForm4::Image1MouseDown(QMouseEvent* event) {
    m_drag.press(event);
}

} // namespace kelvo
