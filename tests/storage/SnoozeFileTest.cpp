#include "storage/SnoozeFile.h"

#include "storage/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace kelvo {
namespace {

using test::TempDir;
using Entries = std::vector<SnoozeEntry>;

TEST(SnoozeFile, EntriesComeBackInTheirOrder) {
    TempDir dir;
    const Entries entries{{1704110490, 3}, {1704110430, 1}, {-5, 7}, {4102444800, 20}};
    writeSnoozeFile(dir.file("Snooze.ini"), entries);
    EXPECT_EQ(readSnoozeFile(dir.file("Snooze.ini"), 20), entries);
    EXPECT_EQ(readSnoozeFile(dir.file("Snooze.ini"), 2), (Entries{entries[0], entries[1]}));
    writeSnoozeFile(dir.file("Snooze.ini"), {});
    EXPECT_TRUE(readSnoozeFile(dir.file("Snooze.ini"), 20).empty());
}

TEST(SnoozeFile, AMissingOrDamagedFileGivesWhatIsWhole) {
    TempDir dir;
    EXPECT_TRUE(readSnoozeFile(dir.file("Snooze.ini"), 20).empty());

    dir.write("Snooze.ini", "[Main]\r\nCount=5\r\n"
                            "[Snooze1]\r\nItem=2\r\nDue=1704110430\r\n"
                            "[Snooze2]\r\nItem=0\r\nDue=1704110430\r\n" // no item
                            "[Snooze3]\r\nItem=4\r\nDue=12:30\r\n"      // no time
                            "[Snooze4]\r\nItem=5\r\n"                   // no time
                            "[Snooze5]\r\nItem=6\r\nDue=1704110499\r\n");
    EXPECT_EQ(readSnoozeFile(dir.file("Snooze.ini"), 20),
              (Entries{{1704110430, 2}, {1704110499, 6}}));

    dir.write("Snooze.ini", std::string("\xff\xfe\0garbage\n[Snooze1\nItem=", 20));
    EXPECT_TRUE(readSnoozeFile(dir.file("Snooze.ini"), 20).empty());
}

TEST(SnoozeFile, AHugeCountReadsNoMoreThanTheLimitOfSections) {
    TempDir dir;
    dir.write("Snooze.ini", "[Main]\r\nCount=2000000000\r\n[Snooze21]\r\nItem=1\r\nDue=1\r\n");
    EXPECT_TRUE(readSnoozeFile(dir.file("Snooze.ini"), 20).empty());
    dir.write("Snooze.ini", "[Main]\r\nCount=-3\r\n[Snooze1]\r\nItem=1\r\nDue=1\r\n");
    EXPECT_TRUE(readSnoozeFile(dir.file("Snooze.ini"), 20).empty());
}

// The file is replaced, never written over: a reader that opened the old
// version reads it whole, and a write that fails leaves nothing behind.
TEST(SnoozeFile, AWriteReplacesTheWholeFileOrLeavesTheOldOne) {
    TempDir dir;
    const std::string path = dir.file("Snooze.ini");
    writeSnoozeFile(path, {{100, 1}});
    const std::string old = dir.read("Snooze.ini");
    ASSERT_EQ(::link(path.c_str(), dir.file("old").c_str()), 0);
    writeSnoozeFile(path, {{200, 2}, {300, 3}});
    EXPECT_EQ(dir.read("old"), old);
    EXPECT_EQ(readSnoozeFile(path, 20), (Entries{{200, 2}, {300, 3}}));

    std::filesystem::remove(path);
    std::filesystem::create_directory(path); // a directory in the file's place
    EXPECT_THROW(writeSnoozeFile(path, {{400, 4}}), IniWriteError);
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 2u); // no temporary file left behind: "old" and the directory
}

} // namespace
} // namespace kelvo
