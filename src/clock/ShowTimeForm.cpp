#include "clock/ShowTimeForm.h"

#include "core/Clock.h"
#include "storage/ConfigFile.h"
#include "storage/IniFile.h"
#include "ui_ShowTimeForm.h"
#include "widgets/MessageBox.h"
#include "widgets/Messages.h"
#include "widgets/Placement.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

namespace kelvo {

TForm8::TForm8(const DataPaths& paths, const Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui(std::make_unique<Ui::TForm8>()), m_paths(paths), m_clock(clock) {
    ui->setupUi(this);
    setFixedSize(179, 53);
    ui->viewtime->setText(QStringLiteral("00:00"));
    ui->viewtime->installEventFilter(this);
    viewtimer = new QTimer(this);
    viewtimer->setObjectName(QStringLiteral("viewtimer"));
    viewtimer->setInterval(1000);
    connect(viewtimer, &QTimer::timeout, this, &TForm8::viewtimerTimer);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TForm8::followModalWindows);
    FormCreate();
}

TForm8::~TForm8() {
    MessageBox::reportingErrors(nullptr, [this] { FormDestroy(); });
}

void TForm8::setMainWindow(QWidget* mainWindow) {
    m_mainWindow = mainWindow;
}

void TForm8::FormCreate() {
    const TIniFile config(m_paths.config());
    restoreWindowPos(*this, config, positions::TimeForm);
    setTranslucency(settings::TimeFormAB.read(config), settings::TimeFormABV.read(config) & 0xFF);
}

// The position is stored only here, at program end, whether the clock is
// shown then or not; a run that never made the clock stores none.
void TForm8::FormDestroy() {
    storeWindowPos(*this, m_paths.config(), positions::TimeForm);
}

// The whole window is drawn with one opacity, 0 … 255 (255 opaque).
void TForm8::setTranslucency(bool on, int opacity) {
    setWindowOpacity(on ? opacity / 255.0 : 1.0);
}

// --- showing and the time ------------------------------------------------

void TForm8::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QWidget::showEvent(event);
}

// Hiding the clock, by close() from the main window or otherwise, stops
// its timer.
void TForm8::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        FormClose();
    QWidget::hideEvent(event);
}

// Within the screen's work area, clear of the task bar.
void TForm8::FormShow() {
    keepInWorkArea(*this);
    showTime(u':');
    m_colonFlag = true;
    viewtimer->start();
}

void TForm8::followModalWindows() {
    const bool modal = QApplication::activeModalWidget() != nullptr;
    if (modal == m_belowModal)
        return;
    m_belowModal = modal;
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, !modal);
    if (shown)
        show();
}

void TForm8::FormClose() {
    viewtimer->stop();
}

// A modal window that went without a change of focus is noticed here.
void TForm8::viewtimerTimer() {
    followModalWindows();
    showTime(m_colonFlag ? u' ' : u':');
    m_colonFlag = !m_colonFlag;
}

void TForm8::showTime(QChar separator) {
    const DateTime now = m_clock.now();
    ui->viewtime->setText(QStringLiteral("%1%2%3")
                              .arg(now.hour, 2, 10, QChar(u'0'))
                              .arg(separator)
                              .arg(now.minute, 2, 10, QChar(u'0')));
}

// --- messages ------------------------------------------------------------

bool TForm8::event(QEvent* event) {
    if (event->type() != static_cast<QEvent::Type>(kOpacityNotice))
        return QWidget::event(event);
    opacityNotice(static_cast<const WindowMessage&>(*event));
    return true;
}

// wParam 1: translucent with the opacity in the low 8 bits of lParam;
// anything else: opaque.
void TForm8::opacityNotice(const WindowMessage& message) {
    setTranslucency(message.wParam() == 1, static_cast<int>(message.lParam() & 0xFF));
}

// --- the mouse on the display --------------------------------------------

bool TForm8::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ui->viewtime)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        viewtimeMouseDown(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonDblClick:
        viewtimeDblClick();
        return true;
    case QEvent::MouseMove:
        return m_drag.move(static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        m_drag.release();
        return false;
    default:
        return false;
    }
}

// The window moves with the mouse once the pressed left button has moved a
// little; a press and release in place stays a click, so a double click
// still reaches the display.
void TForm8::viewtimeMouseDown(QMouseEvent* event) {
    m_drag.press(event);
}

void TForm8::viewtimeDblClick() {
    m_drag.release();
    if (!m_mainWindow)
        return;
    WindowMessage request(kMainCommand, kCmdTrayToggle, 0);
    QCoreApplication::sendEvent(m_mainWindow, &request);
}

} // namespace kelvo
