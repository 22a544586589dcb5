#include "alerts/closewin.h"

#include "system/Power.h"
#include "ui_closewin.h"
#include "widgets/MessageBox.h"
#include "widgets/Placement.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

namespace kelvo {
namespace {

constexpr int kCountdownSeconds = 60;
const QString kLabelTail = QString(11, u' ');

} // namespace

// No system buttons, on top of every window, and no owner among the
// program's windows.
TForm7::TForm7(Power& power, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      ui(std::make_unique<Ui::TForm7>()), m_power(power) {
    ui->setupUi(this);
    setFixedSize(434, 162);
    closewintimer = new QTimer(this);
    closewintimer->setObjectName(QStringLiteral("closewintimer"));
    closewintimer->setInterval(1000);
    connect(closewintimer, &QTimer::timeout, this, &TForm7::closewintimerTimer);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm7::Button1Click);
}

TForm7::~TForm7() = default;

void TForm7::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TForm7::FormShow() {
    setOuterSize(*this, {434, 162});
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize outer = outerSize(*this);
    moveFrameTo(*this, screen.center() - QPoint(outer.width() / 2, outer.height() / 2));
    m_elapsedSeconds = 0;
    closewintimer->start();
}

void TForm7::closewintimerTimer() {
    ++m_elapsedSeconds;
    if (m_elapsedSeconds < kCountdownSeconds) {
        showSecondsLeft(kCountdownSeconds - m_elapsedSeconds);
        ui->closeprogress->setValue(m_elapsedSeconds);
        return;
    }
    // If the machine stays up the window stays as it is; the cancel button
    // still works and a resumed countdown asks again at its next tick.
    closewintimer->stop();
    m_power.powerOff();
}

// The countdown stands still while the question is open.
void TForm7::Button1Click() {
    closewintimer->stop();
    if (MessageBox::question(this, QStringLiteral("询问"), QStringLiteral("真的要结束自动关机吗？"),
                             MessageBox::Yes) == MessageBox::Yes)
        close();
    else
        closewintimer->start();
}

void TForm7::showSecondsLeft(int seconds) {
    ui->closelabel->setText(QStringLiteral("计算机将在") + QString::number(seconds) +
                            QStringLiteral("秒后自动关机") + kLabelTail);
}

void TForm7::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TForm7::FormClose() {
    closewintimer->stop();
    showSecondsLeft(kCountdownSeconds);
    ui->closeprogress->setValue(0);
}

// The window has no close box: only the cancel button, with its question,
// ends the countdown.
void TForm7::closeEvent(QCloseEvent* event) {
    if (event->spontaneous())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TForm7::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        event->ignore();
    else
        QDialog::keyPressEvent(event);
}

} // namespace kelvo
