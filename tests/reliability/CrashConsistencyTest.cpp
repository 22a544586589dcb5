// Kills the crash driver with SIGKILL at random moments of each write and
// checks that the files it leaves are a whole old or a whole new version.
//
// KELVO_CRASH_SEED=<n> repeats a run; KELVO_CRASH_KILLS=<n> sets the kills
// per write (default 70, so 350 over the five writes).
#include "CrashScenario.h"

#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "storage/Paths.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kelvo::crash {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

uint64_t envOr(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    return text ? std::strtoull(text, nullptr, 10) : fallback;
}

// A file's bytes, or nullopt when it does not exist.
std::optional<std::string> contentOf(const std::string& path) {
    if (!fs::exists(path))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void restore(const std::string& path, const std::optional<std::string>& bytes) {
    fs::remove(path);
    if (bytes)
        std::ofstream(path, std::ios::binary) << *bytes;
}

ReminderItem importedReminder(int32_t j) {
    return reminder(20000 + j, importedMessage(j));
}

// Whether the stored item is exactly `want`, every key from one version.
// Import carries no advance minutes.
bool isWhole(const ReminderItem& got, const ReminderItem& want, bool carriesAdvance = true) {
    return got.year == want.year && got.month == want.month && got.day == want.day &&
           got.hour == want.hour && got.min == want.min && got.mindMethod == want.mindMethod &&
           got.rdBefore == (carriesAdvance ? want.rdBefore : 0) && got.message == want.message &&
           got.music == want.music;
}

// Which reminder a message names: its original number, or the write's own.
std::optional<ReminderItem> expectedFor(const std::string& message, bool& carriesAdvance) {
    carriesAdvance = true;
    if (message == kAddedMessage)
        return reminder(kStoredItems + 1, message);
    if (message == kEditedMessage)
        return reminder(kEditedItem + 5000, message);
    for (int32_t j = 1; j <= kImportedItems; ++j) {
        if (message == importedMessage(j)) {
            carriesAdvance = false;
            return importedReminder(j);
        }
    }
    return std::nullopt;
}

// The checks that hold after any interruption, read through the profile
// layer: the count matches sections that all exist, no reminder is lost,
// duplicated or mixed from two versions.
void checkReminders(const TIniFile& data, std::string_view op) {
    const int32_t n = storedItemCount(data);
    ASSERT_TRUE(n == kStoredItems || (op == "add" && n == kStoredItems + 1) ||
                (op == "delete" && n == kStoredItems - 1) ||
                (op == "import" && n == kStoredItems + kImportedItems))
        << "Items=" << n;
    const std::vector<std::string> names = data.sectionNames();
    const std::set<std::string> sections(names.begin(), names.end());
    std::vector<bool> seen(kStoredItems + 1, false);
    std::set<std::string> messages;
    for (int32_t k = 1; k <= n; ++k) {
        ASSERT_TRUE(sections.count(itemSection(k))) << "missing section Item" << k;
        const ReminderItem got = readItem(data, k, kDeleteDefaults);
        ASSERT_TRUE(messages.insert(got.message).second) << "duplicated: " << got.message;
        bool carriesAdvance = true;
        std::optional<ReminderItem> want = expectedFor(got.message, carriesAdvance);
        if (!want) {
            const int32_t j = k < kDeletedItem || op != "delete" || n == kStoredItems ? k : k + 1;
            ASSERT_LE(j, kStoredItems);
            want = reminder(j, storedMessage(j));
            seen[j] = true;
        } else if (got.message == kEditedMessage) {
            seen[kEditedItem] = true;
        }
        ASSERT_TRUE(isWhole(got, *want, carriesAdvance)) << "half-written Item" << k;
    }
    for (int32_t j = 1; j <= kStoredItems; ++j) {
        if (!(op == "delete" && j == kDeletedItem)) {
            ASSERT_TRUE(seen[j]) << "lost: " << storedMessage(j);
        }
    }
}

// A first start leaves a data file with no reminders, its header and sample.
void checkCreated(const TIniFile& data) {
    EXPECT_EQ(storedItemCount(data), 0);
    EXPECT_EQ(data.sectionNames(), (std::vector<std::string>{"Main", "Item0"}));
    EXPECT_EQ(data.ReadString("Item0", "Message", ""), "Here is the message");
}

void checkDataFile(const std::string& path, std::string_view op) {
    const TIniFile data(path);
    if (op == "create")
        checkCreated(data);
    else
        checkReminders(data, op);
}

struct Figures {
    int kills = 0, old = 0, changed = 0, finished = 0, leftTemporaries = 0;
};

class CrashConsistency : public ::testing::TestWithParam<std::string_view> {
protected:
    static void SetUpTestSuite() {
        seed = envOr("KELVO_CRASH_SEED", std::random_device{}());
        std::printf("crash test seed: %llu (KELVO_CRASH_SEED=%llu repeats it)\n",
                    static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed));
    }

    void SetUp() override {
        if (op() != "create")
            writeStoredItems();
        if (op() == "import")
            writeExchangeFile();
        oldData = contentOf(paths.dataFile());
        oldConfig = contentOf(paths.config());
    }

    std::string_view op() const { return GetParam(); }

    void writeStoredItems() {
        TIniFile data(paths.dataFile());
        createDataFile(data);
        for (int32_t k = 1; k <= kStoredItems; ++k)
            writeNewItemKeys(data, k, reminder(k, storedMessage(k)), true);
        data.WriteInteger("Main", "Items", kStoredItems);
        data.UpdateFile();
    }

    void writeExchangeFile() {
        TIniFile exchange(paths.file(kExchangeFile));
        for (int32_t j = 1; j <= kImportedItems; ++j)
            writeNewItemKeys(exchange, j, importedReminder(j), true);
        exchange.WriteInteger("Main", "Items", kImportedItems);
        exchange.UpdateFile();
    }

    // Back to the state before the write, without the temporaries of a
    // killed one.
    void reset() {
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            if (entry.path().filename() != kExchangeFile)
                fs::remove(entry.path());
        }
        restore(paths.dataFile(), oldData);
        restore(paths.config(), oldConfig);
    }

    pid_t start() const {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const std::string op_(op());
            ::execl(KELVO_CRASH_DRIVER, KELVO_CRASH_DRIVER, dir.path().c_str(), op_.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return pid;
    }

    // Runs the write to its end; returns how long it took.
    Clock::duration runToEnd() {
        reset();
        const auto begin = Clock::now();
        int status = 0;
        ::waitpid(start(), &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "driver failed";
        return Clock::now() - begin;
    }

    // Whether the file is one of the two whole versions.
    static bool isOldOrNew(const std::optional<std::string>& now,
                           const std::optional<std::string>& old,
                           const std::optional<std::string>& fresh) {
        return now == old || now == fresh;
    }

    bool unnamedFilesWork() const {
        const int fd = ::open(dir.path().c_str(), O_TMPFILE | O_WRONLY, 0600);
        if (fd < 0)
            return false;
        ::close(fd);
        return true;
    }

    static inline uint64_t seed = 0;
    test::TempDir dir;
    DataPaths paths{dir.path()};
    std::optional<std::string> oldData, oldConfig;
};

TEST_P(CrashConsistency, EveryKillLeavesAWholeOldOrNewFile) {
    Clock::duration longest{};
    for (int i = 0; i < 3; ++i)
        longest = std::max(longest, runToEnd());
    const std::optional<std::string> newData = contentOf(paths.dataFile());
    const std::optional<std::string> newConfig = contentOf(paths.config());
    ASSERT_NE(newData, oldData);
    // Every kill below must leave bytes equal to one of these two versions,
    // so checking each of them once covers every kill.
    for (const auto& version : {oldData, newData}) {
        if (version) {
            restore(paths.dataFile(), version);
            checkDataFile(paths.dataFile(), op());
            ASSERT_FALSE(HasFatalFailure());
        }
    }

    std::mt19937_64 random(seed + std::hash<std::string_view>{}(op()));
    // Kills fall at a uniform moment of a span that follows the machine's
    // load: it shrinks when the write ended before the kill and grows when
    // it did not, so about a fifth of the runs end first.
    double span =
        static_cast<double>(std::chrono::duration_cast<std::chrono::microseconds>(longest).count());
    const int wanted = static_cast<int>(envOr("KELVO_CRASH_KILLS", 70));
    Figures f;
    for (int attempt = 0; f.kills < wanted && attempt < wanted * 10; ++attempt) {
        reset();
        const pid_t pid = start();
        std::this_thread::sleep_for(std::chrono::microseconds(
            std::uniform_int_distribution<int64_t>(0, static_cast<int64_t>(span))(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        f.kills += killed;
        f.finished += !killed;
        span *= killed ? 1.03 : 0.9;

        const std::optional<std::string> data = contentOf(paths.dataFile());
        ASSERT_TRUE(isOldOrNew(data, oldData, newData)) << "data file torn, attempt " << attempt;
        ASSERT_TRUE(isOldOrNew(contentOf(paths.config()), oldConfig, newConfig))
            << "settings file torn, attempt " << attempt;
        (data == oldData ? f.old : f.changed) += killed;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            f.leftTemporaries += entry.path().filename().string().starts_with(".");
    }
    std::printf("%s: %d kills (%d before the file changed, %d after), %d runs ended first, "
                "%d temporaries left by killed writes; kills within %lld us of the start\n",
                std::string(op()).c_str(), f.kills, f.old, f.changed, f.finished, f.leftTemporaries,
                static_cast<long long>(span));
    EXPECT_GE(f.kills, wanted);
}

INSTANTIATE_TEST_SUITE_P(Writes, CrashConsistency, ::testing::ValuesIn(kOperations),
                         [](const auto& test) { return std::string(test.param); });

} // namespace
} // namespace kelvo::crash
