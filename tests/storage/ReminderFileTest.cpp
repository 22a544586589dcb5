#include "storage/ReminderFile.h"
#include "reminders/ItemTexts.h"
#include "storage/DataFile.h"
#include "storage/FileLock.h"
#include "storage/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace kelvo::test {
namespace {

class FireItem : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("DataFile.dat",
                  "[Main]\r\nItems=2\r\n"
                  "[Item1]\r\nHour=8\r\nReMinded=0\r\nMessage=AutoShutDownWindows\r\n"
                  "Music=/sounds/bell.wav\r\n"
                  "[Item2]\r\nHour=9\r\n");
    }

    TempDir dir;
    std::string dataPath = dir.file("DataFile.dat");
    std::string handOff = dir.file("TmpFile.tmp");
};

TEST_F(FireItem, ReadFiringChangesNothing) {
    const std::string before = dir.read("DataFile.dat");
    const TIniFile data(dataPath);
    const kelvo::Firing advance = readFiring(data, 1, true);
    EXPECT_EQ(advance.item, 1);
    EXPECT_EQ(advance.text, "提前提醒：AutoShutDownWindows");
    EXPECT_EQ(advance.message, "AutoShutDownWindows");
    EXPECT_EQ(advance.music, "/sounds/bell.wav");
    EXPECT_EQ(readFiring(data, 1, false).text, "AutoShutDownWindows");
    const kelvo::Firing daysAhead = readFiring(data, 1, false, 7);
    EXPECT_EQ(daysAhead.text, "提前7天提醒：AutoShutDownWindows");
    EXPECT_EQ(daysAhead.daysAhead, 7);
    EXPECT_EQ(dir.read("DataFile.dat"), before);
    EXPECT_FALSE(std::filesystem::exists(handOff));
}

// Marks wait for a store that can; each lands on the item shown, found by
// its message: a later one moved down by the program's own delete, none on
// an item that another program changed meanwhile.
TEST_F(FireItem, PendingMarksLandOnTheItemsShown) {
    dir.write("DataFile.dat", "[Main]\r\nItems=4\r\n"
                              "[Item1]\r\nMessage=a\r\n[Item2]\r\nMessage=b\r\n"
                              "[Item3]\r\nMessage=c\r\n[Item4]\r\nMessage=d\r\n");
    TIniFile data(dataPath);
    PendingMarks marks;
    EXPECT_TRUE(marks.empty());
    marks.add(2, "b");
    marks.add(3, "c");
    marks.add(4, "changed since");
    marks.add(9, "");
    marks.itemDeleted(2); // as the program deletes: the file's items move with it
    {
        TIniFile other(dataPath);
        deleteItem(other, 2);
    }
    marks.store(data);
    EXPECT_TRUE(marks.empty());
    const TIniFile back(dataPath);
    EXPECT_EQ(back.ReadString("Item2", "Message", ""), "c");
    EXPECT_TRUE(back.ReadBool("Item2", "ReMinded", false));
    EXPECT_FALSE(back.ReadBool("Item1", "ReMinded", false));
    EXPECT_FALSE(back.ReadBool("Item3", "ReMinded", false)); // "d" was shown as another text
    EXPECT_FALSE(back.hasSection("Item9"));
    // On disk, in the key's spelling that the delete's move left.
    EXPECT_NE(dir.read("DataFile.dat").find("Reminded=1"), std::string::npos);
}

// Another program's lock does not hold the program up: the store gives up
// at once and keeps the marks for the next try.
TEST_F(FireItem, PendingMarksWaitForAHeldLockWithoutWaiting) {
    TIniFile data(dataPath);
    PendingMarks marks;
    marks.add(1, "AutoShutDownWindows");
    {
        const FileLock other(dataPath, std::chrono::milliseconds(0));
        ASSERT_TRUE(other.acquired());
        const auto start = std::chrono::steady_clock::now();
        try {
            marks.store(data);
            FAIL() << "stored through a held lock";
        } catch (const IniWriteError& e) {
            EXPECT_EQ(e.reason(), IniWriteError::Reason::Busy);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
        EXPECT_FALSE(marks.empty());
        EXPECT_FALSE(TIniFile(dataPath).ReadBool("Item1", "ReMinded", false));
    }
    marks.store(data);
    EXPECT_TRUE(TIniFile(dataPath).ReadBool("Item1", "ReMinded", false));
}

TEST_F(FireItem, PendingMarksStayWhenTheFileCannotBeWritten) {
    // A name so long that no temporary name beside it is allowed.
    const std::string name(250, 'n');
    dir.write(name, dir.read("DataFile.dat"));
    TIniFile data(dir.file(name));
    PendingMarks marks;
    marks.add(1, "AutoShutDownWindows");
    try {
        marks.store(data);
        FAIL() << "no error";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(e.reason(), IniWriteError::Reason::Unwritable);
        EXPECT_EQ(e.path(), dir.file(name));
    }
    EXPECT_FALSE(marks.empty());
    EXPECT_EQ(dir.read(name), dir.read("DataFile.dat"));
}

// The missed list's rows, oldest first as given, with the advance prefix and
// the mode's caption; reading them changes nothing.
TEST_F(FireItem, MissedRowsGiveTheDueTimeTextAndMode) {
    {
        TIniFile data(dataPath);
        data.WriteInteger("Item2", "MindMethod", 9);
        data.WriteString("Item2", "Message", "开会");
        data.UpdateFile();
    }
    const std::string before = dir.read("DataFile.dat");
    const TIniFile data(dataPath);
    std::vector<MissedRow> rows{{"kept", "", ""}};
    readMissedRows(data,
                   {{DateTime{{2026, 12, 7}, 8, 0, 0}, 1, false},
                    {DateTime{{2026, 12, 7}, 8, 50, 0}, 2, true},
                    {DateTime{{2026, 12, 7}, 9, 0, 0}, 2, false},
                    {DateTime{{2026, 12, 7}, 9, 5, 0}, 3, false}},
                   rows);
    const std::string exact(*mindMethodCaption(0));
    EXPECT_EQ(rows, (std::vector<MissedRow>{{"kept", "", ""},
                                            {"2026-12-07 08:00", "AutoShutDownWindows", exact},
                                            {"2026-12-07 08:50", "提前提醒：开会", "9"},
                                            {"2026-12-07 09:00", "开会", "9"},
                                            {"2026-12-07 09:05", "", exact}}));
    EXPECT_EQ(dir.read("DataFile.dat"), before);
}

} // namespace
} // namespace kelvo::test
