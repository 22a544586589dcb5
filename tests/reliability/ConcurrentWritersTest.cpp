// Several programs change one data file at once: 20 kelvoctl imports started
// together, imports beside a program that marks its reminders reminded as it
// fires them, kelvoctl adds beside the program's marks and the add dialog's
// stores, and a writer whose lock file is removed under it. Every change is
// kept, and no mark lands on another item.
#include "storage/DataFile.h"
#include "storage/FileLock.h"
#include "storage/IniFile.h"
#include "support/MarkShown.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kelvo::test {
namespace {

constexpr int kWriters = 20;

class ConcurrentWriters : public ::testing::Test {
protected:
    // Starts a program, its output thrown away.
    static pid_t start(const std::vector<std::string>& args) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }
    // Starts `kelvoctl --dir DIR import FILE`.
    pid_t startImport(const std::string& file) {
        return start({KELVOCTL_PATH, "--dir", dir.path(), "import", file});
    }
    // A data file of `count` reminders "own 1" … "own <count>".
    void createOwn(int count) {
        TIniFile data(dir.file("DataFile.dat"));
        createDataFile(data);
        for (int k = 1; k <= count; ++k) {
            ReminderItem r;
            r.message = "own " + std::to_string(k);
            appendItem(data, r, false);
        }
    }
    static void expectSucceeded(pid_t pid) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    // An exchange file of one reminder named after n.
    std::string exchange(int n) {
        const std::string name = "in" + std::to_string(n) + ".txt";
        io.write(name, "[Main]\r\nItems=1\r\n[Item1]\r\nHour=7\r\nMessage=imported " +
                           std::to_string(n) + "\r\n");
        return io.file(name);
    }
    // The messages of items 1 … N, each once.
    std::multiset<std::string> messages() const {
        const TIniFile data(dir.file("DataFile.dat"));
        std::multiset<std::string> all;
        for (int32_t k = 1; k <= itemCount(data); ++k)
            all.insert(data.ReadString(itemSection(k), "Message", ""));
        return all;
    }

    TempDir dir, io;
};

TEST_F(ConcurrentWriters, TwentyImportsStartedAtOnceKeepEveryReminder) {
    for (int n = 0; n < kWriters; ++n)
        exchange(n);
    for (int round = 1; round <= 20; ++round) {
        std::vector<pid_t> pids;
        for (int n = 0; n < kWriters; ++n)
            pids.push_back(startImport(io.file("in" + std::to_string(n) + ".txt")));
        for (pid_t pid : pids)
            expectSucceeded(pid);
        const std::multiset<std::string> all = messages();
        ASSERT_EQ(all.size(), static_cast<size_t>(round * kWriters)) << "round " << round;
        for (int n = 0; n < kWriters; ++n)
            ASSERT_EQ(all.count("imported " + std::to_string(n)), static_cast<size_t>(round));
    }
}

// The firing's mark, as the program stores it through its long-lived object,
// while kelvoctl imports run beside it.
TEST_F(ConcurrentWriters, MarksBesideImportsLoseNothingAndHitTheirOwnItem) {
    constexpr int kOwn = 40;
    createOwn(kOwn);
    std::vector<pid_t> pids;
    for (int n = 0; n < kWriters; ++n)
        pids.push_back(startImport(exchange(n)));
    TIniFile program(dir.file("DataFile.dat"));
    for (int k = 1; k <= kOwn; ++k) {
        markShown(program, k);
        program.releaseContent();
        if (k % 2 == 0 && k / 2 <= kWriters)
            pids.push_back(startImport(exchange(100 + k)));
    }
    for (pid_t pid : pids)
        expectSucceeded(pid);
    const TIniFile data(dir.file("DataFile.dat"));
    ASSERT_EQ(itemCount(data), kOwn + 2 * kWriters);
    for (int32_t k = 1; k <= itemCount(data); ++k) {
        const std::string message = data.ReadString(itemSection(k), "Message", "");
        const bool own = k <= kOwn;
        EXPECT_EQ(message.starts_with("own "), own) << k;
        EXPECT_EQ(data.ReadBool(itemSection(k), "Reminded", false), own) << k << ' ' << message;
    }
    EXPECT_EQ(messages().size(), static_cast<size_t>(kOwn + 2 * kWriters));
}

// kelvoctl adds one reminder after another while the program marks its
// reminders and its add dialog stores new ones.
TEST_F(ConcurrentWriters, AddsInALoopBesideMarksAndDialogAddsLoseNothing) {
    constexpr int kOwn = 20, kAdds = 30;
    createOwn(kOwn);
    const pid_t loop =
        start({"/bin/sh", "-c",
               "for i in $(seq " + std::to_string(kAdds) + "); do '" + std::string(KELVOCTL_PATH) +
                   "' --dir '" + dir.path() + "' add '*-*-* 07:00' \"ctl $i\" || exit 1; done"});
    TIniFile program(dir.file("DataFile.dat"));
    for (int k = 1; k <= kOwn; ++k) {
        markShown(program, k);
        program.releaseContent();
        TIniFile dialog(dir.file("DataFile.dat"));
        ReminderItem r;
        r.message = "dialog " + std::to_string(k);
        appendItem(dialog, r, false);
        ::usleep(40'000); // about one add of the loop
    }
    expectSucceeded(loop);
    const TIniFile data(dir.file("DataFile.dat"));
    ASSERT_EQ(itemCount(data), 2 * kOwn + kAdds);
    int lastCtl = 0;
    for (int32_t k = 1; k <= itemCount(data); ++k) {
        const std::string message = data.ReadString(itemSection(k), "Message", "");
        EXPECT_EQ(message.starts_with("own "), k <= kOwn) << k;
        EXPECT_EQ(data.ReadBool(itemSection(k), "Reminded", false), k <= kOwn) << k << message;
        if (message.starts_with("ctl ")) { // the loop's adds keep their order
            EXPECT_EQ(std::stoi(message.substr(4)), ++lastCtl) << k;
        }
    }
    EXPECT_EQ(lastCtl, kAdds);
    EXPECT_EQ(messages().size(), static_cast<size_t>(2 * kOwn + kAdds));
}

// A writer stopped while it holds the lock; the user removes the lock file
// (a likely answer to the busy message) and kelvoctl adds a reminder; then
// the writer goes on. Its lock guarded nothing from the removal on, so it
// makes its change again on the file as it is: both reminders are kept.
TEST_F(ConcurrentWriters, ARemovedLockFileLosesNoChange) {
    createOwn(1);
    int holding[2], goOn[2];
    ASSERT_EQ(::pipe(holding), 0);
    ASSERT_EQ(::pipe(goOn), 0);
    const pid_t writer = ::fork();
    if (writer == 0) {
        TIniFile data(dir.file("DataFile.dat"));
        int runs = 0;
        data.changeLocked([&] {
            const int32_t k = nextItemNumber(data);
            writeItemCount(data, k);
            data.WriteString(itemSection(k), "Message", "stopped writer");
            if (++runs == 1) { // stopped in the middle of its change
                char c = 0;
                (void)!::write(holding[1], &c, 1);
                (void)!::read(goOn[0], &c, 1);
            }
        });
        ::_exit(runs == 2 ? 0 : 3);
    }
    char c = 0;
    ASSERT_EQ(::read(holding[0], &c, 1), 1);
    const std::string lockFile = FileLock::lockFileOf(dir.file("DataFile.dat"));
    ASSERT_EQ(::unlink(lockFile.c_str()), 0);
    expectSucceeded(start({KELVOCTL_PATH, "--dir", dir.path(), "add", "*-*-* 07:00", "added"}));
    ASSERT_EQ(::write(goOn[1], &c, 1), 1);
    expectSucceeded(writer);
    EXPECT_EQ(messages(), (std::multiset<std::string>{"own 1", "added", "stopped writer"}));
}

} // namespace
} // namespace kelvo::test
