#include "alerts/showmsg.h"
#include "app/Dialogs.h"
#include "app/Unit1.h"
#include "core/Clock.h"
#include "core/Environment.h"
#include "reminders/ReminderEngine.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/FileLock.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"
#include "support/FakePlatform.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "widgets/MessageBox.h"
#include "widgets/Messages.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <memory>

using namespace kelvo;
using kelvo::test::FakePlatform;
using kelvo::test::TempDir;
using namespace kelvo::test;

namespace {

using Snooze = ReminderEngine::SnoozeEntry;

// An entry due `minutes` after the clock's present moment.
Snooze snoozeIn(const Clock& clock, int minutes, int32_t item) {
    return Snooze{clock.read().utcSeconds + minutes * 60, item};
}

int centred(int screen, int window) {
    return (screen - window) / 2;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }

    void firstStartWritesDefaultsAndStaysVisible() {
        TempDir dir;
        Run run(dir);
        run.window->show();

        const TIniFile config = run.config();
        QCOMPARE(config.ReadString("Sys", "Corporation", "-"), "");
        QCOMPARE(config.ReadString("Sys", "Version", ""), "1.00.003");
        QCOMPARE(config.ReadString("Sys", "User", ""), accountName());
        QCOMPARE(config.ReadBool("Sys", "ShowMainForm", true), false);
        QCOMPARE(config.ReadInteger("Sys", "OpenTimes", -1), 1);
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        const QSize main = run.window->frameGeometry().size();
        QCOMPARE(config.ReadInteger("Sys", "FormLeft", -1), centred(screen.width(), main.width()));
        QCOMPARE(config.ReadInteger("Sys", "FormTop", -1), centred(screen.height(), main.height()));
        // The dialogs' outer sizes: their client areas (the view and edit
        // dialogs with their rows of interval and warnings) and the frame.
        const QSize frame = main - run.window->size();
        QCOMPARE(config.ReadInteger("NewItem", "FormLeft", -1),
                 centred(screen.width(), 345 + frame.width()));
        QCOMPARE(config.ReadInteger("View", "FormTop", -1),
                 centred(screen.height(), 352 + frame.height()));
        QCOMPARE(config.ReadInteger("Setting", "FormLeft", -1),
                 centred(screen.width(), 326 + frame.width()));
        QCOMPARE(config.ReadInteger("Edit", "FormTop", -1),
                 centred(screen.height(), 440 + frame.height()));
        QCOMPARE(config.ReadInteger("ShowMsg", "FormLeft", -1), centred(screen.width(), 376));
        QCOMPARE(config.ReadInteger("ShowMsg", "FormTop", -1), centred(screen.height(), 376));

        const TIniFile data(run.paths.dataFile());
        QCOMPARE(data.ReadInteger("Main", "Items", -1), 0);
        QCOMPARE(data.ReadInteger("Main", "OpenTimes", -1), 1);
        QVERIFY(data.ReadString("Item0", "Message", "").size() > 0);
        QCOMPARE(run.list().count(), 0);

        QVERIFY(run.window->isVisible());
        QVERIFY(run.fake.tray.balloons.empty());
        QVERIFY(!run.window->findChild<QTimer*>("Timer1")->isActive());
        QVERIFY(run.fake.tray.shown);
        // The tip names today's lunar date as well: 2024-06-03 is 四月廿七.
        QCOMPARE(run.fake.tray.toolTip, "Kelvo\n农历四月廿七");
        run.clock.set(DateTime{Date{2024, 6, 6}, 0, 0});
        run.window->gtimerTimer();
        QCOMPARE(run.fake.tray.toolTip, "Kelvo\n农历五月初一");
        run.clock.set(DateTime{Date{2100, 2, 9}, 0, 0}); // past the lunar calendar
        run.window->gtimerTimer();
        QCOMPARE(run.fake.tray.toolTip, "Kelvo");
        QCOMPARE(run.fake.tray.menu->actions().size(), 9);
        QCOMPARE(run.action("Exit1")->text(), "退出程序[&E]");
    }

    void secondStartHidesToTrayWithBalloon() {
        TempDir dir;
        firstStart(dir);
        Run run(dir);
        run.window->show();

        QCOMPARE(run.config().ReadInteger("Sys", "OpenTimes", -1), 2);
        QCOMPARE(TIniFile(run.paths.dataFile()).ReadInteger("Main", "OpenTimes", -1), 2);
        QTRY_VERIFY_WITH_TIMEOUT(!run.window->isVisible(), 2000);
        QVERIFY(run.window->hiddenInTray());
        QCOMPARE(run.fake.tray.balloons.size(), size_t(1));
        QCOMPARE(run.fake.tray.balloons[0].title, "Kelvo");
        QCOMPARE(run.fake.tray.balloons[0].text, "Kelvo软件已经运行。");
        QCOMPARE(run.fake.tray.balloons[0].seconds, 10);
    }

    void eleventhStartShowsNoBalloon() {
        TempDir dir;
        firstStart(dir);
        setEarlierStarts(dir, 10);
        Run run(dir);
        run.window->show();
        QTRY_VERIFY_WITH_TIMEOUT(!run.window->isVisible(), 2000);
        QVERIFY(run.fake.tray.balloons.empty());
    }

    void storedPositionPlacesTheWindow() {
        TempDir dir;
        firstStart(dir);
        {
            TIniFile config(dir.file("Config.ini"));
            config.WriteBool("Sys", "ShowMainForm", true);
            config.WriteInteger("Sys", "FormLeft", 31);
            config.WriteInteger("Sys", "Formtop", 42);
            config.UpdateFile();
        }
        Run run(dir);
        run.window->show();
        QCOMPARE(run.window->pos(), QPoint(31, 42));
        QTest::qWait(300);
        QVERIFY(run.window->isVisible());
    }

    void closingHidesAndTheToggleBringsBack() {
        TempDir dir;
        Run run(dir);
        QSignalSpy exits(run.window.get(), &TForm1::exitConfirmed);
        run.window->show();

        QVERIFY(!run.window->close());
        QVERIFY(!run.window->isVisible());
        QVERIFY(run.window->hiddenInTray());

        run.fake.tray.doubleClick();
        QVERIFY(run.window->isVisible());
        QVERIFY(!run.window->hiddenInTray());
        run.command(kCmdTrayToggle, 0);
        QVERIFY(run.window->hiddenInTray());
        run.action("N1")->trigger();
        QVERIFY(run.window->isVisible());
        QCOMPARE(exits.count(), 0);

        // Minimising goes to the tray as well.
        run.window->showMinimized();
        QTRY_VERIFY(!run.window->isVisible());
        QVERIFY(run.window->hiddenInTray());
        run.fake.tray.doubleClick();
        QVERIFY(run.window->isVisible());
        QVERIFY(!run.window->isMinimized());
    }

    void exitAsksAndNoKeepsRunning() {
        TempDir dir;
        Run run(dir);
        QSignalSpy exits(run.window.get(), &TForm1::exitConfirmed);
        run.window->show();

        MessageBox::setNextAnswer(MessageBox::No);
        run.action("Exit1")->trigger();
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Question);
        QCOMPARE(MessageBox::lastBox().caption, "关闭软件");
        QCOMPARE(MessageBox::lastBox().text, "你真的要关闭本软件吗？");
        QCOMPARE(exits.count(), 0);
        QVERIFY(run.window->hiddenInTray());

        // A later plain close request hides again without a question.
        const int boxes = MessageBox::boxCount();
        run.window->show();
        run.window->close();
        QCOMPARE(MessageBox::boxCount(), boxes);
        QCOMPARE(exits.count(), 0);
    }

    void exitYesSavesClockTickAndPosition() {
        TempDir dir;
        {
            Run run(dir);
            QSignalSpy exits(run.window.get(), &TForm1::exitConfirmed);
            run.window->show();
            run.window->move(57, 66);
            run.action("T1")->setChecked(true);
            MessageBox::setNextAnswer(MessageBox::Yes);
            run.action("Exit1")->trigger();
            QCOMPARE(exits.count(), 1);
        }
        const TIniFile config(dir.file("Config.ini"));
        QCOMPARE(config.ReadBool("Sys", "ShowTimeForm", false), true);
        QCOMPARE(config.ReadInteger("Sys", "FormLeft", -1), 57);
        QCOMPARE(config.ReadInteger("Sys", "FormTop", -1), 66);
    }

    // The frame's buttons; the list grows with the window, whose size is
    // kept for the next start, never below the first size.
    void resizableWithItsSizeKept() {
        TempDir dir;
        QSize first;
        {
            Run run(dir);
            run.window->show();
            QVERIFY(run.window->windowFlags().testFlags(Qt::WindowMinimizeButtonHint |
                                                        Qt::WindowCloseButtonHint));
            first = run.window->size();
            QCOMPARE(run.window->minimumSize(), first);
            QVERIFY(run.window->maximumWidth() > first.width());
            auto* list = run.window->findChild<QWidget*>("eventlist");
            const QSize listFirst = list->size();
            run.window->resize(first + QSize(300, 200));
            QCOMPARE(list->size(), listFirst + QSize(300, 200));
            auto* mark = run.window->findChild<QWidget*>("Label1");
            QCOMPARE(mark->geometry().bottom(), run.window->height() - 5);
            run.window->storeEndState();
        }
        const TIniFile config(dir.file("Config.ini"));
        QCOMPARE(config.ReadInteger("Sys", "FormWidth", 0), first.width() + 300);
        QCOMPARE(config.ReadInteger("Sys", "FormHeight", 0), first.height() + 200);
        {
            Run run(dir);
            run.window->show();
            QCOMPARE(run.window->size(), first + QSize(300, 200));
        }
        {
            TIniFile small(dir.file("Config.ini"));
            small.WriteInteger("Sys", "FormWidth", 10);
            small.UpdateFile();
        }
        Run run(dir);
        run.window->show();
        QCOMPARE(run.window->width(), first.width());
    }

    void dueItemWritesHandOffAndShowsPopup() {
        TempDir dir;
        ReminderItem lunch = item(8, 30, 0, "开会");
        lunch.music = "/sounds/bell.wav";
        writeItems(dir, {item(9, 0, 0, "不到时间"), lunch});
        Run run(dir);
        run.window->show();
        QCOMPARE(run.list().count(), 2);
        QCOMPARE(run.list().text(1), "每年 每月 每天 8 时 30 分 0 方式，提醒为：开会");

        PopupAnswerer answerer;
        run.window->gtimerTimer();
        QVERIFY(answerer.messages.isEmpty());
        run.clock.set({kMonday0829.date, 8, 30});
        run.window->gtimerTimer();

        QTRY_COMPARE(answerer.messages, QStringList{"开会"});
        QCOMPARE(answerer.snoozeCaptions, QStringList{"5分后提醒"});
        const HandOff handOff = readHandOff(run.paths.handOff());
        QCOMPARE(handOff.msg, "开会");
        QCOMPARE(handOff.music, "/sounds/bell.wav");
        const TIniFile data(run.paths.dataFile());
        QCOMPARE(data.ReadBool("Item2", "ReMinded", false), true);
        QCOMPARE(data.ReadBool("Item1", "ReMinded", true), false);
    }

    void startCheckFiresAtFirstShowAndSnoozeComesBack() {
        TempDir dir;
        firstStart(dir);
        {
            TIniFile config(dir.file("Config.ini"));
            config.WriteInteger("Sys", "TimeLate", 7);
            config.WriteBool("Sys", "ShowMainForm", true);
            config.UpdateFile();
        }
        writeItems(dir, {item(18, 0, 2, "开机就提醒")});
        Run run(dir);
        PopupAnswerer answerer(true);
        run.window->show();

        QTRY_COMPARE(answerer.messages, QStringList{"开机就提醒"});
        QCOMPARE(answerer.snoozeCaptions, QStringList{"7分后提醒"});
        QCOMPARE(run.window->engine().snoozeQueue(),
                 (std::vector<Snooze>{snoozeIn(run.clock, 7, 1)}));
    }

    void snoozeRequestsQueueUpToTwenty() {
        TempDir dir;
        Run run(dir);
        run.window->show();
        run.command(kCmdSnooze, 3 | (12 << 16));
        QCOMPARE(run.window->engine().snoozeQueue(),
                 (std::vector<Snooze>{snoozeIn(run.clock, 12, 3)}));
        for (int i = 0; i < 19; ++i)
            run.command(kCmdSnooze, 1 | (5 << 16));
        run.command(kCmdSnooze, 2 | (9 << 16));
        QCOMPARE(run.window->engine().snoozeQueue().size(), size_t(20));
        QCOMPARE(run.window->engine().snoozeQueue().back(), snoozeIn(run.clock, 5, 1));
        run.command(99, 4 | (1 << 16));
        QCOMPARE(run.window->engine().snoozeQueue().size(), size_t(20));
    }

    // The tray tip names the next firing of all reminders (with the year
    // when it is not this year's), a line's tool tip the next firing of its
    // reminder below the whole line.
    void nextFiringsInTheTrayTipAndTheLineTips() {
        TempDir dir;
        ReminderItem meeting = item(9, 0, 0, "开会");
        meeting.year = 2024, meeting.month = 6, meeting.day = 10;
        ReminderItem past = item(8, 0, 0, "过去");
        past.year = 2020;
        ReminderItem century = item(23, 59, 0, "世纪末");
        century.year = 2099, century.month = 12, century.day = 31;
        writeItems(dir, {meeting, item(12, 0, 0, "午饭"), past, century});
        Run run(dir); // Monday 2024-06-03 08:29
        run.window->show();
        QCOMPARE(run.fake.tray.toolTip, "Kelvo\n农历四月廿七\n下一个提醒：6月3日 12:00 午饭");
        auto tip = [&run](int row) {
            return run.window->findChild<QListView*>("eventlist")
                ->model()
                ->index(row, 0)
                .data(Qt::ToolTipRole)
                .toString();
        };
        QCOMPARE(tip(0), run.list().text(0) + "\n下次提醒：2024年6月10日 09:00");
        QCOMPARE(tip(1), run.list().text(1) + "\n下次提醒：2024年6月3日 12:00");
        QCOMPARE(tip(2), run.list().text(2)); // never again
        QCOMPARE(tip(3), run.list().text(3) + "\n下次提醒：2099年12月31日 23:59");

        // Only the far one is left: the tray names its year.
        TempDir second;
        writeItems(second, {century});
        Run later(second);
        later.window->show();
        QCOMPARE(later.fake.tray.toolTip.section('\n', 2),
                 "下一个提醒：2099年12月31日 23:59 世纪末");
    }

    void selectionSurvivesReload() {
        TempDir dir;
        writeItems(dir, {item(1, 0, 0, "a"), item(2, 0, 0, "b"), item(3, 0, 0, "c")});
        Run run(dir);
        run.window->show();
        run.command(kCmdSelectLine, 1);
        QCOMPARE(run.list().currentRow(), 1);

        TIniFile data(run.paths.dataFile());
        deleteItem(data, 2);
        run.window->reloadList();
        QCOMPARE(run.list().count(), 2);
        QCOMPARE(run.list().currentRow(), 1);
        QVERIFY(run.list().currentText().endsWith("c"));

        deleteItem(data, 2);
        run.window->reloadList();
        QCOMPARE(run.list().currentRow(), -1);
        QVERIFY(!run.list().hasSelection());
        run.command(kCmdSelectLine, 5);
        QCOMPARE(run.list().currentRow(), -1);

        // A line that is current but no longer selected (the user cleared
        // the selection with Ctrl+Space) is not selected again by a reload.
        run.list().setCurrentRow(0);
        run.list().clearSelection();
        QCOMPARE(run.list().currentRow(), 0);
        run.window->reloadList();
        QVERIFY(!run.list().hasSelection());
        QCOMPARE(run.list().currentRow(), -1);
    }

    void withoutTrayTheWindowStaysReachable() {
        TempDir dir;
        firstStart(dir);
        Run run(dir, false);
        const int boxes = MessageBox::boxCount();
        MessageBox::setNextAnswer(MessageBox::Ok);
        run.window->show();
        QTRY_VERIFY_WITH_TIMEOUT(run.window->isMinimized(), 2000);
        QVERIFY(run.window->isVisible());
        QVERIFY(!run.window->hiddenInTray());
        QTRY_COMPARE(MessageBox::boxCount(), boxes + 1);
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Information);
        QVERIFY(MessageBox::lastBox().text.contains("从应用程序菜单再次打开 Kelvo"));
        QCOMPARE(run.config().ReadString("Sys", "ToldNoTray", ""), "1");

        run.window->showNormal();
        run.window->close();
        QVERIFY(run.window->isVisible());
        QVERIFY(run.window->isMinimized());
        QCOMPARE(MessageBox::boxCount(), boxes + 1);

        run.command(kCmdTrayToggle, 0);
        QVERIFY(run.window->isVisible());
        QVERIFY(!run.window->isMinimized());
    }

    // The user is told once, not at every start.
    void withoutTrayTheNextStartSaysNothing() {
        TempDir dir;
        firstStart(dir);
        {
            Run told(dir, false);
            MessageBox::setNextAnswer(MessageBox::Ok);
            told.window->show();
            QTRY_VERIFY_WITH_TIMEOUT(told.window->isMinimized(), 2000);
            QTRY_COMPARE(told.config().ReadString("Sys", "ToldNoTray", ""), "1");
        }
        Run run(dir, false);
        const int boxes = MessageBox::boxCount();
        run.window->show();
        QTRY_VERIFY_WITH_TIMEOUT(run.window->isMinimized(), 2000);
        QTest::qWait(50);
        QCOMPARE(MessageBox::boxCount(), boxes);
    }

    // A hand-off file that cannot be written: the popup comes with the
    // reminder all the same, no box stands in front of it, and the failure
    // is told in the tray, once in the run.
    void unwritableHandOffIsToldInTheTrayAndThePopupStillComes() {
        TempDir dir;
        writeItems(dir, {item(8, 30, 0, "照样提醒"), item(8, 31, 0, "又一个")});
        std::filesystem::create_directory(dir.file("TmpFile.tmp"));
        Run run(dir);
        run.window->show();

        PopupAnswerer answerer;
        const int boxes = MessageBox::boxCount();
        run.clock.set({kMonday0829.date, 8, 30});
        run.window->gtimerTimer();
        QTRY_COMPARE(answerer.messages, QStringList{"照样提醒"});
        run.clock.set({kMonday0829.date, 8, 31});
        run.window->gtimerTimer();
        QTRY_COMPARE(answerer.messages, (QStringList{"照样提醒", "又一个"}));
        QCOMPARE(MessageBox::boxCount(), boxes);
        QCOMPARE(run.fake.tray.balloons.size(), size_t(1));
        QVERIFY(run.fake.tray.balloons[0].text.contains(dir.file("TmpFile.tmp").c_str()));
        QVERIFY(run.fake.tray.balloons[0].text.contains("它是一个文件夹"));
        QVERIFY(TIniFile(run.paths.dataFile()).ReadBool("Item2", "ReMinded", false));
    }

    // Another program holds the data file's lock when a reminder falls due:
    // the popup comes at once, the mark waits in memory and is stored, once,
    // as soon as the lock is free; a lock held for seconds is told in the
    // tray, not in a box.
    void heldLockDelaysOnlyTheMark() {
        TempDir dir;
        writeItems(dir, {item(8, 30, 0, "锁着也提醒")});
        Run run(dir);
        run.window->show();
        auto held = std::make_unique<FileLock>(run.paths.dataFile(), std::chrono::milliseconds(0));
        QVERIFY(held->acquired());

        PopupAnswerer answerer;
        const int boxes = MessageBox::boxCount();
        QElapsedTimer shown;
        shown.start();
        run.clock.set({kMonday0829.date, 8, 30});
        run.window->gtimerTimer();
        QTRY_COMPARE(answerer.messages, QStringList{"锁着也提醒"});
        QVERIFY(shown.elapsed() < 2000);
        QVERIFY(!TIniFile(run.paths.dataFile()).ReadBool("Item1", "ReMinded", false));
        QTRY_COMPARE_WITH_TIMEOUT(run.fake.tray.balloons.size(), size_t(1), 10000);
        QVERIFY(run.fake.tray.balloons[0].text.contains("另一个程序正在修改"));
        QCOMPARE(MessageBox::boxCount(), boxes);
        held.reset();
        QTRY_VERIFY_WITH_TIMEOUT(
            TIniFile(run.paths.dataFile()).ReadBool("Item1", "ReMinded", false), 3000);
        QCOMPARE(answerer.messages.size(), 1);
        QCOMPARE(run.fake.tray.balloons.size(), size_t(1));
    }

private:
    static void setEarlierStarts(const TempDir& dir, int starts) {
        TIniFile config(dir.file("Config.ini"));
        config.WriteInteger("Sys", "OpenTimes", starts);
        config.UpdateFile();
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
