// Several programs change one data file at once: 20 kelvoctl imports started
// together, and imports beside a program that marks its reminders reminded
// as it fires them. Every change is kept, and no mark lands on another item.
#include "storage/DataFile.h"
#include "storage/IniFile.h"
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
    // Starts `kelvoctl --dir DIR import FILE`, its output thrown away.
    pid_t startImport(const std::string& file) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        const std::string dirArg = dir.path();
        const char* argv[] = {KELVOCTL_PATH, "--dir",      dirArg.c_str(),
                              "import",      file.c_str(), nullptr};
        pid_t pid = -1;
        EXPECT_EQ(
            posix_spawn(&pid, KELVOCTL_PATH, &actions, nullptr, const_cast<char**>(argv), environ),
            0);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
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
    {
        TIniFile data(dir.file("DataFile.dat"));
        createDataFile(data);
        for (int k = 1; k <= kOwn; ++k) {
            ReminderItem r;
            r.message = "own " + std::to_string(k);
            appendItem(data, r, false);
        }
    }
    std::vector<pid_t> pids;
    for (int n = 0; n < kWriters; ++n)
        pids.push_back(startImport(exchange(n)));
    TIniFile program(dir.file("DataFile.dat"));
    for (int k = 1; k <= kOwn; ++k) {
        markReminded(program, k);
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

} // namespace
} // namespace kelvo::test
