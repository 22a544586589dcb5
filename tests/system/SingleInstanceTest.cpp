#include "system/linux/SingleInstance.h"
#include "ipc/InstanceChannel.h"
#include "support/TempDir.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <future>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
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

// Sets (or, with nullptr, unsets) an environment variable for its lifetime.
class EnvSet {
public:
    EnvSet(const char* name, const char* value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)) {
        m_old = qgetenv(name);
        if (value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    ~EnvSet() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// Runs the event loop until the other thread's work is done.
template <class T> void waitServing(std::future<T>& work) {
    while (work.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QTest::qWait(10);
}

// Sends a request from another thread, as kelvoctl would, while the event
// loop serves it; nullopt when no program answered.
std::optional<std::string> askFromOutside(const QString& socket, const std::string& request) {
    auto answer = std::async(std::launch::async, [path = socket.toStdString(), request] {
        return channel::ask(path, request, 5000);
    });
    waitServing(answer);
    return answer.get();
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Whether a program answers "show" on the socket, asked without the
// channel's own check of who listens.
bool answersPlainly(const std::string& socket) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socket.data(), socket.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return false;
    (void)!::write(fd, "show\n", 5);
    pollfd p{fd, POLLIN, 0};
    char c;
    const bool answered = ::poll(&p, 1, 2000) == 1 && ::read(fd, &c, 1) == 1;
    ::close(fd);
    return answered;
}

// A local user other than this one, made for the test where the test runs
// as root; 0 where there can be none.
uid_t otherUser() {
    if (::getuid() != 0)
        return 0;
    const char* name = "kelvo-test-other";
    if (!::getpwnam(name))
        std::system("useradd --system --no-create-home --shell /usr/sbin/nologin "
                    "kelvo-test-other >/dev/null 2>&1");
    const passwd* user = ::getpwnam(name);
    return user ? user->pw_uid : 0;
}

// Runs `act` in a child process as the other user and returns its exit
// status. Only system calls and the channel's own run after the fork.
int asUser(uid_t uid, const std::function<int()>& act) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(uid) != 0 || ::setuid(uid) != 0)
            ::_exit(99);
        ::_exit(act());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

    TempDir m_runtime;

private slots:
    // The sockets of the tests go to a runtime directory of their own.
    void initTestCase() {
        ::chmod(m_runtime.path().c_str(), 0700);
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(m_runtime.path()));
    }

    // The socket lies in the runtime directory and only this user may use
    // it, whatever the umask.
    void socketIsPrivate() {
        TempDir dir;
        const QString path = QString::fromStdString(dir.path());
        const mode_t old = ::umask(0);
        SingleInstance first(path);
        const auto start = first.start();
        ::umask(old);
        QCOMPARE(start, SingleInstance::Start::First);
        const QString socket = SingleInstance::socketName(path);
        QVERIFY(socket.startsWith(QString::fromStdString(m_runtime.path() + "/kelvo-")));
        QCOMPARE(modeOf(socket) & 0777, mode_t(0600));
        QCOMPARE(modeOf(QString::fromStdString(dir.file("Kelvo.lock"))) & 0777, mode_t(0600));
    }

    // kelvoctl's delete reaches the handler and gets its answer back.
    void deleteRequestIsAnsweredByTheHandler() {
        TempDir dir;
        const QString path = QString::fromStdString(dir.path());
        SingleInstance first(path);
        QCOMPARE(first.start(), SingleInstance::Start::First);
        const QString socket = SingleInstance::socketName(path);
        std::vector<int32_t> asked;
        first.setDeleteHandler([&asked](const std::vector<int32_t>& items) {
            asked = items;
            return items.front() == 9 ? std::string("there is no reminder 9") : std::string();
        });
        QCOMPARE(askFromOutside(socket, channel::deleteRequest({3, 1})), std::string("ok"));
        QCOMPARE(asked, (std::vector<int32_t>{3, 1}));
        QCOMPARE(askFromOutside(socket, "delete 9"), std::string("error there is no reminder 9"));
        QCOMPARE(askFromOutside(socket, "delete x"), std::string("error unknown request"));
        QCOMPARE(askFromOutside(socket, "format c:"), std::string("error unknown request"));
        QCOMPARE(asked, (std::vector<int32_t>{9}));
    }

    void deleteRequestsParseOnlyReminderNumbers() {
        QCOMPARE(channel::parseDeleteRequest("delete 3 1"), (std::vector<int32_t>{3, 1}));
        for (const char* bad : {"delete", "delete ", "delete 0", "delete -1", "delete 1  2",
                                "delete 1x", "deletes 1", "delete 99999999999", "show"})
            QVERIFY2(!channel::parseDeleteRequest(bad), bad);
    }

    // Without a runtime directory the program makes one of its own, and one
    // that others may enter is not used: the start warns and runs.
    void runtimeDirectoryFallsBackToAPrivateOneOrNone() {
        TempDir tmp, dir;
        const EnvSet runtime("XDG_RUNTIME_DIR", nullptr), tmpdir("TMPDIR", tmp.path().c_str());
        const QString path = QString::fromStdString(dir.path());
        const QString own = QString::fromStdString(tmp.file("kelvo-" + std::to_string(::getuid())));
        const QString made = SingleInstance::socketName(path);
        const mode_t ownMode = modeOf(own);
        ::chmod(QFile::encodeName(own).constData(), 0755);
        const QString open = SingleInstance::socketName(path);
        SingleInstance first(path);
        const auto start = first.start();
        QVERIFY(made.startsWith(own + "/"));
        QCOMPARE(ownMode & 07777, mode_t(0700));
        QVERIFY(open.isEmpty());
        QCOMPARE(start, SingleInstance::Start::First);
    }

    // Another local user can neither talk to the program, nor take the
    // socket's place, nor keep the owner's program from starting.
    void otherUserCannotConnectSquatOrBlock() {
        const uid_t other = otherUser();
        if (other == 0)
            QSKIP("needs root to make another local user");
        TempDir dir;
        const QString path = QString::fromStdString(dir.path());
        SingleInstance first(path);
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        QCOMPARE(first.start(), SingleInstance::Start::First);
        const std::string socket = SingleInstance::socketName(path).toStdString();
        // Even with the way to the socket opened, its connection is not heard.
        ::chmod(m_runtime.path().c_str(), 0755);
        ::chmod(socket.c_str(), 0666);
        auto tried = std::async(std::launch::async, [&] {
            return asUser(other, [&] {
                return channel::ask(socket, "show", 2000) ? 1 : answersPlainly(socket) ? 2 : 0;
            });
        });
        waitServing(tried);
        ::chmod(m_runtime.path().c_str(), 0700);
        QCOMPARE(tried.get(), 0);
        QTest::qWait(200);
        QCOMPARE(shown.count(), 0);

        // A directory the other user made where ours would be is not used.
        TempDir tmp, data;
        ::chmod(tmp.path().c_str(), 01777);
        const std::string squat = tmp.file("kelvo-" + std::to_string(::getuid()));
        QCOMPARE(asUser(other, [&] { return ::mkdir(squat.c_str(), 0700); }), 0);
        const QString dataPath = QString::fromStdString(data.path());
        {
            const EnvSet runtime("XDG_RUNTIME_DIR", nullptr), tmpdir("TMPDIR", tmp.path().c_str());
            QVERIFY(SingleInstance::socketName(dataPath).isEmpty());
            SingleInstance squatted(dataPath);
            QCOMPARE(squatted.start(), SingleInstance::Start::First);
        }

        // A lock file the other user can open, held by the other user: the
        // start waits for an answer in vain, then runs.
        data.write("Kelvo.lock", "");
        ::chmod(data.file("Kelvo.lock").c_str(), 0644);
        int ready[2];
        QVERIFY(::pipe(ready) == 0);
        const pid_t holder = ::fork();
        if (holder == 0) {
            if (::setgid(other) != 0 || ::setuid(other) != 0)
                ::_exit(99);
            const int fd = ::open(data.file("Kelvo.lock").c_str(), O_RDONLY);
            const char answer = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            (void)!::write(ready[1], &answer, 1);
            for (;;)
                ::pause();
        }
        char answer = 0;
        QVERIFY(::read(ready[0], &answer, 1) == 1);
        ::close(ready[0]);
        ::close(ready[1]);
        SingleInstance blocked(dataPath);
        const auto start = blocked.start();
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
        QCOMPARE(answer, 'y');
        QCOMPARE(start, SingleInstance::Start::First);
    }
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

    // A start from a shell without the session's runtime directory (and
    // with another TMPDIR) names another socket itself; it finds the running
    // program by the path written in the directory's lock file, and so does
    // kelvoctl.
    void startFromAnotherEnvironmentReachesTheFirst() {
        TempDir dir, shellTmp;
        const QString path = QString::fromStdString(dir.path());
        SingleInstance first(path);
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        QCOMPARE(first.start(), SingleInstance::Start::First);
        const std::string socket = SingleInstance::socketName(path).toStdString();
        QCOMPARE(dir.read("Kelvo.lock"), socket + "\n");
        const EnvSet runtime("XDG_RUNTIME_DIR", nullptr), tmpdir("TMPDIR", shellTmp.path().c_str());
        QVERIFY(SingleInstance::socketName(path).toStdString() != socket);
        QCOMPARE(channel::socketsOf(dir.path()).front(), socket);
        SingleInstance second(path);
        QCOMPARE(second.start(), SingleInstance::Start::AlreadyRunning);
        QVERIFY(shown.wait(5000));
        first.setDeleteHandler([](const std::vector<int32_t>&) { return std::string(); });
        QCOMPARE(askFromOutside(QString::fromStdString(channel::socketsOf(dir.path()).front()),
                                channel::deleteRequest({1})),
                 std::string("ok"));
    }

    // A record being written (no line end yet), or one of another directory
    // (a copied data folder), is passed over for the socket this environment
    // names; one left by a dead program is tried first, in vain.
    void aPartStaleOrForeignRecordFallsBackToTheOwnSocket() {
        TempDir dir, other;
        const std::string own =
            SingleInstance::socketName(QString::fromStdString(dir.path())).toStdString();
        const std::string name = std::filesystem::path(own).filename().string();
        const std::string foreign =
            SingleInstance::socketName(QString::fromStdString(other.path())).toStdString();
        dir.write("Kelvo.lock", "/run/user/dead/" + name);
        QCOMPARE(channel::socketsOf(dir.path()), std::vector<std::string>{own});
        dir.write("Kelvo.lock", foreign + "\n");
        QCOMPARE(channel::socketsOf(dir.path()), std::vector<std::string>{own});
        dir.write("Kelvo.lock", own + "\n");
        QCOMPARE(channel::socketsOf(dir.path()), std::vector<std::string>{own});
        dir.write("Kelvo.lock", "/run/user/dead/" + name + "\n");
        QCOMPARE(channel::socketsOf(dir.path()),
                 (std::vector<std::string>{"/run/user/dead/" + name, own}));
        SingleInstance first(QString::fromStdString(dir.path()));
        QCOMPARE(first.start(), SingleInstance::Start::First);
        QCOMPARE(dir.read("Kelvo.lock"), own + "\n");
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
        QVERIFY(first.lockFile().startsWith(QString::fromStdString(m_runtime.path() + "/")));
        QVERIFY(!second.tryLock());
    }

    // With nowhere to put a lock file the program still starts.
    void nowhereToLockStillStarts() {
        TempDir dir;
        const std::string noTmp = dir.path() + "/no-temporary-directory";
        const EnvSet runtime("XDG_RUNTIME_DIR", nullptr), tmpdir("TMPDIR", noTmp.c_str());
        const QString path = QString::fromStdString(dir.path() + "/no-data-directory");
        DirectoryLock first(path), second(path);
        const bool firstStarts = first.tryLock(), secondStarts = second.tryLock();
        QVERIFY(firstStarts);
        QVERIFY(secondStarts);
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
