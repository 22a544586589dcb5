// What a shown reminder stores, and how the program tells of writes that fail
// while it runs: in the tray, once per run and kind of failure, never in a
// box that would stand in front of a reminder.
#include "app/Unit1.h"

#include "alerts/NotificationAlert.h"
#include "alerts/showmsg.h"
#include "app/SyncRunner.h"
#include "core/Clock.h"
#include "core/SystemError.h"
#include "reminders/ReminderEngine.h"
#include "storage/IniFile.h"
#include "system/Platform.h"
#include "system/Tray.h"
#include "widgets/QtText.h"

#include <QTimer>

#include <algorithm>

namespace kelvo {
namespace {

constexpr int kBusyRetryMs = 1000;
// Another program's lock is told of only when it stays this many retries: a
// change of kelvoctl takes milliseconds.
constexpr int kBusyRetriesBeforeTelling = 5;
constexpr int kTrayMessageSeconds = 15;

std::string failureText(const IniWriteError& e) {
    std::string text;
    switch (e.reason()) {
    case IniWriteError::Reason::Busy:
        text = "另一个程序正在修改 " + e.path() + "。";
        break;
    case IniWriteError::Reason::Unwritable:
        text = cannotWriteText(e.path(), e.systemError()) + "。";
        break;
    case IniWriteError::Reason::Unreadable:
        text = e.what();
        break;
    }
    return text + "\n提醒照常显示；能够写入时，Kelvo 再保存。";
}

} // namespace

void TForm1::markShown(int32_t item, const std::string& message) {
    m_pendingMarks.add(item, message);
    storeMarks();
}

// Only with a sync account: without one nothing reads it, and a dismissal
// changes nothing in the data file.
void TForm1::acknowledge(int32_t item, int64_t snoozedUntil) {
    if (!m_sync || !m_sync->active() || item < 1 || item > m_engine->count() || !m_data)
        return;
    const std::string message = readFiring(*m_data, item, false).message;
    m_data->releaseContent();
    const int64_t now = m_clock.read().utcSeconds;
    m_pendingMarks.acknowledge(item, message, now, snoozedUntil);
    // Followed already: this program's own alerts and queue are as it left them.
    m_followedDismissals.push_back({item, now, snoozedUntil});
    storeMarks();
    m_sync->syncNow();
}

void TForm1::followDismissals() {
    for (const Dismissal& d : m_listDismissals) {
        if (std::find(m_followedDismissals.begin(), m_followedDismissals.end(), d) !=
            m_followedDismissals.end())
            continue;
        for (TForm4* popup : std::vector<TForm4*>(m_popups)) {
            if (popup->item() == d.item && popup->firedAt() <= d.at)
                popup->withdraw();
        }
        for (NotificationAlert* alert : findChildren<NotificationAlert*>()) {
            if (alert->item() == d.item && alert->firedAt() <= d.at)
                alert->withdraw();
        }
        m_engine->replaceSnoozes(d.item, d.snoozedUntil > d.at ? std::optional(d.snoozedUntil)
                                                               : std::nullopt);
    }
    m_followedDismissals = m_listDismissals;
}

// Marks that cannot be stored wait: for another program's lock a second,
// for a file that cannot be written the next minute.
void TForm1::storeMarks() {
    if (m_pendingMarks.empty() || !m_data)
        return;
    try {
        m_pendingMarks.store(*m_data);
        m_busyRetries = 0;
    } catch (const IniWriteError& e) {
        if (e.reason() != IniWriteError::Reason::Busy) {
            tellWriteFailure(e);
        } else {
            if (++m_busyRetries == kBusyRetriesBeforeTelling)
                tellWriteFailure(e);
            if (!m_markRetry) {
                m_markRetry = new QTimer(this);
                m_markRetry->setSingleShot(true);
                connect(m_markRetry, &QTimer::timeout, this, &TForm1::storeMarks);
            }
            m_markRetry->start(kBusyRetryMs);
        }
    }
    m_data->releaseContent();
}

void TForm1::writeQuietly(const std::function<void()>& write) {
    try {
        write();
    } catch (const IniWriteError& e) {
        tellWriteFailure(e);
    }
}

void TForm1::tellWriteFailure(const IniWriteError& e) {
    if (m_toldFailures.insert(static_cast<int>(e.reason())).second)
        m_platform.tray.showBalloon(programTitle(), toQString(failureText(e)), kTrayMessageSeconds);
}

} // namespace kelvo
