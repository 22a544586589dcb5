#include "support/ProgramRun.h"
#include "widgets/MessageBox.h"

#include <QElapsedTimer>
#include <QTest>

#include <string>

using namespace kelvo;
using namespace kelvo::test;

namespace {

// A data file that claims far more reminders than it holds, with broken
// lines, a NUL byte, bytes that are no valid text and a 10 MB value.
std::string damagedDataFile() {
    std::string f = "\xEF\xBB\xBF[Main]\r\nItems=2147483647\r\n";
    f += "[Item1]\r\nYear=0\r\nMonth=0\r\nDay=0\r\nHour=99\r\nMin=-1\r\nRdBefore=1000\r\n";
    f += "MindMethod=7\r\nMessage=bad\xFF\x81 text\r\n";
    f += "[Item2\r\nline without equals\r\nMessage=";
    f += std::string(10 * 1024 * 1024, 'x');
    f += "\r\n[Item3]\r\nDay=40000\r\nMessage=nul";
    f += '\0';
    f += "here\r\n";
    return f;
}

} // namespace

class HostileStartTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }

    // The program starts on damaged files, lists what can be listed without
    // allocating per claimed reminder, runs its checks, and leaves the
    // reminders' file as it was apart from its start counter.
    void startsOnDamagedFilesAndStaysResponsive() {
        TempDir dir;
        dir.write("DataFile.dat", damagedDataFile());
        dir.write("Config.ini", "[Sys\r\nTimeLate=2147483648\r\nFormLeft=-99999999999\r\n"
                                "ShowMainForm=yes\r\n\xFF\xFE garbage\r\n");
        dir.write("TmpFile.tmp", std::string("[Remind]\r\nMsg=") + '\0' + "\r\n");
        dir.write("FastFinish.ini", std::string("\xEF\xBB\xBFone\rtwo\n\n") + '\0');

        QElapsedTimer timer;
        timer.start();
        Run run(dir);
        run.window->show();
        QVERIFY(run.list().count() >= 1);
        QVERIFY(run.list().count() <= 16);
        QVERIFY(run.list().text(0).startsWith(QString("每年 每月 每天 99 时 -1 分 7 方式")));

        // A day of minute checks over the damaged values fires nothing odd
        // and does not hang.
        PopupAnswerer answerer;
        for (int minute = 0; minute < 24 * 60; minute += 7) {
            run.clock.set(addMinutes({kMonday0829.date, 0, 0}, minute));
            run.window->gtimerTimer();
        }
        QVERIFY(timer.elapsed() < 60000);

        const std::string after = dir.read("DataFile.dat");
        QVERIFY(after.find(std::string(10 * 1024 * 1024, 'x')) != std::string::npos);
        QVERIFY(after.find("Items=2147483647") != std::string::npos);
    }
};

QTEST_MAIN(HostileStartTest)
#include "HostileStartTest.moc"
