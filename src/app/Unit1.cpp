#include "app/Unit1.h"
#include "storage/ReminderFile.h"

#include "alerts/NotificationAlert.h"
#include "alerts/closewin.h"
#include "alerts/showmsg.h"
#include "app/Dialogs.h"
#include "app/ReminderListModel.h"
#include "app/SyncRunner.h"
#include "core/Clock.h"
#include "editors/SearchForm.h"
#include "editors/edititem.h"
#include "editors/newitem.h"
#include "editors/viewitem.h"
#include "lunar/LunarNames.h"
#include "reminders/ItemTexts.h"
#include "reminders/ReminderEngine.h"
#include "reminders/ReminderList.h"
#include "settings/setting.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/FileIO.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"
#include "system/ClockWatch.h"
#include "system/FileWatch.h"
#include "system/Platform.h"
#include "system/Tray.h"
#include "ui_Unit1.h"
#include "widgets/MessageBox.h"
#include "widgets/Messages.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QMenu>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

namespace kelvo {
namespace {

Size toSize(const QSize& s) {
    return {s.width(), s.height()};
}

} // namespace

TForm1::TForm1(const DataPaths& paths, Platform& platform, const Clock& clock, Dialogs& dialogs,
               QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TForm1>()), m_paths(paths), m_platform(platform), m_dialogs(dialogs),
      m_clock(clock), m_engine(makeEngine(clock)) {
    ui->setupUi(this);
    m_lines = new ReminderListModel(this);
    m_lines->setToolTipNote([this](int row) {
        const std::vector<ItemSchedule>& items = m_engine->items();
        if (row < 0 || static_cast<size_t>(row) >= items.size())
            return QString();
        const auto next = nextFiring(items[static_cast<size_t>(row)], m_clock.now());
        return next ? toQString(nextFiringText(next->at)) : QString();
    });
    ui->eventlist->setModel(m_lines);
    setMinimumSize(size());
    FormCreate();
}

TForm1::~TForm1() {
    MessageBox::reportingErrors(this, [this] { FormDestroy(); });
    for (TForm4* popup : std::exchange(m_popups, {}))
        delete popup;
}

void TForm1::FormCreate() {
    buildTrayMenu();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    makeEngineTimers();

    connect(&m_platform.tray, &Tray::doubleClicked, this, &TForm1::trayDblClick);
    updateTrayTip();
}

void TForm1::updateTrayTip() {
    if (trayTip() != m_trayTip)
        showTrayState();
}

QString TForm1::trayTip() {
    QString tip = programTitle();
    if (m_paused)
        tip += QStringLiteral("（提醒已暂停）");
    const Date today = m_clock.now().date;
    if (std::string lunar = lunarDateName(SolarToLunar(today)); !lunar.empty()) {
        if (const std::string_view mark = officialDayMarkOf(today); !mark.empty())
            lunar += " " + std::string(mark);
        tip += u'\n' + QString::fromStdString(lunar);
    }
    if (const QString next = nextOfAllTip(); !next.isEmpty())
        tip += u'\n' + next;
    return tip;
}

// Looked for again once the firing shown has come or the list was reloaded;
// the message is read from the file only then.
QString TForm1::nextOfAllTip() {
    if (!m_engine || !m_data)
        return {};
    const DateTime now = m_clock.now();
    if (m_nextOfAll && m_nextOfAll->due > now)
        return m_nextOfAllText;
    const std::vector<Occasion> next = nextFirings(m_engine->items(), now, 1);
    m_nextOfAll = next.empty() ? Occasion{kLastMoment} : next.front();
    m_nextOfAllText.clear();
    if (!next.empty()) {
        MessageBox::reportingErrors(this, [&] {
            const Firing firing =
                readFiring(*m_data, next[0].item, next[0].advance, next[0].daysAhead);
            m_nextOfAllText = toQString(nextOfAllText(next[0].due, now.date, firing.text));
        });
        m_data->releaseContent();
    }
    return m_nextOfAllText;
}

void TForm1::showTrayState() {
    m_trayTip = trayTip();
    m_platform.tray.show(m_trayTip, PopupMenu1);
    m_platform.tray.showPaused(m_paused);
}

void TForm1::buildTrayMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [this](const char* name, const QString& caption, bool checkable = false) {
        QAction* action = PopupMenu1->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(checkable);
        return action;
    };
    N1 = item("N1", QStringLiteral("显示主界面[&S]"));
    N4 = item("N4", QStringLiteral("添加提醒[&N]"));
    T1 = item("T1", QStringLiteral("显示  时间[&T]"), true);
    P1 = item("P1", QStringLiteral("暂停  提醒[&P]"), true);
    R1 = item("R1", QStringLiteral("开机自运行[&R]"), true);
    A1 = item("A1", QStringLiteral("关于本软件[&A]"));
    H1 = item("H1", QStringLiteral("帮助  信息[&H]"));
    N2 = PopupMenu1->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    Exit1 = item("Exit1", QStringLiteral("退出程序[&E]"));
    connect(N1, &QAction::triggered, this, &TForm1::N1Click);
    connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
    connectItemCommands();
    connectSettingsCommands();
    connectExchangeCommands();
    connectClockCommands();
}

// --- first show ----------------------------------------------------------

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    MessageBox::reportingErrors(this, [this] { FormShow(); });
}

void TForm1::FormShow() {
    if (!m_firstShowPending)
        return;
    m_firstShowPending = false;
    m_firstRun = !stampOf(m_paths.config()).exists;
    openSettings();
    runStartupAutorunCheck();
    openDataFile();
    const int32_t earlierStarts = readStartSettings();
    countDataFileStart();
    restoreWindowPos(*this, *m_config, positions::Main);
    resize(std::max(settings::FormWidth.read(*m_config), minimumWidth()),
           std::max(settings::FormHeight.read(*m_config), minimumHeight()));
    m_centringPending = m_firstRun && frameMargins().isNull();
    m_showMain = settings::ShowMainForm.read(*m_config);
    T1->setChecked(settings::ShowTimeForm.read(*m_config));
    if (T1->isChecked())
        showClockWindow();
    followHolidayFile();
    reloadList();
    watchDataFile();
    resumeEngine();
    m_sync = new SyncRunner(m_paths, m_platform, m_clock, this);
    m_sync->start();
    tellMissingHolidays();
    if (m_showMain || m_firstRun) {
        startCheck();
        return;
    }
    Timer1->start();
    if (earlierStarts < 10)
        m_platform.tray.showBalloon(programTitle(), QStringLiteral("Kelvo软件已经运行。"), 10);
}

FirstRunSizes TForm1::firstRunSizes() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return {toSize(screen->geometry().size()),       toSize(outerSize(*this)),
            toSize(outerSize(m_dialogs.newItem())),  toSize(outerSize(m_dialogs.view())),
            toSize(outerSize(m_dialogs.settings())), toSize(outerSize(m_dialogs.edit()))};
}

// At a first start no window has had a frame yet when the first positions
// are written; once the main window has one, they are written again with
// the outer sizes and the main window goes to its centred place.
void TForm1::centreAfterFraming() {
    if (!m_centringPending || frameMargins().isNull())
        return;
    m_centringPending = false;
    startWrite([this] { writeFirstRunPositions(*m_config, firstRunSizes()); });
    restoreWindowPos(*this, *m_config, positions::Main);
}

void TForm1::openSettings() {
    m_config = std::make_unique<TIniFile>(m_paths.config());
    if (m_firstRun)
        startWrite([this] { writeFirstRunConfig(*m_config, firstRunSizes()); });
}

void TForm1::openDataFile() {
    m_data = std::make_unique<TIniFile>(m_paths.dataFile());
    if (!stampOf(m_paths.dataFile()).exists)
        startWrite([this] { createDataFile(*m_data); });
}

// Reads the start settings and counts this start; returns the number of
// earlier starts.
int32_t TForm1::readStartSettings() {
    const int32_t earlier = settings::OpenTimes.read(*m_config);
    TForm4::remindLaterMinutes = static_cast<quint16>(settings::TimeLate.read(*m_config));
    startWrite([&] {
        settings::OpenTimes.write(*m_config, earlier + 1);
        m_config->UpdateFile();
    });
    return earlier;
}

void TForm1::countDataFileStart() {
    startWrite([this] { countOpening(*m_data); });
}

void TForm1::startWrite(const std::function<void()>& write) {
    try {
        write();
    } catch (const IniWriteError& e) {
        if (m_unwritableAtStart.insert(e.path()).second)
            MessageBox::reportingErrors(this, [&e] { throw e; });
    }
}

// --- the list ------------------------------------------------------------

// A selected line stays selected at its position; with none selected, none
// is after the reload either.
void TForm1::reloadList() {
    const int position = selectedPosition();
    ReminderList list = loadReminderList(*m_data);
    m_engine->setItems(std::move(list.items));
    m_lines->setLines(std::move(list.lines));
    m_listDismissals = std::move(list.dismissals);
    if (m_engine->resumed())
        followDismissals();
    selectLine(position);
    m_nextOfAll.reset();
    updateTrayTip();
    // A reminder added for a minute checked already fires at once, from
    // the event loop (the caller of the reload goes on first).
    if (m_engine->resumed())
        QTimer::singleShot(0, this, [this] { m_engine->checkAdded(); });
    m_listedVersion = m_data->stamp();
    // The list and the engine now hold what they need while the program
    // waits; the parsed file (several times its size) is read again when a
    // command needs it.
    m_data->releaseContent();
}

// Another program's change of the data file (kelvoctl, a hand edit, a sync
// tool) is listed and reminded of soon after: a notice of the watch is
// followed, once the burst of notices of one replacement is over, by a
// reload when the file is another version than the one listed. The
// program's own changes were listed already and find the same version.
void TForm1::watchDataFile() {
    m_dataChangeTimer = new QTimer(this);
    m_dataChangeTimer->setObjectName(QStringLiteral("dataChangeTimer"));
    m_dataChangeTimer->setSingleShot(true);
    m_dataChangeTimer->setInterval(100);
    connect(&m_platform.dataFileWatch, &FileWatch::changed, m_dataChangeTimer,
            qOverload<>(&QTimer::start));
    connect(m_dataChangeTimer, &QTimer::timeout, this, [this] {
        if (stampOf(m_paths.dataFile()) != m_listedVersion)
            MessageBox::reportingErrors(this, [this] { afterListChange(); });
    });
    m_platform.dataFileWatch.watch(QString::fromStdString(m_paths.dataFile()));
}

void TForm1::afterListChange() {
    reloadList();
    closeSearch();
}

void TForm1::closeSearch() {
    if (Tsearch* search = m_dialogs.shownSearch())
        search->close();
}

int TForm1::selectedPosition() const {
    const QModelIndex current = ui->eventlist->currentIndex();
    return current.isValid() && ui->eventlist->selectionModel()->isSelected(current) ? current.row()
                                                                                     : -1;
}

void TForm1::selectLine(int position) {
    // An index past the lines is invalid: no line is current or selected.
    ui->eventlist->selectionModel()->setCurrentIndex(m_lines->index(position),
                                                     QItemSelectionModel::ClearAndSelect);
}

// --- tray and closing ----------------------------------------------------

void TForm1::Timer1Timer() {
    Timer1->stop();
    hideToTray();
    startCheck();
}

// The reminders of the start come one after the other, each heard with its
// own sound; those of one minute come up together.
void TForm1::startCheck() {
    m_oneAfterAnother = true;
    m_engine->startCheck();
    m_oneAfterAnother = false;
}

void TForm1::trayDblClick() {
    if (m_hiddenInTray || isMinimized())
        showFromTray();
    else
        hideToTray();
}

void TForm1::N1Click() {
    trayDblClick();
}

// Without a notification area a hidden window could never be brought back,
// so the window goes to the task bar instead; the user hears once, at the
// first start on such a desktop, that the menu entry brings it up too. The
// message comes from the event loop, so that the start check does not wait
// for it.
void TForm1::hideToTray() {
    if (m_platform.tray.isAvailable()) {
        hide();
        return;
    }
    if (!m_toldNoTray && !(m_config && settings::ToldNoTray.read(*m_config))) {
        m_toldNoTray = true;
        QTimer::singleShot(0, this, &TForm1::tellNoTray);
    }
    showMinimized();
}

void TForm1::tellNoTray() {
    MessageBox::information(
        this, programTitle(),
        QStringLiteral("桌面没有系统托盘，Kelvo 的主窗口将最小化到任务栏，而不是隐藏到托盘。"
                       "Kelvo 在后台继续提醒；从应用程序菜单再次打开 Kelvo，即可显示主窗口。"));
    startWrite([this] {
        if (!m_config)
            return;
        settings::ToldNoTray.write(*m_config, true);
        m_config->UpdateFile();
    });
}

void TForm1::showFromTray() {
    showNormal();
    raise();
    activateWindow();
    m_hiddenInTray = false;
}

void TForm1::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        m_hiddenInTray = true;
    QWidget::hideEvent(event);
}

void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() &&
        m_platform.tray.isAvailable())
        QTimer::singleShot(0, this, &TForm1::hideToTray);
}

// The buttons keep their column; the list takes the rest, the watermark
// stays under its bottom right corner.
void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int left = ui->eventlist->x();
    ui->eventlist->resize(width() - left - 4, height() - 27);
    ui->Label1->setGeometry(left, height() - 20, width() - left - 4, 16);
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose(event);
}

void TForm1::FormClose(QCloseEvent* event) {
    if (!m_exitRequested) {
        event->ignore();
        hideToTray();
        return;
    }
    if (MessageBox::question(this, QStringLiteral("关闭软件"),
                             QStringLiteral("你真的要关闭本软件吗？"),
                             MessageBox::No) == MessageBox::Yes) {
        event->accept();
        emit exitConfirmed();
        return;
    }
    event->ignore();
    if (!m_hiddenInTray)
        hideToTray();
    m_exitRequested = false;
}

void TForm1::Exit1Click() {
    m_exitRequested = true;
    close();
}

void TForm1::FormDestroy() {
    storeEndState();
}

void TForm1::endReminding() {
    m_engine->stop();
}

void TForm1::storeEndState() {
    if (!m_config)
        return;
    if (m_paused) // the minutes until now are not to be listed
        m_engine->skipUntil(m_clock.now());
    if (m_data)
        writeQuietly([this] { m_pendingMarks.store(*m_data); });
    storeLastCheck();
    if (m_firedStorePending)
        storeFired();
    settings::ShowTimeForm.write(*m_config, T1->isChecked());
    writeWindowPos(*m_config, positions::Main, {x(), y()});
    settings::FormWidth.write(*m_config, width());
    settings::FormHeight.write(*m_config, height());
    m_config->UpdateFile();
}

// --- the engine ----------------------------------------------------------

// The program sleeps until the clock's minute changes or a snooze is due:
// each of the two timers is armed, once, for the next moment it has to
// act. Timers count elapsed time, so a set clock or a resume from suspend,
// which the clock watch tells of, arms them afresh and looks at once.
void TForm1::makeEngineTimers() {
    const auto timer = [this](const char* name) {
        auto* t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer);
        return t;
    };
    gtimer = timer("gtimer");
    retimer = timer("retimer");
    // While reminding is paused gtimer stands still; this one renews the
    // tray tip's lunar date at each midnight meanwhile.
    m_pausedTipTimer = timer("pausedTipTimer");
    connect(m_pausedTipTimer, &QTimer::timeout, this, &TForm1::renewPausedTip);
    // Queued: a check runs outside the timer's own event, so that the timers
    // go on while its popups are open and later checks stack on top.
    connect(gtimer, &QTimer::timeout, this, &TForm1::gtimerTimer, Qt::QueuedConnection);
    connect(retimer, &QTimer::timeout, this, &TForm1::retimerTimer, Qt::QueuedConnection);
    connect(&m_platform.clockWatch, &ClockWatch::jumped, this, &TForm1::clockJumped,
            Qt::QueuedConnection);
    armMinuteTimer();
    armSnoozeTimer();
}

void TForm1::armMinuteTimer() {
    gtimer->start(static_cast<int>(m_engine->msToNextMinute()));
}

void TForm1::armSnoozeTimer() {
    if (const std::optional<int64_t> ms = m_engine->msToNextSnooze())
        retimer->start(static_cast<int>(std::min<int64_t>(*ms, std::numeric_limits<int>::max())));
    else
        retimer->stop();
}

// Armed again before the check, whose popups may stay open into the next
// minute.
void TForm1::gtimerTimer() {
    if (m_paused)
        return;
    armMinuteTimer();
    if (!m_engine->resumed()) // the list is not loaded yet
        return;
    followHolidayFile();
    tellMissingHolidays();
    if (m_sync) // an account set meanwhile by kelvoctl
        m_sync->start();
    updateTrayTip();
    m_engine->minuteTick();
    writeQuietly([this] { storeLastCheck(); });
    if (m_snoozesUnstored)
        writeQuietly([this] { storeSnoozes(); });
    storeMarks();
}

// Each entry that fires leaves the queue first, which arms the timer for
// the next one.
void TForm1::retimerTimer() {
    m_engine->snoozeTick();
    armSnoozeTimer();
}

void TForm1::clockJumped() {
    gtimerTimer();
    retimerTimer();
    if (m_paused)
        renewPausedTip();
}

void TForm1::renewPausedTip() {
    showTrayState();
    const DateTime now = m_clock.now();
    const int secondsLeft = 24 * 3600 - (now.hour * 3600 + now.minute * 60 + now.second);
    m_pausedTipTimer->start((secondsLeft + 1) * 1000);
}

bool TForm1::event(QEvent* event) {
    if (event->type() != static_cast<QEvent::Type>(kMainCommand))
        return QWidget::event(event);
    mainCommand(static_cast<const WindowMessage&>(*event));
    return true;
}

void TForm1::mainCommand(const WindowMessage& message) {
    switch (message.wParam()) {
    case kCmdTrayToggle:
        trayDblClick();
        break;
    case kCmdSnooze: {
        const SnoozeArgument snooze = SnoozeArgument::unpack(message.lParam());
        const int64_t due = m_clock.read().utcSeconds + int64_t{snooze.minutes} * 60;
        if (m_engine->queueSnooze(snooze.item, due))
            acknowledge(snooze.item, due);
        break;
    }
    case kCmdDismissed:
        acknowledge(static_cast<int32_t>(message.lParam()), 0);
        break;
    case kCmdSelectLine:
        selectLine(static_cast<int>(message.lParam()));
        break;
    default:
        break;
    }
}

// Shows the item, as a notification or in a new popup, and then waits
// until the popup is closed. The alert comes up with what was read from the
// data file, whatever the disk does: the hand-off is written when it can be,
// and the item is marked reminded only once the alert is up, by a mark that
// waits in memory while the data file cannot be written or is locked.
void TForm1::fire(int32_t item, const FiringTime& at) {
    if (remindAgain(item, at))
        return;
    const Firing firing = readFiring(*m_data, item, at.advance(), at.daysAhead);
    m_data->releaseContent();
    writeQuietly([&] { writeHandOff(m_paths.handOff(), HandOff{firing.text, firing.music}); });
    const auto number = static_cast<quint16>(item);
    const QString text = QString::fromStdString(firing.text);
    const QString music = QString::fromStdString(firing.music);
    DueTime due{firing.hour, firing.minute, firing.advanceMinutes, firing.daysAhead};
    if (at.kind == FiringKind::Interval) // a later minute of its window
        due.hour = at.at.hour, due.minute = at.at.minute;
    const auto shown = [this, item, message = firing.message] { markShown(item, message); };
    const auto popupInstead = [this, number, text, music, due, shown] {
        showPopup(number, text, music, due, shown);
    };
    if (NotificationAlert* alert =
            alertByNotification(this, number, text, music, m_paths, m_platform, popupInstead)) {
        alert->setFiredAt(m_clock.read().utcSeconds);
        shown();
    } else {
        popupInstead();
    }
}

// A popup that comes while others are open goes on top of them. It stays
// until closed while the program goes on (the start check waits for it).
// `shown` runs once the popup is up, from the event loop, or when it closes
// before the loop ran any event.
void TForm1::showPopup(quint16 item, const QString& text, const QString& music, const DueTime& due,
                       const std::function<void()>& shown) {
    auto* popup = new TForm4(this, item, m_paths, m_platform);
    popup->setReminder(text, music);
    popup->setDue(due);
    popup->setClock(m_clock);
    popup->setFiredAt(m_clock.read().utcSeconds);
    if (const TForm4* below = topmostPopup())
        popup->stackOn(*below);
    popup->setShutdownWindow([this]() -> TForm7& { return m_dialogs.shutdown(); });
    popup->setWriteFailure([this](const IniWriteError& e) { tellWriteFailure(e); });
    m_popups.push_back(popup);
    const auto markOnce = [shown, marked = std::make_shared<bool>(false)] {
        if (!std::exchange(*marked, true))
            shown();
    };
    QTimer::singleShot(0, popup, markOnce);
    connect(popup, &QDialog::finished, this, [this, popup, markOnce] {
        markOnce();
        std::erase(m_popups, popup);
        popup->deleteLater();
    });
    if (!m_oneAfterAnother) {
        popup->show();
        return;
    }
    m_oneAfterAnother = false; // what fires meanwhile comes up at once
    popup->exec();
    m_oneAfterAnother = true;
}

// An interval reminder whose popup is still open when its next minute
// comes is told again in that popup, not in one more on top of it.
bool TForm1::remindAgain(int32_t item, const FiringTime& at) {
    const bool ownMinute = at.kind == FiringKind::SetTime || at.kind == FiringKind::Interval;
    if (!ownMinute || item > m_engine->count() || !intervalApplies(m_engine->items()[item - 1]))
        return false;
    for (TForm4* popup : m_popups) {
        if (popup->item() == item && popup->onTime() && popup->isVisible()) {
            popup->setFiredAt(m_clock.read().utcSeconds);
            popup->remindAgain(DueTime{at.at.hour, at.at.minute});
            return true;
        }
    }
    return false;
}

const TForm4* TForm1::topmostPopup() const {
    for (auto it = m_popups.rbegin(); it != m_popups.rend(); ++it) {
        if ((*it)->isVisible())
            return *it;
    }
    return nullptr;
}

} // namespace kelvo
