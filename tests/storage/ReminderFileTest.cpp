#include "storage/ReminderFile.h"
#include "reminders/ItemTexts.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(advance.music, "/sounds/bell.wav");
    EXPECT_EQ(readFiring(data, 1, false).text, "AutoShutDownWindows");
    EXPECT_EQ(dir.read("DataFile.dat"), before);
    EXPECT_FALSE(std::filesystem::exists(handOff));
}

TEST_F(FireItem, WritesTheHandOffAndMarksTheItemReminded) {
    {
        TIniFile data(dataPath);
        storeFiring(data, handOff, readFiring(data, 1, false));
    }
    EXPECT_EQ(readHandOff(handOff).msg, "AutoShutDownWindows");
    EXPECT_EQ(readHandOff(handOff).music, "/sounds/bell.wav");
    // Stored on disk at once, not only in the shared view.
    EXPECT_NE(dir.read("DataFile.dat").find("ReMinded=1"), std::string::npos);

    TIniFile data(dataPath);
    storeFiring(data, handOff, readFiring(data, 2, true));
    EXPECT_EQ(readHandOff(handOff).msg, "提前提醒：");
    EXPECT_EQ(readHandOff(handOff).music, "");
    EXPECT_TRUE(data.ReadBool("Item2", "Reminded", false));
}

TEST_F(FireItem, AFailedHandOffStillMarksTheItemAndReportsTheError) {
    TIniFile data(dataPath);
    const std::string unwritable = dir.file("missing/TmpFile.tmp");
    try {
        storeFiring(data, unwritable, readFiring(data, 1, false));
        FAIL() << "no error";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + unwritable);
    }
    EXPECT_TRUE(TIniFile(dataPath).ReadBool("Item1", "ReMinded", false));
}

TEST_F(FireItem, AFailedMarkStillWritesTheHandOff) {
    // A name so long that no temporary name beside it is allowed.
    const std::string name(250, 'n');
    dir.write(name, dir.read("DataFile.dat"));
    TIniFile data(dir.file(name));
    EXPECT_THROW(storeFiring(data, handOff, readFiring(data, 1, false)), IniWriteError);
    EXPECT_EQ(readHandOff(handOff).msg, "AutoShutDownWindows");
    EXPECT_TRUE(std::filesystem::exists(handOff));
}

// The missed list's rows, oldest first as given, with the advance prefix and
// the mode's caption; every item marked in one change of the file, none
// that the file no longer holds.
TEST_F(FireItem, TakeMissedGivesTheRowsAndMarksTheItemsOnce) {
    {
        TIniFile data(dataPath);
        data.WriteInteger("Item2", "MindMethod", 9);
        data.WriteString("Item2", "Message", "开会");
        data.UpdateFile();
    }
    TIniFile data(dataPath);
    std::vector<MissedRow> rows{{"kept", "", ""}};
    takeMissed(data,
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
    const TIniFile back(dataPath);
    EXPECT_TRUE(back.ReadBool("Item1", "ReMinded", false));
    EXPECT_TRUE(back.ReadBool("Item2", "ReMinded", false));
    EXPECT_FALSE(back.hasSection("Item3"));
}

} // namespace
} // namespace kelvo::test
