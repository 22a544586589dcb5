#include "app/Unit1.h"

#include "alerts/showmsg.h"
#include "app/Dialogs.h"
#include "app/ReminderListModel.h"
#include "app/SyncRunner.h"
#include "core/VisibleText.h"
#include "editors/SearchForm.h"
#include "settings/setting.h"
#include "storage/DataFile.h"
#include "storage/DataKeys.h"
#include "storage/IniFile.h"
#include "sync/SyncAccountDialog.h"
#include "system/Autorun.h"
#include "system/Platform.h"
#include "system/RegAutoRun.h"
#include "ui_Unit1.h"
#include "widgets/MessageBox.h"
#include "widgets/Messages.h"
#include "widgets/QtText.h"

#include <QAction>
#include <QCoreApplication>
#include <QMoveEvent>

namespace kelvo {
namespace {

// The command that starts this program on its data directory again.
QStringList selfCommand(const DataPaths& paths) {
    QStringList command{QCoreApplication::applicationFilePath()};
    if (paths.dirGiven)
        command << QStringLiteral("--dir") << QString::fromStdString(paths.dir);
    return command;
}

// Runs an operation on the log-on entry; a failure is shown and ends the
// command (false).
template <typename Operation> bool autorunDone(QWidget* parent, Operation operation) {
    try {
        operation();
        return true;
    } catch (const AutorunError& e) {
        MessageBox::critical(parent, programTitle(), e.message());
        return false;
    }
}

} // namespace

void TForm1::connectSettingsCommands() {
    connect(ui->FlatSpeedButton1, &QPushButton::clicked, this, &TForm1::FlatSpeedButton1Click);
    connect(ui->FlatSpeedButton10, &QPushButton::clicked, this, &TForm1::FlatSpeedButton10Click);
    // Qt ticks or unticks the item before it reports the click; the command
    // decides the mark itself from the state it had.
    connect(R1, &QAction::triggered, this, [this] {
        R1->setChecked(!R1->isChecked());
        R1Click();
    });
}

// Registration for the start with the user's log-on is checked here, after
// the settings are open and before the data file is.
void TForm1::runStartupAutorunCheck() {
    QStringList stored;
    if (!autorunDone(this, [&] { stored = m_platform.autorun.read(kAutorunName); }))
        return;
    switch (startupAutorunStep(m_firstRun, stored, selfCommand(m_paths))) {
    case StartupAutorun::AskToRegister:
        offerAutorun(QStringLiteral("是否要开机运行本程序(推荐选择是)？"));
        break;
    case StartupAutorun::AskToCorrect:
        offerAutorun(QStringLiteral("注册表中自动运行不是指向本程序，是否更改？"));
        break;
    case StartupAutorun::Registered:
        R1->setChecked(true);
        break;
    case StartupAutorun::Nothing:
        break;
    }
}

void TForm1::offerAutorun(const QString& question) {
    if (MessageBox::question(this, QStringLiteral("询问"), question, MessageBox::Yes) !=
        MessageBox::Yes)
        return;
    if (!autorunDone(this,
                     [this] { m_platform.autorun.write(kAutorunName, selfCommand(m_paths)); }))
        return;
    R1->setChecked(true);
    MessageBox::information(this, QStringLiteral("成功"), QStringLiteral("自动运行注册成功！"));
}

// Keeps the search window docked at the right edge.
void TForm1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    centreAfterFraming();
    if (Tsearch* search = m_dialogs.shownSearch())
        QCoreApplication::postEvent(
            search, new WindowMessage(kSearchMoved, x() + frameGeometry().width(), y()));
}

void TForm1::FlatSpeedButton1Click() {
    TForm5& settings = m_dialogs.settings();
    connect(&settings, &TForm5::syncAccountClicked, this, &TForm1::openSyncAccount,
            Qt::UniqueConnection);
    settings.exec();
    if (TForm5::confirmed)
        TForm4::remindLaterMinutes = static_cast<quint16>(settings.remindLaterMinutes());
}

// The sync account, over the settings dialog; the program's sync follows it.
void TForm1::openSyncAccount() {
    SyncAccountDialog account(m_paths, &m_dialogs.settings());
    m_sync->attach(account);
    account.exec();
}

void TForm1::R1Click() {
    if (!R1->isChecked()) {
        if (autorunDone(this,
                        [this] { m_platform.autorun.write(kAutorunName, selfCommand(m_paths)); }))
            R1->setChecked(true);
        return;
    }
    if (MessageBox::question(this, QStringLiteral("询问"),
                             QStringLiteral("真的要取消本程序的自动运行吗？"),
                             MessageBox::No) != MessageBox::Yes)
        return;
    m_platform.autorun.remove(kAutorunName);
    R1->setChecked(false);
}

void TForm1::FlatSpeedButton10Click() {
    if (Tsearch* shown = m_dialogs.shownSearch()) {
        shown->close();
        return;
    }
    const int count = m_lines->rowCount();
    if (count == 0) {
        MessageBox::plain(this, programTitle(), QStringLiteral("没有增加任何提醒，无法搜索！"));
        return;
    }
    QStringList messages;
    messages.reserve(count);
    for (int k = 1; k <= count; ++k)
        messages << QString::fromStdString(
            visibleText(m_data->ReadString(itemSection(k), datakeys::Message, "")));
    m_data->releaseContent();
    Tsearch& search = m_dialogs.search();
    search.setSource(messages);
    search.setMainWindow(this);
    search.show();
}

} // namespace kelvo
