// The main window's part of the holiday calendar: the user's holiday file is
// read when it is first needed and again after another program (kelvoctl
// holidays import, the import window) changed it; a year that begins
// without an arrangement is told once in the tray.

#include "app/Unit1.h"

#include "core/Clock.h"
#include "reminders/ItemTexts.h"
#include "reminders/ReminderEngine.h"
#include "storage/ConfigFile.h"
#include "storage/HolidayFile.h"
#include "storage/IniFile.h"
#include "system/Platform.h"
#include "system/Tray.h"
#include "widgets/QtText.h"

namespace kelvo {
namespace {

constexpr int kHolidayMessageSeconds = 15;

} // namespace

void TForm1::followHolidayFile() {
    const FileStamp stamp = stampOf(m_paths.holidays());
    if (m_holidaysVersion == stamp)
        return;
    m_holidaysVersion = stamp;
    const std::string error = loadHolidayCalendar(m_paths.holidays());
    m_nextOfAll.reset();
    if (!error.empty())
        m_platform.tray.showBalloon(programTitle(), toQString(error + "，只用内置的节假日安排。"),
                                    kHolidayMessageSeconds);
}

void TForm1::tellMissingHolidays() {
    const Date today = m_clock.now().date;
    if (!m_toldHolidayYear)
        m_toldHolidayYear = settings::ToldMissingHolidays.read(*m_config);
    if (*m_toldHolidayYear == today.year)
        return;
    const std::optional<std::string> notice = missingYearNotice(m_engine->items(), today);
    if (!notice)
        return;
    m_toldHolidayYear = today.year;
    m_platform.tray.showBalloon(programTitle(), toQString(*notice), kHolidayMessageSeconds);
    writeQuietly([&] {
        settings::ToldMissingHolidays.write(*m_config, today.year);
        m_config->UpdateFile();
    });
}

} // namespace kelvo
