// What the main window keeps of the reminder engine across runs: the last
// checked minute, the snooze queue and the list of missed reminders.
#include "app/Unit1.h"

#include "alerts/missedform.h"
#include "core/Clock.h"
#include "core/DateText.h"
#include "reminders/ReminderEngine.h"
#include "storage/ConfigFile.h"
#include "storage/IniFile.h"
#include "storage/ReminderFile.h"
#include "storage/SnoozeFile.h"

namespace kelvo {

std::unique_ptr<ReminderEngine> TForm1::makeEngine(const Clock& clock) {
    return std::make_unique<ReminderEngine>(
        clock,
        ReminderEngine::Hooks{[this](int32_t item, bool advance) { fire(item, advance); },
                              [this](const std::vector<Occasion>& missed) { listMissed(missed); },
                              [this] {
                                  armSnoozeTimer();
                                  writeQuietly([this] { storeSnoozes(); });
                              }});
}

// At start, with the list loaded: the snoozes of the last run wait again,
// and what fell due since its last check is listed.
void TForm1::resumeEngine() {
    m_engine->resume(parseDateTime(settings::LastCheck.read(*m_config)),
                     readSnoozeFile(m_paths.snoozes(), ReminderEngine::kMaxSnoozes));
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

// At most once a minute: only when the minute checked has changed.
void TForm1::storeLastCheck() {
    const std::string last = formatDateTime(m_engine->lastChecked());
    if (!m_config || last == m_storedLastCheck)
        return;
    settings::LastCheck.write(*m_config, last);
    m_config->UpdateFile();
    m_storedLastCheck = last;
}

} // namespace kelvo
