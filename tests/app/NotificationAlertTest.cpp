#include "alerts/AlertSound.h"
#include "app/Unit1.h"
#include "reminders/ReminderEngine.h"
#include "storage/AckKeys.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "sync/SyncAccount.h"

#include <QApplication>
#include <QTest>

using namespace kelvo;
using namespace kelvo::test;

namespace {

using Snooze = ReminderEngine::SnoozeEntry;
using Action = Notifier::Action;

// Key and caption of each action, in order.
QStringList pairs(const QList<Action>& actions) {
    QStringList result;
    for (const Action& a : actions)
        result << a.key << a.label;
    return result;
}

const QStringList kPlainActions{"snooze:5",  "5分后提醒",  "snooze:10", "10分后提醒",
                                "snooze:60", "60分后提醒", "close",     "关闭"};

// A started program whose reminders come as notifications (the user chose
// them), with the reminders `messages` at 8:30, 8:31, …, each with the sound
// file bell.wav when `withSound`, and a sync account when `withAccount` (on a
// port of 127.0.0.1 where no server listens).
struct NotifyRun {
    explicit NotifyRun(const std::vector<std::string>& messages, bool withSound = false,
                       bool withAccount = false) {
        dir.write("bell.wav", "RIFF");
        std::vector<ReminderItem> items;
        for (const std::string& message : messages) {
            items.push_back(item(8, 30 + int(items.size()), 0, message));
            if (withSound)
                items.back().music = dir.file("bell.wav");
        }
        writeItems(dir, items);
        {
            TIniFile config(dir.file("Config.ini"));
            settings::NotifyAlerts.write(config, true);
            settings::RepeatSound.write(config, withSound);
            if (withAccount)
                writeSyncSettings(config, {"http://127.0.0.1:9/", "alice", "/alice/kelvo/", ""});
            config.UpdateFile();
        }
        run.window->show();
    }
    // Fires the reminder of 8:`minute`; the service has given its number when
    // this returns.
    const FakeNotifier::Shown& fire(int minute = 30) {
        const size_t before = notifier().shown.size();
        run.clock.set({kMonday0829.date, 8, minute});
        run.window->gtimerTimer();
        QCoreApplication::processEvents();
        return notifier().shown.at(before);
    }
    FakeNotifier& notifier() { return run.fake.notifier; }
    std::string stored(int32_t k, const char* key) const {
        return TIniFile(run.paths.dataFile()).ReadString(itemSection(k), key, "(none)");
    }
    // Another computer's dismissal of item k arrives by sync.
    void dismissedElsewhere(int32_t k, int64_t at, int64_t snoozedUntil = 0) {
        TIniFile data(run.paths.dataFile());
        data.changeLocked([&] { writeAcknowledgement(data, itemSection(k), at, snoozedUntil); });
        run.window->reloadList();
    }
    bool popupShown() const {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TForm4*>(w))
                return true;
        return false;
    }

    TempDir dir;
    Run run{dir};
};

} // namespace

class NotificationAlertTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QApplication::setApplicationName("Kelvo");
        // The account's syncs ask no secret store (and no password in a box).
        qputenv("KELVO_SYNC_PASSWORD", "geheim");
    }
    void init() { AlertSound::forgetToldFailure(); }

    // The reminder as a notification instead of the popup: its message, the
    // remind-later buttons, 关闭, and the beep as the popup would sound it.
    void aChosenNotificationTakesThePopupsPlace() {
        NotifyRun n({"开会"});
        const FakeNotifier::Shown& shown = n.fire();
        QCOMPARE(shown.title, "提醒");
        QCOMPARE(shown.body, "开会");
        QCOMPARE(pairs(shown.actions), kPlainActions);
        QVERIFY(!n.popupShown());
        QCOMPARE(n.run.fake.sound.beeps, 1);
        QVERIFY(readHandOff(n.run.paths.handOff()).msg == "开会");
        QVERIFY(TIniFile(n.run.paths.dataFile()).ReadBool("Item1", "ReMinded", false));
    }

    // A remind-later button queues the snooze in the engine and ends the alert.
    void aSnoozeActionReachesTheEngine() {
        NotifyRun n({"开会"});
        const uint id = n.fire().id;
        n.notifier().act(id, "snooze:10");
        QCOMPARE(n.run.window->engine().snoozeQueue(),
                 (std::vector<Snooze>{Snooze{n.run.clock.read().utcSeconds + 600, 1}}));
        n.notifier().act(id, "snooze:60"); // the alert is over: nothing more is queued
        QCOMPARE(n.run.window->engine().snoozeQueue().size(), size_t(1));
    }

    // A repeating sound stops when the notification is closed in any way.
    void closingStopsTheRepeatingSound() {
        NotifyRun n({"开会", "午饭"}, true);
        uint id = n.fire(30).id;
        QCOMPARE(n.run.fake.sound.repeated, QList<bool>{true});
        n.notifier().act(id, "close");
        QCOMPARE(n.run.fake.sound.stopped, 1);
        id = n.fire(31).id;
        QCOMPARE(n.run.fake.sound.played.size(), 2);
        n.notifier().dismiss(id);
        QCOMPARE(n.run.fake.sound.stopped, 2);
        QVERIFY(n.run.window->engine().snoozeQueue().empty());
    }

    // A command is offered with what it runs, and runs only when asked for.
    void aCommandIsOfferedAndRunsByHand() {
        NotifyRun n({"备份[cmd:backup --all]"});
        const FakeNotifier::Shown& shown = n.fire();
        QCOMPARE(shown.body, "备份[cmd:backup --all]\n将执行命令：backup --all");
        QCOMPARE(shown.actions.back().key, "command");
        QCOMPARE(shown.actions.back().label, "执行设定命令");
        QVERIFY(n.run.fake.shell.commandLines.isEmpty());
        n.notifier().act(shown.id, "command");
        QCOMPARE(n.run.fake.shell.commandLines, QStringList{"backup --all"});
        QCOMPARE(n.run.fake.sound.stopped, 0); // still there: the user may snooze it yet
    }

    // Text that would hide or reorder what the notification shows is shown
    // plainly, and markup in it stays text.
    void theBodyShowsHiddenTextPlainly() {
        NotifyRun n({"<b>x</b>\u202E" + std::string(8, ' ') + "y"});
        QCOMPARE(n.fire().body, "&lt;b&gt;x&lt;/b&gt;&lt;U+202E&gt;␣×8y");
    }

    // A service that cannot show it, or that goes away while it is up, brings
    // the popup instead: the reminder is not lost, and its sound stops with
    // the notification.
    void aNotificationThatIsNotThereBringsThePopup() {
        NotifyRun n({"开会", "午饭", "晚饭"}, true);
        PopupAnswerer answerer;
        n.notifier().refuses = true;
        n.fire(30);
        QTRY_COMPARE(answerer.messages, QStringList{"开会"});
        n.notifier().refuses = false;
        QTRY_COMPARE(n.run.fake.sound.stopped, 2); // the notification's and the popup's
        n.fire(31);
        n.notifier().vanish();
        QTRY_COMPARE(answerer.messages, (QStringList{"开会", "午饭"}));
        QTRY_COMPARE(n.run.fake.sound.stopped, 4);
        n.notifier().act(n.fire(32).id, "close");
        n.notifier().vanish();
        QTest::qWait(50);
        QCOMPARE(answerer.messages.size(), 2); // it was over before
    }

    // With a sync account the user's close is stored as the reminder's
    // dismissal (without one nothing is); one that arrives from another
    // computer takes the notification down without being stored as this
    // computer's, and its snooze waits here too.
    void dismissalsAreStoredAndFollowedWithASyncAccount() {
        NotifyRun plain({"开会"});
        plain.notifier().dismiss(plain.fire().id);
        QCOMPARE(plain.stored(1, "Acked"), "(none)");

        NotifyRun n({"开会", "午饭"}, false, true);
        n.notifier().dismiss(n.fire(30).id);
        const int64_t at = n.run.clock.read().utcSeconds;
        QCOMPARE(n.stored(1, "Acked"), utcText(at));

        const uint lunch = n.fire(31).id;
        const int64_t fired = n.run.clock.read().utcSeconds;
        n.run.clock.set({kMonday0829.date, 8, 31, 30});
        n.dismissedElsewhere(2, fired, fired + 600);
        QCOMPARE(n.notifier().closedByProgram, std::vector<uint>{lunch});
        QCOMPARE(n.stored(2, "Acked"), utcText(fired)); // not this computer's own
        QCOMPARE(n.run.window->engine().snoozeQueue(),
                 (std::vector<Snooze>{Snooze{fired + 600, 2}}));
        n.dismissedElsewhere(1, at); // as before: nothing more happens
        QCOMPARE(n.notifier().closedByProgram.size(), size_t(1));
    }

    // Without a notification service the popup comes, as it always did.
    void withoutAServiceThePopupComes() {
        NotifyRun n({"开会"});
        n.notifier().available = false;
        PopupAnswerer answerer;
        n.run.clock.set({kMonday0829.date, 8, 30});
        n.run.window->gtimerTimer();
        QTRY_COMPARE(answerer.messages, QStringList{"开会"});
        QVERIFY(n.notifier().shown.empty());
    }
};

QTEST_MAIN(NotificationAlertTest)
#include "NotificationAlertTest.moc"
