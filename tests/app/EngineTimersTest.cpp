#include "app/Unit1.h"
#include "core/Clock.h"
#include "reminders/ReminderEngine.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "widgets/MessageBox.h"
#include "widgets/Messages.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

using namespace kelvo;
using namespace kelvo::test;

// The two timers of the engine sleep until the moment they have to act:
// the next change of the minute and the next snooze entry due.
class EngineTimersTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }

    void theMinuteTimerWaitsForTheNextMinuteOnly() {
        TempDir dir;
        Run run(dir); // at 08:29:00
        run.window->show();
        QTimer* gtimer = minuteTimer(run);
        QVERIFY(gtimer->isActive());
        QVERIFY(gtimer->isSingleShot());
        QCOMPARE(gtimer->timerType(), Qt::PreciseTimer);
        QVERIFY(gtimer->remainingTime() <= 60000 && gtimer->remainingTime() > 59000);
        run.clock.set({kMonday0829.date, 8, 29, 45}, 500);
        run.window->gtimerTimer();
        QVERIFY(gtimer->remainingTime() <= 14500 && gtimer->remainingTime() > 13500);

        // Fired a little early, it looks at the same minute and waits the rest.
        run.clock.set({kMonday0829.date, 8, 29, 59}, 998);
        run.window->gtimerTimer();
        QVERIFY(gtimer->remainingTime() <= 2);
        run.clock.set({kMonday0829.date, 8, 30, 0}, 3);
        run.window->gtimerTimer();
        QVERIFY(gtimer->remainingTime() <= 59997 && gtimer->remainingTime() > 58997);
    }

    void theSnoozeTimerWaitsForTheNextEntryAndStopsWhenNoneWaits() {
        TempDir dir;
        writeItems(dir, {item(7, 0, 0, "一"), item(7, 0, 0, "二")});
        Run run(dir);
        run.window->show();
        QTimer* retimer = run.window->findChild<QTimer*>("retimer");
        QVERIFY(!retimer->isActive());
        run.command(kCmdSnooze, 1 | (5 << 16));
        run.command(kCmdSnooze, 2 | (2 << 16));
        QVERIFY(retimer->isActive());
        QVERIFY(retimer->remainingTime() <= 120000 && retimer->remainingTime() > 119000);

        PopupAnswerer answerer;
        run.clock.advanceMinutes(2);
        run.window->retimerTimer();
        QTRY_COMPARE(answerer.messages, QStringList{"二"});
        QVERIFY(retimer->remainingTime() <= 180000 && retimer->remainingTime() > 179000);
        run.clock.advanceMinutes(3);
        run.window->retimerTimer();
        QTRY_COMPARE(answerer.messages, (QStringList{"二", "一"}));
        QVERIFY(!retimer->isActive());
    }

    // A set clock or a resume is checked at once, not when the timers, which
    // count elapsed time, would have woken.
    void aJumpOfTheClockIsCheckedAtOnce() {
        TempDir dir;
        writeItems(dir, {item(8, 32, 0, "跳到这里")});
        Run run(dir);
        run.window->show();
        PopupAnswerer answerer;
        run.clock.set({kMonday0829.date, 8, 32, 40});
        run.fake.clockWatch.jump();
        QTRY_COMPARE_WITH_TIMEOUT(answerer.messages, QStringList{"跳到这里"}, 5000);
        QVERIFY(minuteTimer(run)->remainingTime() <= 20000);
    }

    void pauseStopsTheMinuteTimerAndAJumpDoesNotStartIt() {
        TempDir dir;
        writeItems(dir, {item(8, 31, 0, "暂停中")});
        Run run(dir);
        run.window->show();
        MessageBox::setNextAnswer(MessageBox::Yes);
        run.action("P1")->trigger();
        QVERIFY(!minuteTimer(run)->isActive());
        PopupAnswerer answerer;
        run.clock.set({kMonday0829.date, 8, 31, 5});
        run.fake.clockWatch.jump();
        QTest::qWait(100);
        QVERIFY(answerer.messages.isEmpty());
        QVERIFY(!minuteTimer(run)->isActive());

        run.action("P1")->trigger(); // resumed: the minute of the resume is checked at once
        QTRY_COMPARE_WITH_TIMEOUT(answerer.messages, QStringList{"暂停中"}, 5000);
        QVERIFY(minuteTimer(run)->isActive());
    }

private:
    static QTimer* minuteTimer(const Run& run) { return run.window->findChild<QTimer*>("gtimer"); }
};

QTEST_MAIN(EngineTimersTest)
#include "EngineTimersTest.moc"
