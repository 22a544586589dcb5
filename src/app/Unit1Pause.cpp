#include "app/Unit1.h"

#include "app/PauseDialog.h"
#include "app/ReminderListModel.h"
#include "core/Clock.h"
#include "reminders/ItemTexts.h"
#include "reminders/ReminderEngine.h"
#include "storage/IniFile.h"
#include "storage/PauseKey.h"
#include "ui_Unit1.h"
#include "widgets/MessageBox.h"
#include "widgets/QtText.h"

#include <QAction>
#include <QMenu>

namespace kelvo {

// The list's context menu: the commands on the reminder under the mouse
// (which becomes the selection), and its skip, pause and resume.
void TForm1::buildListMenu() {
    m_listMenu = new QMenu(this);
    m_listMenu->setObjectName(QStringLiteral("listMenu"));
    const auto item = [this](const char* name, const QString& caption, void (TForm1::*command)()) {
        QAction* action = m_listMenu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    item("listView", QStringLiteral("查看提醒"), &TForm1::FlatSpeedButton4Click);
    item("listEdit", QStringLiteral("编辑提醒"), &TForm1::FlatSpeedButton5Click);
    item("listDelete", QStringLiteral("删除提醒"), &TForm1::FlatSpeedButton3Click);
    m_listMenu->addSeparator();
    m_skipNext = item("skipNext", QStringLiteral("跳过下一次"), &TForm1::skipNextClick);
    item("pauseUntil", QStringLiteral("暂停到…"), &TForm1::pauseUntilClick);
    m_resume = item("resumeItem", QStringLiteral("恢复提醒"), &TForm1::resumeClick);
    connect(m_listMenu, &QMenu::aboutToShow, this, &TForm1::enableListMenu);
    ui->eventlist->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->eventlist, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (const QModelIndex under = ui->eventlist->indexAt(at); under.isValid())
            selectLine(under.row());
        if (selectedPosition() >= 0)
            m_listMenu->popup(ui->eventlist->viewport()->mapToGlobal(at));
    });
    m_lines->setLineNote([this](int row) {
        const std::vector<ItemSchedule>& items = m_engine->items();
        if (row < 0 || static_cast<size_t>(row) >= items.size())
            return QString();
        return toQString(pauseNote(items[static_cast<size_t>(row)], m_clock.now()));
    });
}

// Skip only while the reminder fires again; resume only while it waits.
void TForm1::enableListMenu() {
    const int position = selectedPosition();
    const std::vector<ItemSchedule>& items = m_engine->items();
    if (position < 0 || static_cast<size_t>(position) >= items.size())
        return;
    const ItemSchedule& item = items[static_cast<size_t>(position)];
    m_skipNext->setEnabled(nextFiring(item, m_clock.now()).has_value());
    m_resume->setEnabled(!pauseNote(item, m_clock.now()).empty());
}

void TForm1::changePause(const std::function<PauseOutcome(int32_t item)>& change) {
    const int position = selectedPosition();
    if (position < 0)
        return;
    MessageBox::reportingErrors(this, [&] {
        if (change(position + 1) == PauseOutcome::NothingAhead)
            MessageBox::information(this, QStringLiteral("跳过下一次"),
                                    QStringLiteral("这个提醒以后不会再提醒，没有可以跳过的。"));
        afterListChange();
    });
}

void TForm1::skipNextClick() {
    changePause([this](int32_t k) { return skipNextOccurrence(*m_data, k, m_clock.now()); });
}

// The dialog offers the day of the pause the reminder has, else tomorrow.
void TForm1::pauseUntilClick() {
    const int position = selectedPosition();
    if (position < 0 || static_cast<size_t>(position) >= m_engine->items().size())
        return;
    const Date today = m_clock.now().date;
    const int64_t notBefore = m_engine->items()[static_cast<size_t>(position)].notBefore;
    const Date shown = notBefore > minuteNumber(DateTime{addDays(today, 1), 0, 0, 0})
                           ? fromMinuteNumber(notBefore).date
                           : addDays(today, 1);
    PauseDialog dialog(today, shown, this);
    if (const std::optional<Date> until = dialog.ask())
        changePause([this, &until](int32_t k) { return pauseItem(*m_data, k, *until); });
}

void TForm1::resumeClick() {
    changePause([this](int32_t k) { return resumeItem(*m_data, k); });
}

} // namespace kelvo
