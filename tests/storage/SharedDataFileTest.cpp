// The data file as several programs and the user's own set-up meet it: one
// writer at a time under the lock, adds that never write over a section the
// file holds, symbolic links, owners and permissions kept, and files that
// exist but cannot be read never written over.
#include "exchange/Exchange.h"
#include "storage/DataFile.h"
#include "storage/FileLock.h"
#include "storage/IniFile.h"
#include "support/MarkShown.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelvo {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

ReminderItem reminder(const std::string& message) {
    ReminderItem item;
    item.hour = 9;
    item.message = message;
    return item;
}

std::string item(int k, const std::string& body) {
    return "[Item" + std::to_string(k) + "]\r\n" + body;
}

class SharedDataFile : public ::testing::Test {
protected:
    // An exchange file of one reminder with this message.
    std::string exchangeOf(const std::string& message) {
        const std::string path = dir.file(message + ".txt");
        dir.write(message + ".txt",
                  "[Main]\r\nItems=1\r\n" + item(1, "Hour=7\r\nMessage=" + message + "\r\n"));
        return path;
    }
    // The names in a directory, hidden ones too.
    static std::set<std::string> names(const std::string& d) {
        std::set<std::string> all;
        for (const auto& entry : fs::directory_iterator(d))
            all.insert(entry.path().filename().string());
        return all;
    }

    TempDir dir;
    std::string path = dir.file("DataFile.dat");
};

TEST_F(SharedDataFile, AddAndImportNeverWriteOverASectionTheFileHolds) {
    const std::string damaged =
        "[Main]\r\nItems=3\r\n" + item(3, "Hour=5\r\nMessage=three\r\nMusic=old.mp3\r\n");
    for (const bool byImport : {false, true}) {
        SCOPED_TRACE(byImport ? "import" : "add");
        dir.write("DataFile.dat", damaged);
        TIniFile data(path);
        if (byImport)
            EXPECT_EQ(importItems(data, TIniFile(exchangeOf("new")), ActingItems::AddConfirmed), 1);
        else
            EXPECT_EQ(appendItem(data, reminder("new"), false), 4);
        EXPECT_EQ(data.ReadString("Item3", "Message", ""), "three");
        EXPECT_EQ(data.ReadString("Item3", "Music", ""), "old.mp3");
        EXPECT_EQ(data.ReadString("Item4", "Message", ""), "new");
        EXPECT_EQ(data.ReadString("Item4", "Music", "none"), byImport ? "" : "none");
        // Listed: items 1 and 2 read as defaults, 3 and the new 4.
        EXPECT_EQ(itemCount(data), 4);
    }
}

TEST_F(SharedDataFile, ACountPastTheLastSectionAddsAfterIt) {
    dir.write("DataFile.dat",
              "[Main]\r\nItems=9\r\n" + item(1, "Message=a\r\n") + item(2, "Message=b\r\n"));
    TIniFile data(path);
    EXPECT_EQ(appendItem(data, reminder("c"), false), 3);
    EXPECT_EQ(storedItemCount(data), 3);
    EXPECT_EQ(data.ReadString("Item2", "Message", ""), "b");
}

TEST_F(SharedDataFile, ASectionLeftBehindByDeleteIsReusedKeyByKey) {
    TIniFile data(path);
    createDataFile(data);
    for (const char* m : {"a", "b", "c"})
        appendItem(data, reminder(m), false);
    deleteItem(data, 1);
    EXPECT_EQ(appendItem(data, reminder("d"), false), 3);
    EXPECT_EQ(data.ReadString("Item3", "Message", ""), "d");
    EXPECT_EQ(itemCount(data), 3);
}

// Another program replaced the file after this object read it: every change
// works on what is on disk now, and keeps what the other program stored.
TEST_F(SharedDataFile, ChangesReadTheFileAsItIsNowNotAnEarlierCopy) {
    TIniFile data(path);
    createDataFile(data);
    appendItem(data, reminder("mine"), false);
    ASSERT_EQ(itemCount(data), 1); // the view now holds the file
    {
        // The other program, here through a file written behind the view.
        const std::string other = dir.file("other.dat");
        fs::copy_file(path, other);
        TIniFile otherData(other);
        appendItem(otherData, reminder("theirs"), false);
        fs::rename(other, path);
    }
    test::markShown(data, 1);
    appendItem(data, reminder("mine again"), false);
    importItems(data, TIniFile(exchangeOf("imported")), ActingItems::AddConfirmed);
    storeEditedItem(data, 1, reminder("edited"));
    deleteItem(data, 3);
    const TIniFile fresh(dir.file("DataFile.dat"));
    EXPECT_EQ(storedItemCount(fresh), 3);
    EXPECT_EQ(fresh.ReadString("Item1", "Message", ""), "edited");
    EXPECT_EQ(fresh.ReadString("Item2", "Message", ""), "theirs");
    EXPECT_EQ(fresh.ReadString("Item3", "Message", ""), "imported");
}

TEST_F(SharedDataFile, MarkingAnItemThatIsGoneWritesNothing) {
    TIniFile data(path);
    createDataFile(data);
    appendItem(data, reminder("one"), false);
    const std::string before = dir.read("DataFile.dat");
    test::markShown(data, 2);
    EXPECT_EQ(dir.read("DataFile.dat"), before);
    EXPECT_FALSE(data.hasSection("Item2"));
}

TEST_F(SharedDataFile, CreationLeavesAFileThatAnotherProgramMadeMeanwhile) {
    TIniFile data(path);
    EXPECT_EQ(itemCount(data), 0); // read while the file is missing
    dir.write("DataFile.dat", "[Main]\r\nItems=1\r\n" + item(1, "Message=theirs\r\n"));
    EXPECT_FALSE(createDataFile(data));
    EXPECT_EQ(data.ReadString("Item1", "Message", ""), "theirs");
}

TEST_F(SharedDataFile, AWriterWaitsForTheLockThenGivesUpWritingNothing) {
    TIniFile data(path);
    createDataFile(data);
    const std::string before = dir.read("DataFile.dat");
    const FileLock held(path, std::chrono::milliseconds(0));
    ASSERT_TRUE(held.acquired());
    const auto wait = std::chrono::milliseconds(300);
    struct UsualWaitAfterwards {
        ~UsualWaitAfterwards() { setLockWait(kLockWait); }
    } usualWaitAfterwards;
    EXPECT_EQ(setLockWait(wait), kLockWait);
    const auto start = std::chrono::steady_clock::now();
    try {
        appendItem(data, reminder("late"), false);
        FAIL() << "no error";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(e.reason(), IniWriteError::Reason::Busy);
        EXPECT_EQ(e.path(), path);
        EXPECT_NE(std::string(e.what()).find("等了 1 秒"), std::string::npos) << e.what();
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, wait - std::chrono::milliseconds(50));
    EXPECT_EQ(dir.read("DataFile.dat"), before);
    EXPECT_EQ(itemCount(data), 0);
}

// A lock whose file was removed, or replaced by another file, guards
// nothing any more: a new writer locks the file at the path at once.
TEST_F(SharedDataFile, ALockTellsWhenItsFileIsNoLongerTheOneAtThePath) {
    const std::string lockFile = FileLock::lockFileOf(path);
    const FileLock first(path, std::chrono::milliseconds(0));
    ASSERT_TRUE(first.acquired());
    EXPECT_TRUE(first.stillGuards());
    fs::remove(lockFile);
    EXPECT_FALSE(first.stillGuards());
    const FileLock second(path, std::chrono::milliseconds(0));
    ASSERT_TRUE(second.acquired()); // the removed file's lock keeps nobody out
    EXPECT_TRUE(second.stillGuards());
    dir.write("." + fs::path(path).filename().string() + ".lock.new", "");
    fs::rename(lockFile + ".new", lockFile);
    EXPECT_FALSE(second.stillGuards());
}

TEST_F(SharedDataFile, ALinkedDataFileStaysALinkThroughEveryChange) {
    TempDir synced;
    const std::string target = synced.file("Reminders.dat");
    fs::create_symlink(target, path); // dangling until the first start creates it
    TIniFile data(path);
    EXPECT_TRUE(createDataFile(data));
    appendItem(data, reminder("a"), false);
    appendItem(data, reminder("b"), false);
    deleteItem(data, 1);
    importItems(data, TIniFile(exchangeOf("c")), ActingItems::AddConfirmed);
    ASSERT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(fs::read_symlink(path), target);
    const TIniFile direct(target);
    EXPECT_EQ(storedItemCount(direct), 2);
    EXPECT_EQ(direct.ReadString("Item1", "Message", ""), "b");
    EXPECT_EQ(direct.ReadString("Item2", "Message", ""), "c");
    // The temporary and the lock lie beside the target, none is left behind.
    EXPECT_EQ(names(synced.path()),
              (std::set<std::string>{"Reminders.dat", ".Reminders.dat.lock"}));
    EXPECT_EQ(names(dir.path()), (std::set<std::string>{"DataFile.dat", "c.txt"}));
}

TEST_F(SharedDataFile, ARelativeLinkIsFollowedFromItsOwnDirectory) {
    fs::create_directory(dir.file("sub"));
    dir.write("sub/real.ini", "[S]\r\nk=1\r\n");
    fs::create_symlink("sub/real.ini", path);
    {
        TIniFile ini(path);
        ini.WriteString("S", "k", "2");
    }
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(dir.read("sub/real.ini"), "[S]\r\nk=2\r\n");
}

TEST_F(SharedDataFile, PermissionsAndTheOwnerAreKept) {
    dir.write("DataFile.dat", "[Main]\r\nItems=0\r\n");
    ::chmod(path.c_str(), 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    }
    TIniFile data(path);
    appendItem(data, reminder("a"), false);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
}

// A named pipe or a directory at the path gives nothing and is never written
// over; reading it does not wait for a writer of the pipe.
TEST_F(SharedDataFile, APipeOrADirectoryIsReportedAndLeftAsItIs) {
    for (const bool pipe : {true, false}) {
        SCOPED_TRACE(pipe ? "pipe" : "directory");
        fs::remove_all(path);
        ASSERT_EQ(pipe ? ::mkfifo(path.c_str(), 0644) : ::mkdir(path.c_str(), 0755), 0);
        TIniFile data(path);
        const ReadFailure expected = pipe ? ReadFailure::NotRegular : ReadFailure::Directory;
        EXPECT_EQ(data.readFailure(), expected);
        EXPECT_THROW(requireReadable(data), UserError);
        try {
            appendItem(data, reminder("a"), false);
            FAIL() << "no error";
        } catch (const IniWriteError& e) {
            EXPECT_EQ(e.reason(), IniWriteError::Reason::Unreadable);
            EXPECT_EQ(e.readFailure(), expected);
        }
        EXPECT_FALSE(createDataFile(data));
        EXPECT_EQ(fs::status(path).type(), pipe ? fs::file_type::fifo : fs::file_type::directory);
    }
}

// A file its user may write but not read (mode 0222): writing would replace
// what it holds with a file of one change. Run as another user when the test
// runs as root, whom permissions do not stop.
TEST_F(SharedDataFile, AFileThatMayNotBeReadIsNeverWrittenOver) {
    const std::string bytes = "[Main]\r\nItems=1\r\n" + item(1, "Message=kept\r\n");
    dir.write("DataFile.dat", bytes);
    ::chmod(dir.path().c_str(), 0777);
    ::chmod(path.c_str(), 0222);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(10);
        TIniFile data(path);
        if (data.readFailure() != ReadFailure::NoPermission)
            ::_exit(11);
        try {
            appendItem(data, reminder("lost"), false);
            ::_exit(12);
        } catch (const IniWriteError& e) {
            ::_exit(e.reason() == IniWriteError::Reason::Unreadable ? 0 : 13);
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(dir.read("DataFile.dat"), bytes);
}

} // namespace
} // namespace kelvo
