// kelvoctl on damaged and hostile files: it finishes in bounded time, lists
// what can be listed, and what it refuses leaves every file as it was.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>

namespace kelvo::test {
namespace {

struct Result {
    int status = -1;
    std::string out, err;
    size_t lines() const { return static_cast<size_t>(std::count(out.begin(), out.end(), '\n')); }
};

class KelvoctlHostile : public ::testing::Test {
protected:
    // Runs kelvoctl on the data directory; a run that takes more than a
    // minute is stopped and fails the test.
    Result kelvoctl(const std::string& args) {
        const std::string command = "timeout 60 '" KELVOCTL_PATH "' --dir '" + dir.path() + "' " +
                                    args + " </dev/null >'" + io.file("out") + "' 2>'" +
                                    io.file("err") + "'";
        const int rc = std::system(command.c_str());
        Result r{WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, io.read("out"), io.read("err")};
        EXPECT_NE(r.status, 124) << "kelvoctl " << args << " did not finish";
        return r;
    }
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> all;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            // The empty lock file of the data file holds nothing of the user's.
            const std::string name = entry.path().filename().string();
            if (name != ".DataFile.dat.lock")
                all[name] = dir.read(name);
        }
        return all;
    }
    // Every reading command on the data file: the list lines and whether
    // the file stayed as it was.
    size_t listAndCheckUnchanged(const std::string& bytes) {
        dir.write("DataFile.dat", bytes);
        const Result list = kelvoctl("list");
        EXPECT_EQ(list.status, 0) << list.err;
        EXPECT_EQ(kelvoctl("due --start 2026-12-09").status, 0);
        EXPECT_EQ(kelvoctl("due --from '2026-12-09 00:00' --to '2026-12-09 23:59'").status, 0);
        EXPECT_EQ(dir.read("DataFile.dat"), bytes);
        return list.lines();
    }

    TempDir dir, io;
};

std::string item(int k, std::string_view body) {
    return "[Item" + std::to_string(k) + "]\r\n" + std::string(body);
}

TEST_F(KelvoctlHostile, DamagedDataFilesListWhatTheyHold) {
    using namespace std::string_literals;
    const std::string two = item(1, "Hour=99\r\nMin=-1\r\nDay=40000\r\nMessage=a\r\n") +
                            item(2, "RdBefore=2147483647\r\nMindMethod=7\r\nMessage=b\r\n");
    EXPECT_EQ(listAndCheckUnchanged("[Main]\r\nItems=2147483647\r\n" + two), 3u);
    EXPECT_EQ(listAndCheckUnchanged("[Main]\r\nItems=-2147483648\r\n" + two), 0u);
    EXPECT_EQ(listAndCheckUnchanged("\xEF\xBB\xBF[Main]\r\nItems=2\r\n" + two), 2u);
    EXPECT_EQ(listAndCheckUnchanged("[Main]\r\nItems=2\r\n[Item1\r\nno equals\r\n\0\xFF\x81\r\n"s +
                                    item(2, "Message=" + std::string(10 << 20, 'x') + "\r\n")),
              2u);
}

TEST_F(KelvoctlHostile, FiftyMegabyteDataFileListsEveryItem) {
    const std::string music = "Music=" + std::string(2600, 'm') + "\r\n";
    std::string bytes = "[Main]\r\nItems=20000\r\n";
    for (int k = 1; k <= 20'000; ++k)
        bytes += item(k, "Hour=8\r\nMessage=r" + std::to_string(k) + "\r\n" + music);
    ASSERT_GT(bytes.size(), 50u << 20);
    EXPECT_EQ(listAndCheckUnchanged(bytes), 20'000u);
}

TEST_F(KelvoctlHostile, ImportTakesOnlyHeldItemsAndRefusesWithoutChangingTheData) {
    dir.write("DataFile.dat", "[Main]\r\nItems=1\r\n" + item(1, "Message=kept\r\n"));
    io.write("negative.txt", "[Main]\r\nItems=-5\r\n" + item(1, "Message=x\r\n"));
    io.write("huge.txt", "[Main]\r\nItems=2147483647\r\n" + item(1, "Message=x\r\n") +
                             item(7, "Message=y\r\n"));
    const auto before = files();
    Result r = kelvoctl("import '" + io.file("negative.txt") + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(kelvoctl("import '" + io.file("missing.txt") + "'").status, 1);
    EXPECT_EQ(kelvoctl("export '" + io.file("out.txt") + "' 2147483647").status, 2);
    EXPECT_EQ(kelvoctl("export '" + io.file("out.txt") + "' -1").status, 2);
    EXPECT_EQ(files(), before);
    r = kelvoctl("import '" + io.file("huge.txt") + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(kelvoctl("list").lines(), 3u);
}

// A data file that exists but cannot be read is an error, not an empty list,
// and is never written over; a named pipe does not make kelvoctl wait.
TEST_F(KelvoctlHostile, AnUnreadableDataFileFailsAndIsLeftAsItIs) {
    io.write("one.txt", "[Main]\r\nItems=1\r\n" + item(1, "Message=x\r\n"));
    for (const bool pipe : {true, false}) {
        SCOPED_TRACE(pipe ? "pipe" : "directory");
        std::filesystem::remove_all(dir.file("DataFile.dat"));
        ASSERT_EQ(pipe ? ::mkfifo(dir.file("DataFile.dat").c_str(), 0644)
                       : ::mkdir(dir.file("DataFile.dat").c_str(), 0755),
                  0);
        for (const std::string& command : std::vector<std::string>{
                 "list", "due --start 2026-12-09", "export '" + io.file("out.txt") + "'",
                 "import '" + io.file("one.txt") + "'"}) {
            const Result r = kelvoctl(command);
            EXPECT_EQ(r.status, 1) << command;
            EXPECT_NE(r.err.find(dir.file("DataFile.dat")), std::string::npos) << r.err;
            EXPECT_TRUE(r.out.empty()) << command;
        }
        EXPECT_EQ(std::filesystem::status(dir.file("DataFile.dat")).type(),
                  pipe ? std::filesystem::file_type::fifo : std::filesystem::file_type::directory);
    }
}

} // namespace
} // namespace kelvo::test
