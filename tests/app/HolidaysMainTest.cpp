// The main window on the official holiday calendar: the tray tip's 休 and
// 班, the word once a year of a year without data, and the user's holiday
// file read again when another program changed it.
#include "app/Unit1.h"
#include "reminders/Holidays.h"
#include "storage/ConfigFile.h"
#include "storage/IniFile.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

#include <QTest>

using namespace kelvo;
using namespace kelvo::test;

namespace {

const QString kMissing2027 = QStringLiteral("2027年的节假日安排还没有导入，将按周一至周五提醒");

// The lunar line of the tip (its second).
QString tipDay(const Run& run) {
    return run.fake.tray.toolTip.section(u'\n', 1, 1);
}

int toldMissing(const Run& run) {
    int n = 0;
    for (const auto& balloon : run.fake.tray.balloons)
        n += balloon.text == kMissing2027;
    return n;
}

ReminderItem workdays() {
    ReminderItem r = item(9, 0, 0, "打卡");
    r.day = kMondayToFridayCode;
    r.official = OfficialRule::Workdays;
    return r;
}

} // namespace

class HolidaysMainTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { useHolidayCalendar(builtInHolidays()); }

    void trayTipMarksDaysOffAndWorkedDays() {
        TempDir dir;
        firstStart(dir);
        Run run(dir);
        run.clock.set(DateTime{Date{2026, 2, 14}, 8, 0}); // a Saturday worked for 春节
        run.window->show();
        QVERIFY(tipDay(run).startsWith(QStringLiteral("农历")));
        QVERIFY(tipDay(run).endsWith(QStringLiteral(" 班")));
        run.clock.set(DateTime{Date{2026, 2, 16}, 0, 0}); // 春节
        run.window->gtimerTimer();
        QVERIFY(tipDay(run).endsWith(QStringLiteral(" 休")));
        run.clock.set(DateTime{Date{2026, 3, 2}, 0, 0});
        run.window->gtimerTimer();
        QVERIFY(!tipDay(run).contains(u' '));
    }

    // When 2027 begins without data, the tray says so once; a later minute
    // and a later start of the same year do not say it again. Without a
    // reminder on the official days nothing is said.
    void aYearWithoutDataIsToldOnceInTheTray() {
        TempDir dir;
        firstStart(dir);
        writeItems(dir, {item(9, 0, 0, "每天")});
        {
            Run run(dir);
            run.clock.set(DateTime{Date{2027, 1, 1}, 0, 0});
            run.window->show();
            QCOMPARE(toldMissing(run), 0);
            QCOMPARE(settings::ToldMissingHolidays.read(run.config()), 0);
        }
        writeItems(dir, {workdays()});
        {
            Run run(dir);
            run.clock.set(DateTime{Date{2026, 12, 31}, 23, 59});
            run.window->show();
            QCOMPARE(toldMissing(run), 0); // 2026 is known
            run.clock.set(DateTime{Date{2027, 1, 1}, 0, 0});
            run.window->gtimerTimer();
            QCOMPARE(toldMissing(run), 1);
            run.clock.set(DateTime{Date{2027, 1, 1}, 0, 1});
            run.window->gtimerTimer();
            QCOMPARE(toldMissing(run), 1);
            QCOMPARE(settings::ToldMissingHolidays.read(run.config()), 2027);
        }
        Run again(dir);
        again.clock.set(DateTime{Date{2027, 1, 1}, 0, 2});
        again.window->show();
        QCOMPARE(toldMissing(again), 0);
    }

    // kelvoctl holidays import writes Holidays.txt: the next minute follows it.
    void aHolidayFileChangedOutsideIsFollowed() {
        TempDir dir;
        firstStart(dir);
        Run run(dir);
        run.clock.set(DateTime{Date{2027, 2, 8}, 8, 0});
        run.window->show();
        QVERIFY(!tipDay(run).endsWith(QStringLiteral(" 休")));
        dir.write("Holidays.txt", "[2027]\n2027-02-08 休 春节\n");
        run.clock.set(DateTime{Date{2027, 2, 8}, 8, 1});
        run.window->gtimerTimer();
        QVERIFY(tipDay(run).endsWith(QStringLiteral(" 休")));
        QVERIFY(holidayCalendar().knows(2027));
    }
};

QTEST_MAIN(HolidaysMainTest)
#include "HolidaysMainTest.moc"
