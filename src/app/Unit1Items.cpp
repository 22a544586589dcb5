#include "app/Unit1.h"

#include "alerts/NotificationAlert.h"
#include "alerts/showmsg.h"
#include "app/Dialogs.h"
#include "core/Clock.h"
#include "core/UserError.h"
#include "core/VisibleText.h"
#include "editors/edititem.h"
#include "editors/newitem.h"
#include "editors/viewitem.h"
#include "reminders/ReminderEngine.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/DataKeys.h"
#include "storage/HandOff.h"
#include "storage/Identity.h"
#include "storage/IniFile.h"
#include "system/Platform.h"
#include "system/Shell.h"
#include "ui_Unit1.h"
#include "widgets/MessageBox.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QShortcut>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>

namespace kelvo {
namespace {

// A separate upgrade program that this one only starts; none is shipped.
const QString kUpgradeProgram = QStringLiteral("AutoUpdate.exe");

QString aboutText() {
    return QStringLiteral("%1 桌面提醒  版本 %2\n\n"
                          "住在系统托盘里的提醒软件：按时弹出提醒，可以按年、月、日或星期重复，"
                          "可以提前提醒、整点提醒、开机提醒，可以播放音乐、执行命令或自动关机，"
                          "还能把农历日期换算成公历。\n\n"
                          "开发：%3\n"
                          "C++20 与 Qt 6 编写，在 Debian 12 上构建。")
        .arg(programTitle(), toQString(identity::Version), toQString(identity::Maker));
}

// The help page in a window of the program's own, for a desktop that has no
// program to show it: read-only, its links within the page followed, in the
// middle of the screen, closed by Escape. One window, brought up again by
// every later help command.
void showHelpWindow(QWidget* owner, const QString& file) {
    auto* browser = owner->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
    if (!browser) {
        browser = new QTextBrowser(owner);
        browser->setObjectName(QStringLiteral("helpBrowser"));
        browser->setWindowFlag(Qt::Window);
        browser->setWindowTitle(QStringLiteral("Kelvo 帮助"));
        browser->resize(720, 560);
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), browser);
        QObject::connect(escape, &QShortcut::activated, browser, &QWidget::close);
        centreOnScreen(*browser);
    }
    browser->setSource(QUrl::fromLocalFile(file));
    browser->show();
    browser->raise();
    browser->activateWindow();
}

} // namespace

void TForm1::connectItemCommands() {
    connect(ui->FlatSpeedButton2, &QPushButton::clicked, this, &TForm1::FlatSpeedButton2Click);
    connect(ui->FlatSpeedButton5, &QPushButton::clicked, this, &TForm1::FlatSpeedButton5Click);
    connect(ui->FlatSpeedButton4, &QPushButton::clicked, this, &TForm1::FlatSpeedButton4Click);
    connect(ui->FlatSpeedButton3, &QPushButton::clicked, this, &TForm1::FlatSpeedButton3Click);
    connect(ui->FlatSpeedButton7, &QPushButton::clicked, this, &TForm1::FlatSpeedButton7Click);
    connect(ui->FlatSpeedButton8, &QPushButton::clicked, this, &TForm1::FlatSpeedButton8Click);
    connect(ui->FlatSpeedButton6, &QPushButton::clicked, this, &TForm1::FlatSpeedButton6Click);
    connect(N4, &QAction::triggered, this, &TForm1::FlatSpeedButton2Click);
    connect(A1, &QAction::triggered, this, &TForm1::A1Click);
    connect(H1, &QAction::triggered, this, &TForm1::H1Click);
    connect(P1, &QAction::triggered, this, &TForm1::P1Click);
    connectListKeys();
    buildListMenu();
}

// In the list, Enter views the selected reminder, a double click edits it,
// Delete deletes it (after the question) and Insert adds one.
void TForm1::connectListKeys() {
    const auto onKey = [this](QKeyCombination key, void (TForm1::*command)()) {
        auto* shortcut = new QShortcut(QKeySequence(key), ui->eventlist);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, command);
    };
    onKey(Qt::Key_Return, &TForm1::FlatSpeedButton4Click);
    onKey(Qt::Key_Enter | Qt::KeypadModifier, &TForm1::FlatSpeedButton4Click);
    onKey(Qt::Key_Delete, &TForm1::FlatSpeedButton3Click);
    onKey(Qt::Key_Insert, &TForm1::FlatSpeedButton2Click);
    connect(ui->eventlist, &QAbstractItemView::doubleClicked, this, &TForm1::FlatSpeedButton5Click);
    connectWindowKeys();
}

// Anywhere in the window: Ctrl+N adds, Ctrl+F searches, F1 helps, Ctrl+Z
// brings the reminder deleted last back.
void TForm1::connectWindowKeys() {
    const auto onKey = [this](const QKeySequence& key, void (TForm1::*command)()) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, command);
    };
    onKey(QKeySequence::New, &TForm1::FlatSpeedButton2Click);
    onKey(QKeySequence::Find, &TForm1::FlatSpeedButton10Click);
    onKey(QKeySequence::HelpContents, &TForm1::FlatSpeedButton7Click);
    onKey(QKeySequence::Undo, &TForm1::undoDelete);
}

// Add: whatever the dialog did, the list is loaded again.
void TForm1::FlatSpeedButton2Click() {
    m_dialogs.newItem().exec();
    afterListChange();
}

// Edit the selected reminder, handed to the dialog through TmpFile.tmp.
void TForm1::FlatSpeedButton5Click() {
    const int position = selectedPosition();
    if (position < 0)
        return;
    MessageBox::reportingErrors(this, [&] {
        writeHandOffItem(m_paths.handOff(), handoff::Edit, position + 1);
        m_dialogs.edit().exec();
        afterListChange();
    });
}

// View the selected reminder; nothing changes, so the list stays.
void TForm1::FlatSpeedButton4Click() {
    const int position = selectedPosition();
    if (position < 0)
        return;
    MessageBox::reportingErrors(this, [&] {
        writeHandOffItem(m_paths.handOff(), handoff::View, position + 1);
        m_dialogs.view().exec();
    });
}

// Delete the selected reminder after asking. The later reminders move one
// number down, and so do their waiting snoozes; the selection stays at the
// position, now on the reminder that followed.
// The question names the reminder; Ctrl+Z undoes the deletion.
void TForm1::FlatSpeedButton3Click() {
    const int position = selectedPosition();
    if (position < 0)
        return;
    const std::string message =
        m_data->ReadString(itemSection(position + 1), datakeys::Message, "");
    const QString name = QString::fromStdString(visibleText(message));
    if (MessageBox::question(this, QStringLiteral("确认"),
                             QStringLiteral("真的要删除“%1”吗？")
                                 .arg(name.size() > 60 ? name.left(60) + u'…' : name),
                             MessageBox::No) != MessageBox::Yes)
        return;
    MessageBox::reportingErrors(this, [&] {
        ItemKeys keys = readItemKeys(*m_data, position + 1);
        removeItems({position + 1});
        m_lastDeleted = std::move(keys);
    });
    afterListChange();
}

// The reminder deleted last comes back, with every key it had, as the last
// line; its snoozes do not.
void TForm1::undoDelete() {
    if (!m_lastDeleted)
        return;
    MessageBox::reportingErrors(this, [&] {
        const int32_t k = restoreItem(*m_data, *m_lastDeleted);
        m_lastDeleted.reset();
        afterListChange();
        selectLine(k - 1);
    });
}

std::string TForm1::deleteItems(const std::vector<int32_t>& items) {
    const int32_t n = itemCount(*m_data);
    for (int32_t k : items) {
        if (k < 1 || k > n)
            return "there is no reminder " + std::to_string(k) + " (there are " +
                   std::to_string(n) + ")";
    }
    std::string error;
    try {
        removeItems(items);
    } catch (const UserError& e) { // told to kelvoctl, which asked
        error = e.what();
    }
    afterListChange();
    return error;
}

// The later reminders move down in the file, their snoozes in the queue,
// and the open alerts with them.
void TForm1::removeItems(const std::vector<int32_t>& items) {
    kelvo::deleteItems(*m_data, items);
    for (int32_t k : deletionOrder(items)) {
        m_engine->itemDeleted(k);
        m_pendingMarks.itemDeleted(k);
        for (TForm4* popup : m_popups)
            popup->itemDeleted(k);
        for (NotificationAlert* alert : findChildren<NotificationAlert*>())
            alert->itemDeleted(k);
    }
}

void TForm1::FlatSpeedButton7Click() {
    const QString help = QString::fromStdString(m_paths.help());
    if (QFileInfo(help).isFile()) {
        if (!m_platform.shell.openDocument(help))
            showHelpWindow(this, help);
        return;
    }
    MessageBox::plain(this, QCoreApplication::applicationName(),
                      QStringLiteral("出错\n\n    帮助文件未找到！          "));
}

void TForm1::H1Click() {
    FlatSpeedButton7Click();
}

// Online upgrade: Kelvo comes with the system's packages and is updated with
// them; an upgrade program put beside the executable is started instead.
void TForm1::FlatSpeedButton8Click() {
    const QString upgrade = QDir(QCoreApplication::applicationDirPath()).filePath(kUpgradeProgram);
    if (!QFileInfo::exists(upgrade)) {
        MessageBox::information(
            this, QStringLiteral("在线升级"),
            QStringLiteral("Kelvo 随系统的软件包一起更新：系统的软件更新（或 sudo apt upgrade）"
                           "会在有新版本时安装它。\n\n已安装的版本：%1")
                .arg(toQString(identity::Version)));
    } else if (!m_platform.shell.openDocument(upgrade)) {
        MessageBox::warning(
            this, programTitle(),
            QStringLiteral("无法启动升级程序 %1：桌面没有可以打开它的程序。").arg(upgrade));
    }
}

void TForm1::FlatSpeedButton6Click() {
    MessageBox::information(this, QStringLiteral("关于本软件"), aboutText());
}

void TForm1::A1Click() {
    FlatSpeedButton6Click();
}

// Pause stops only the minute check; snoozes keep firing. The menu item has
// already changed its own tick when this runs; it is set to the state, and
// the tray's tip and icon tell it.
void TForm1::P1Click() {
    if (m_paused) {
        P1->setChecked(false);
        m_paused = false;
        // The paused minutes are neither checked nor listed; this one is,
        // at once.
        m_engine->skipUntil(addMinutes(m_clock.now(), -1));
        gtimer->start(0);
        m_pausedTipTimer->stop();
        showTrayState();
        return;
    }
    m_paused =
        MessageBox::question(this, QStringLiteral("暂停确认"), QStringLiteral("真的要暂停提醒吗？"),
                             MessageBox::No) == MessageBox::Yes;
    P1->setChecked(m_paused);
    if (m_paused) {
        gtimer->stop();
        renewPausedTip();
    }
}

} // namespace kelvo
