// What the main window keeps of the reminder engine across runs: the last
// checked minute, the snooze queue and the list of missed reminders.
#include "app/Unit1.h"

#include "alerts/missedform.h"
#include "core/Clock.h"
#include "core/DateText.h"
#include "reminders/ReminderEngine.h"
#include "storage/ConfigFile.h"
#include "storage/FiredFile.h"
#include "storage/IniFile.h"
#include "storage/ReminderFile.h"
#include "storage/SnoozeFile.h"

#include <QTimer>

namespace kelvo {

std::unique_ptr<ReminderEngine> TForm1::makeEngine(const Clock& clock) {
    return std::make_unique<ReminderEngine>(
        clock,
        ReminderEngine::Hooks{[this](int32_t item, const FiringTime& at) { fire(item, at); },
                              [this](const std::vector<Occasion>& missed) { listMissed(missed); },
                              [this] {
                                  armSnoozeTimer();
                                  writeQuietly([this] { storeSnoozes(); });
                              },
                              [this] { storeFiredSoon(); }});
}

// At start, with the list loaded: the snoozes of the last run wait again,
// what fired in the last days is known again, and what fell due since its
// last check is listed. Until then no minute is checked or stored as
// checked, however long a question of the start stays open.
void TForm1::resumeEngine() {
    m_engine->restoreFired(readFiredFile(m_paths.fired()));
    std::optional<int64_t> lastCheckUtc;
    if (const auto utc = parseDateTime(settings::LastCheckUtc.read(*m_config)))
        lastCheckUtc = minuteNumber(*utc) * 60;
    m_engine->resume(parseDateTime(settings::LastCheck.read(*m_config)),
                     readSnoozeFile(m_paths.snoozes(), ReminderEngine::kMaxSnoozes), lastCheckUtc);
    followDismissals();
    armSnoozeTimer();
    startWrite([this] { storeLastCheck(); });
}

void TForm1::listMissed(const std::vector<Occasion>& missed) {
    if (!m_config || !settings::ShowMissed.read(*m_config))
        return;
    std::vector<MissedRow> rows;
    readMissedRows(*m_data, missed, rows);
    for (const Occasion& o : missed)
        m_pendingMarks.add(o.item, readFiring(*m_data, o.item, false).message);
    m_data->releaseContent();
    if (!m_missed) {
        m_missed = new TMissedForm(m_paths, this);
        m_missed->setObjectName(QStringLiteral("TMissedForm"));
    }
    m_missed->addRows(rows);
    storeMarks(); // listed: they count as reminded
}

// A queue that could not be stored is stored at a later minute: a snooze
// that fired must not wait again in the file for the next start.
void TForm1::storeSnoozes() {
    m_snoozesUnstored = true;
    writeSnoozeFile(m_paths.snoozes(), m_engine->snoozeQueue());
    m_snoozesUnstored = false;
}

// Once for all the firings of one check: the write waits for the event
// loop, which the check reaches when its alerts are up.
void TForm1::storeFiredSoon() {
    if (m_firedStorePending)
        return;
    m_firedStorePending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_firedStorePending)
            writeQuietly([this] { storeFired(); });
    });
}

void TForm1::storeFired() {
    m_firedStorePending = false;
    writeFiredFile(m_paths.fired(), m_engine->firedOccasions());
}

// At most once a minute: only when the minute checked has changed. The
// wall time for every reader, the same minute in UTC beside it.
void TForm1::storeLastCheck() {
    if (!m_config || !m_engine->resumed())
        return;
    const std::string last = formatDateTime(m_engine->lastChecked());
    const std::string utc = formatDateTime(fromMinuteNumber(m_engine->lastCheckedUtc() / 60));
    if (last + utc == m_storedLastCheck)
        return;
    settings::LastCheck.write(*m_config, last);
    settings::LastCheckUtc.write(*m_config, utc);
    m_config->UpdateFile();
    m_storedLastCheck = last + utc;
}

} // namespace kelvo
