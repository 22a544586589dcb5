#include "system/linux/SingleInstance.h"
#include "support/TempDir.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelvo;
using kelvo::test::TempDir;

namespace {

// A child process that takes the directory's lock and waits to be killed.
// Only system calls run after the fork.
pid_t childHoldingLock(const QString& dir) {
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    DirectoryLock lock(dir); // bound before the fork: the child makes no Qt calls
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        const char answer = lock.tryLock() ? 'y' : 'n';
        (void)!::write(ready[1], &answer, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char answer = 0;
    const bool locked = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
    if (!locked && pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }
    return pid;
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondOnSameDirectoryAsksTheFirstToShow() {
        TempDir dir;
        SingleInstance first(QString::fromStdString(dir.path()));
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        QCOMPARE(first.start(), SingleInstance::Start::First);

        // Another spelling of the same directory is the same directory.
        SingleInstance second(QString::fromStdString(dir.path() + "/."));
        QCOMPARE(second.start(), SingleInstance::Start::AlreadyRunning);
        QVERIFY(shown.wait(5000));
        QCOMPARE(shown.count(), 1);
    }

    // A program that died leaves its socket file behind; the next one still
    // listens and hears later starts.
    void staleSocketFileIsReplaced() {
        TempDir dir;
        const QString path = QString::fromStdString(dir.path());
        QFile stale(SingleInstance::socketName(path));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        SingleInstance first(path);
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        QCOMPARE(first.start(), SingleInstance::Start::First);
        SingleInstance second(path);
        QCOMPARE(second.start(), SingleInstance::Start::AlreadyRunning);
        QVERIFY(shown.wait(5000));
    }

    void otherDirectoryStartsItsOwn() {
        TempDir one, two;
        SingleInstance first(QString::fromStdString(one.path()));
        SingleInstance other(QString::fromStdString(two.path()));
        QCOMPARE(first.start(), SingleInstance::Start::First);
        QCOMPARE(other.start(), SingleInstance::Start::First);
        QVERIFY(SingleInstance::socketName(QString::fromStdString(one.path())) !=
                SingleInstance::socketName(QString::fromStdString(two.path())));
    }

    void lockGoesWithItsOwner() {
        TempDir dir;
        const QString path = QString::fromStdString(dir.path());
        {
            SingleInstance first(path);
            QCOMPARE(first.start(), SingleInstance::Start::First);
        }
        SingleInstance next(path);
        QCOMPARE(next.start(), SingleInstance::Start::First);
    }

    // A crash (here SIGKILL) leaves no stale lock behind.
    void lockOfKilledProcessIsFree() {
        TempDir dir;
        const QString path = QString::fromStdString(dir.path());
        const pid_t child = childHoldingLock(path);
        QVERIFY(child > 0);
        DirectoryLock mine(path);
        QVERIFY(!mine.tryLock());
        ::kill(child, SIGKILL);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        QVERIFY(mine.tryLock());
    }

    // A data directory that cannot hold the lock file is still locked, by a
    // file in the temporary directory named after it.
    void readOnlyDirectoryIsLockedElsewhere() {
        TempDir dir;
        const QString path = QString::fromStdString(dir.path() + "/missing-and-uncreatable");
        DirectoryLock first(path), second(path);
        QVERIFY(first.tryLock());
        QVERIFY(first.lockFile().startsWith(QDir::tempPath()));
        QVERIFY(!second.tryLock());
    }

    // With nowhere to put a lock file the program still starts.
    void nowhereToLockStillStarts() {
        TempDir dir;
        const QByteArray tmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QByteArray::fromStdString(dir.path() + "/no-temporary-directory"));
        const QString path = QString::fromStdString(dir.path() + "/no-data-directory");
        DirectoryLock first(path), second(path);
        const bool firstStarts = first.tryLock(), secondStarts = second.tryLock();
        qputenv("TMPDIR", tmp);
        QVERIFY(firstStarts);
        QVERIFY(secondStarts);
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
