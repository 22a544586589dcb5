// The running program and other programs on one data directory: a change
// that another program stores is listed after the watch's notice, keeping
// the selection; the program's own change is not loaded a second time; a
// data file that cannot be read is reported and left as it is; a sync
// account that kelvoctl set up meanwhile is kept and synced with.
#include "support/ProgramRun.h"
#include "system/linux/QtFileWatch.h"
#include "widgets/MessageBox.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

using namespace kelvo;
using namespace kelvo::test;

namespace {

// Another program's change: a whole new file renamed over the data file.
void replaceFromOutside(const TempDir& dir, const std::vector<ReminderItem>& items) {
    TempDir other;
    writeItems(other, items);
    std::filesystem::copy_file(other.file("DataFile.dat"), dir.file("DataFile.new"));
    std::filesystem::rename(dir.file("DataFile.new"), dir.file("DataFile.dat"));
}

} // namespace

class OutsideChangeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QApplication::setApplicationName("Kelvo");
        // The account's syncs ask no secret store (and no password in a box).
        qputenv("KELVO_SYNC_PASSWORD", "geheim");
    }

    void anOutsideChangeIsListedKeepingTheSelection() {
        TempDir dir;
        firstStart(dir);
        writeItems(dir, {item(8, 0, 0, "one"), item(9, 0, 0, "two")});
        Run run(dir);
        run.window->show();
        QCOMPARE(run.fake.dataFileWatch.file, QString::fromStdString(dir.file("DataFile.dat")));
        run.list().setCurrentRow(1);
        replaceFromOutside(dir,
                           {item(8, 0, 0, "one"), item(9, 0, 0, "two"), item(10, 0, 0, "three")});
        run.fake.dataFileWatch.notice();
        QTRY_COMPARE_WITH_TIMEOUT(run.list().count(), 3, 5000);
        QVERIFY(run.list().text(2).endsWith("three"));
        QCOMPARE(run.list().currentRow(), 1);
    }

    void theProgramsOwnChangeIsNotLoadedAgain() {
        TempDir dir;
        firstStart(dir);
        writeItems(dir, {item(8, 0, 0, "one"), item(9, 0, 0, "two")});
        Run run(dir);
        run.window->show();
        QSignalSpy resets(run.window->findChild<QListView*>("eventlist")->model(),
                          &QAbstractItemModel::modelReset);
        run.list().setCurrentRow(0);
        MessageBox::setNextAnswer(MessageBox::Yes);
        run.window->FlatSpeedButton3Click(); // delete, then the list is reloaded
        QCOMPARE(run.list().count(), 1);
        const int afterDelete = resets.count();
        auto* check = run.window->findChild<QTimer*>("dataChangeTimer");
        QVERIFY(check != nullptr);
        QSignalSpy checked(check, &QTimer::timeout);
        run.fake.dataFileWatch.notice(); // the watch tells of the program's own write
        QTRY_COMPARE_WITH_TIMEOUT(checked.count(), 1, 5000); // the file was looked at
        QCOMPARE(resets.count(), afterDelete);
    }

    // The real watch on the real event loop: the replacement is seen without
    // any notice from the test.
    void theSystemWatchSeesAReplacement() {
        TempDir dir;
        firstStart(dir);
        writeItems(dir, {item(8, 0, 0, "one")});
        Run run(dir);
        run.window->show();
        QtFileWatch watch;
        QObject::connect(&watch, &FileWatch::changed, [&run] { run.fake.dataFileWatch.notice(); });
        watch.watch(run.fake.dataFileWatch.file);
        replaceFromOutside(dir, {item(8, 0, 0, "one"), item(9, 0, 0, "two")});
        QTRY_COMPARE_WITH_TIMEOUT(run.list().count(), 2, 5000);
    }

    // The settings the program rewrites every minute keep the account that
    // `kelvoctl sync --setup` added, and the program syncs with it from the
    // next minute on (here: a server that is not there, on 127.0.0.1).
    void anAccountSetMeanwhileIsKeptAndSyncedWith() {
        TempDir dir;
        firstStart(dir);
        writeItems(dir, {item(8, 0, 0, "one")});
        Run run(dir);
        run.window->show();
        const std::string config = dir.read("Config.ini");
        dir.write("Config.new", config + "[Sync]\r\nUrl=http://127.0.0.1:9/\r\nUser=alice\r\n"
                                         "Calendar=/alice/kelvo/\r\n");
        std::filesystem::rename(dir.file("Config.new"), dir.file("Config.ini"));
        run.clock.advanceMinutes(1);
        run.window->gtimerTimer(); // stores the minute checked
        QVERIFY(dir.read("Config.ini").find("Calendar=/alice/kelvo/") != std::string::npos);
        const auto toldOfSync = [&run] {
            const auto& told = run.fake.tray.balloons;
            return std::any_of(told.begin(), told.end(), [](const auto& balloon) {
                return balloon.text.startsWith(QStringLiteral("同步没有完成"));
            });
        };
        QTRY_VERIFY_WITH_TIMEOUT(toldOfSync(), 10000);
    }

    void anUnreadableDataFileIsReportedAndLeftAsItIs() {
        TempDir dir;
        firstStart(dir);
        std::filesystem::remove(dir.file("DataFile.dat"));
        QCOMPARE(::mkfifo(dir.file("DataFile.dat").c_str(), 0644), 0);
        const int boxes = MessageBox::boxCount();
        Run run(dir);
        MessageBox::setNextAnswer(MessageBox::Ok);
        run.window->show();
        QCOMPARE(MessageBox::boxCount(), boxes + 1);
        QVERIFY(
            MessageBox::lastBox().text.contains(QString::fromStdString(dir.file("DataFile.dat"))));
        QVERIFY(MessageBox::lastBox().text.contains(QStringLiteral("命名管道")));
        QCOMPARE(run.list().count(), 0);
        QCOMPARE(std::filesystem::status(dir.file("DataFile.dat")).type(),
                 std::filesystem::file_type::fifo);
    }
};

QTEST_MAIN(OutsideChangeTest)
#include "OutsideChangeTest.moc"
