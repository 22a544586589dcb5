#include "exchange/Exchange.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "storage/TextCodec.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kelvo::test {
namespace {

ReminderItem reminder(int32_t day, int32_t hour, int32_t min, std::string message,
                      std::string music = "") {
    ReminderItem r;
    r.year = 0;
    r.month = 0;
    r.day = day;
    r.hour = hour;
    r.min = min;
    r.rdBefore = 10;
    r.mindMethod = 1;
    r.message = std::move(message);
    r.music = std::move(music);
    return r;
}

class Exchange : public ::testing::Test {
protected:
    // A data file holding `count` reminders "r1" … "r<count>" at 8:01, 8:02, …
    void writeData(int count) {
        TIniFile data(dataPath());
        createDataFile(data);
        for (int i = 1; i <= count; ++i)
            appendItem(data, reminder(i, 8, i, "r" + std::to_string(i)), false);
    }
    std::string dataPath() const { return dir.file("DataFile.dat"); }
    std::string exchangePath() const { return dir.file("items.txt"); }

    TempDir dir;
};

TEST_F(Exchange, ImportAppendsAfterTheLastItemWithoutAdvanceOrReminded) {
    writeData(5);
    dir.write("items.txt",
              encodeFileText("[Main]\r\nItems=2\r\n"
                             "[Item1]\r\nYear=2030\r\nMonth=2\r\nDay=3\r\nHour=4\r\nMin=5\r\n"
                             "Reminded=1\r\nRdBefore=20\r\nMindMethod=2\r\nMessage=甲\r\n"
                             "Music=/snd/a.wav\r\n"
                             "[Item2]\r\nMessage=乙\r\n"));
    TIniFile data(dataPath());
    const TIniFile exchange(exchangePath());

    EXPECT_EQ(importItems(data, exchange, ActingItems::AddConfirmed), 2);

    const TIniFile stored(dataPath());
    EXPECT_EQ(storedItemCount(stored), 7);
    const ReminderItem first = readItem(stored, 6, kViewDefaults);
    EXPECT_EQ(first.year, 2030);
    EXPECT_EQ(first.month, 2);
    EXPECT_EQ(first.day, 3);
    EXPECT_EQ(first.hour, 4);
    EXPECT_EQ(first.min, 5);
    EXPECT_FALSE(first.reminded);
    EXPECT_EQ(first.mindMethod, 2);
    EXPECT_EQ(first.message, "甲");
    EXPECT_EQ(first.music, "/snd/a.wav");
    EXPECT_EQ(stored.ReadString("Item6", "RdBefore", "absent"), "absent");
    // Missing keys take the exchange defaults.
    const ReminderItem second = readItem(stored, 7, kListDefaults);
    EXPECT_EQ(second.year, 2000);
    EXPECT_EQ(second.hour, 0);
    EXPECT_EQ(second.min, 0);
    EXPECT_EQ(second.message, "乙");
    EXPECT_EQ(stored.ReadString("Item7", "Music", "absent"), "");
    EXPECT_EQ(readItem(stored, 5, kListDefaults).message, "r5");
}

TEST_F(Exchange, ImportWritesTheKeysInTheirOrder) {
    writeData(0);
    dir.write("items.txt", "[Main]\r\nItems=1\r\n[Item1]\r\nMessage=m\r\nYear=0\r\n");
    TIniFile data(dataPath());
    importItems(data, TIniFile(exchangePath()), ActingItems::AddConfirmed);
    const std::string text = dir.read("DataFile.dat");
    EXPECT_NE(text.find("[Item1]\r\nYear=0\r\nMonth=1\r\nDay=1\r\nHour=0\r\nMin=0\r\nReminded=0\r\n"
                        "MindMethod=0\r\nMessage=m\r\nMusic=\r\n"),
              std::string::npos)
        << text;
}

TEST_F(Exchange, ImportOverwritesALeftOverSectionKeyByKey) {
    writeData(3);
    {
        TIniFile data(dataPath());
        deleteItem(data, 1); // Item3 is left over beyond the count
        data.WriteInteger("Item3", "RdBefore", 15);
        data.UpdateFile();
    }
    dir.write("items.txt", "[Main]\r\nItems=1\r\n[Item1]\r\nMessage=new\r\n");
    TIniFile data(dataPath());
    importItems(data, TIniFile(exchangePath()), ActingItems::AddConfirmed);
    EXPECT_EQ(storedItemCount(data), 3);
    EXPECT_EQ(readItem(data, 3, kListDefaults).message, "new");
    EXPECT_EQ(readItem(data, 3, kListDefaults).rdBefore, 15);
}

TEST_F(Exchange, NothingStatedImportsNothingAndLeavesTheDataFileUntouched) {
    writeData(2);
    const std::string before = dir.read("DataFile.dat");
    for (const std::string& file : {std::string("[Main]\r\nItems=-3\r\n[Item1]\r\nMessage=x\r\n"),
                                    std::string("[Main]\r\nItems=0\r\n[Item1]\r\nMessage=x\r\n"),
                                    std::string("not a profile file\r\n")}) {
        dir.write("items.txt", file);
        TIniFile data(dataPath());
        const TIniFile exchange(exchangePath());
        EXPECT_EQ(importItems(data, exchange, ActingItems::AddConfirmed), 0) << file;
        EXPECT_EQ(dir.read("DataFile.dat"), before) << file;
    }
    EXPECT_EQ(statedExchangeCount(TIniFile(dir.file("missing.txt"))), 0);
    EXPECT_EQ(statedExchangeCount(TIniFile(exchangePath())), 0);
}

TEST_F(Exchange, AHugeCountImportsOnlyTheSectionsHeldInNumberOrder) {
    writeData(1);
    dir.write("items.txt", "[Main]\r\nItems=2147483647\r\n"
                           "[Item1000000]\r\nMessage=c\r\n"
                           "[item3]\r\nMessage=b\r\n"
                           "[Item0]\r\nMessage=sample\r\n"
                           "[Item03]\r\nMessage=padded\r\n"
                           "[Items]\r\nMessage=word\r\n"
                           "[Item1]\r\nMessage=a\r\n"
                           "[ITEM1]\r\nMessage=twice\r\n");
    TIniFile data(dataPath());
    const TIniFile exchange(exchangePath());
    EXPECT_EQ(heldExchangeItems(exchange), (std::vector<int32_t>{1, 3, 1000000}));

    EXPECT_EQ(importItems(data, exchange, ActingItems::AddConfirmed), 3);
    EXPECT_EQ(storedItemCount(data), 4);
    EXPECT_EQ(readItem(data, 2, kListDefaults).message, "a");
    EXPECT_EQ(readItem(data, 3, kListDefaults).message, "b");
    EXPECT_EQ(readItem(data, 4, kListDefaults).message, "c");
    EXPECT_EQ(data.sectionCount(), 6); // Main, Item0 … Item4
}

TEST_F(Exchange, ANewFileWithOneReminderHoldsItsItemThenMain) {
    {
        TIniFile data(dataPath());
        createDataFile(data);
        appendItem(data, reminder(5631, 9, 5, "锻炼"), false);
        data.WriteInteger("Item1", "ReMinded", 1);
    }
    TIniFile exchange(exchangePath());
    exportItems(TIniFile(dataPath()), {1}, exchange);
    EXPECT_EQ(dir.read("items.txt"),
              "[Item1]\r\nYear=0\r\nMonth=0\r\nDay=5631\r\nHour=9\r\nMin=5\r\n"
              "Reminded=0\r\nMindMethod=1\r\nMessage=" +
                  encodeFileText("锻炼") + "\r\nMusic=\r\n[Main]\r\nItems=1\r\n");
}

TEST_F(Exchange, ALunarReminderRoundTripsWithItsKeysAfterTheOthers) {
    ReminderItem midAutumn = reminder(25, 9, 0, "中秋");
    midAutumn.year = 2026, midAutumn.month = 9;
    midAutumn.lunar = LunarRepeat{LunarRepeat::kYearly, 4, 1, true};
    {
        TIniFile data(dataPath());
        createDataFile(data);
        appendItem(data, midAutumn, false);
        appendItem(data, reminder(1, 8, 0, "plain"), false);
    }
    TIniFile exchange(exchangePath());
    exportItems(TIniFile(dataPath()), {1, 2}, exchange);
    const std::string text = dir.read("items.txt");
    EXPECT_NE(text.find("Music=\r\nLunarRepeat=1\r\nLunarMonth=4\r\nLunarDay=1\r\nLunarLeap=1\r\n"
                        "[Item2]"),
              std::string::npos);
    EXPECT_EQ(text.find("Lunar", text.find("[Item2]")), std::string::npos);

    TIniFile data(dataPath());
    importItems(data, TIniFile(exchangePath()), ActingItems::AddConfirmed);
    EXPECT_EQ(readItem(data, 3, kViewDefaults).lunar, midAutumn.lunar);
    EXPECT_EQ(readItem(data, 3, kViewDefaults).year, 2026);
    EXPECT_FALSE(readItem(data, 4, kViewDefaults).lunar.active());
}

TEST_F(Exchange, ExportWritesTheChosenItemsNumberedFromOne) {
    writeData(6);
    {
        TIniFile data(dataPath());
        storeEditedItem(data, 5, reminder(0, 23, 59, "AutoShutDownWindows", "/snd/b.mp3"));
    }
    TIniFile exchange(exchangePath());
    exportItems(TIniFile(dataPath()), {2, 5}, exchange);

    const TIniFile written(exchangePath());
    EXPECT_EQ(statedExchangeCount(written), 2);
    EXPECT_EQ(readItem(written, 1, kViewDefaults).message, "r2");
    EXPECT_EQ(readItem(written, 1, kViewDefaults).min, 2);
    const ReminderItem second = readItem(written, 2, kViewDefaults);
    EXPECT_EQ(second.message, "AutoShutDownWindows");
    EXPECT_EQ(second.music, "/snd/b.mp3");
    EXPECT_EQ(second.hour, 23);
    EXPECT_EQ(written.ReadString("Item2", "RdBefore", "absent"), "absent");
    EXPECT_EQ(written.sectionCount(), 3);
}

TEST_F(Exchange, ExportIntoALargerFileKeepsWhatLiesBeyond) {
    writeData(2);
    dir.write("items.txt", "; my backup\r\n[Item1]\r\nMessage=old1\r\nNote=kept\r\n"
                           "[Item2]\r\nMessage=old2\r\n[Item3]\r\nMessage=old3\r\n"
                           "[Main]\r\nItems=3\r\nOwner=me\r\n");
    TIniFile exchange(exchangePath());
    exportItems(TIniFile(dataPath()), {2}, exchange);

    const std::string text = dir.read("items.txt");
    EXPECT_EQ(text.rfind("; my backup\r\n[Item1]\r\nMessage=r2\r\nNote=kept\r\nYear=0", 0), 0u)
        << text;
    const TIniFile written(exchangePath());
    EXPECT_EQ(statedExchangeCount(written), 1);
    EXPECT_EQ(written.ReadString("Item3", "Message", ""), "old3");
    EXPECT_EQ(written.ReadString("Main", "Owner", ""), "me");
    EXPECT_EQ(heldExchangeItems(written), (std::vector<int32_t>{1}));
}

TEST_F(Exchange, AnExportThatCannotBeStoredThrowsAndLeavesNoFile) {
    writeData(1);
    TIniFile exchange(dir.file("no/such/dir/items.txt"));
    EXPECT_THROW(exportItems(TIniFile(dataPath()), {1}, exchange), IniWriteError);
    EXPECT_EQ(statedExchangeCount(exchange), 0);
}

// A received file: a shutdown at every start, plain and hidden command tags,
// a reversed text, and one harmless reminder.
constexpr const char* kHostileExchange =
    "[Main]\r\nItems=5\r\n"
    "[Item1]\r\nYear=0\r\nMonth=0\r\nDay=0\r\nMindMethod=2\r\nMessage=AutoShutDownWindows\r\n"
    "[Item2]\r\nMindMethod=2\r\nMessage=备份[cmd:sh -c \"rm -rf ~\"]\r\n"
    "[Item3]\r\nMessage=会议                    [cmo:http://x.example]\r\n"
    "[Item4]\r\nMessage=\u202Etxt.exe\r\n"
    "[Item5]\r\nMessage=[CMD:not a tag]\r\n";

TEST_F(Exchange, ActingItemsAreTheShutdownsAndTheCommandTags) {
    dir.write("items.txt", encodeFileText(kHostileExchange));
    const std::vector<ActingItem> acting = actingExchangeItems(TIniFile(exchangePath()));
    ASSERT_EQ(acting.size(), 3u);
    EXPECT_EQ(acting[0].number, 1);
    EXPECT_TRUE(acting[0].shutdown);
    EXPECT_FALSE(acting[0].command);
    EXPECT_EQ(acting[1].number, 2);
    EXPECT_EQ(acting[1].command, (CommandTag{"sh -c \"rm -rf ~\"", CommandKind::CommandLine}));
    EXPECT_EQ(acting[2].number, 3);
    EXPECT_EQ(acting[2].command->kind, CommandKind::ShellOpen);
}

TEST_F(Exchange, SkippingLeavesOutOnlyTheActingItems) {
    writeData(1);
    dir.write("items.txt", encodeFileText(kHostileExchange));
    TIniFile data(dataPath());
    EXPECT_EQ(importItems(data, TIniFile(exchangePath()), ActingItems::Skip), 2);
    const TIniFile stored(dataPath());
    EXPECT_EQ(storedItemCount(stored), 3);
    EXPECT_EQ(readItem(stored, 2, kViewDefaults).message, "\u202Etxt.exe");
    EXPECT_EQ(readItem(stored, 3, kViewDefaults).message, "[CMD:not a tag]");
    for (int32_t k = 1; k <= 3; ++k)
        EXPECT_TRUE(commandMayRunUnattended(stored, k));
}

// Imported commands carry a mark of their own, which a plain reader never sees;
// an unconfirmed one runs unattended only after the user ran it once.
TEST_F(Exchange, ImportedCommandsAreMarkedAsConfirmedOrNot) {
    dir.write("items.txt", encodeFileText(kHostileExchange));
    for (const ActingItems acting : {ActingItems::AddConfirmed, ActingItems::AddUnconfirmed}) {
        std::filesystem::remove(dataPath());
        writeData(1);
        TIniFile data(dataPath());
        EXPECT_EQ(importItems(data, TIniFile(exchangePath()), acting), 5);
        const Imported expected =
            acting == ActingItems::AddConfirmed ? Imported::Confirmed : Imported::Unconfirmed;
        const TIniFile stored(dataPath());
        EXPECT_EQ(readImported(stored, 2), Imported::No); // the shutdown: no command
        EXPECT_EQ(readImported(stored, 3), expected);     // [cmd:
        EXPECT_EQ(readImported(stored, 4), expected);     // [cmo:
        EXPECT_EQ(readImported(stored, 5), Imported::No);
        EXPECT_EQ(stored.ReadString("Item5", "Imported", "absent"), "absent");
        EXPECT_EQ(commandMayRunUnattended(stored, 3), acting == ActingItems::AddConfirmed);
    }
    TIniFile data(dataPath());
    confirmCommand(data, 3);
    EXPECT_EQ(readImported(TIniFile(dataPath()), 3), Imported::Confirmed);
    EXPECT_EQ(readImported(TIniFile(dataPath()), 4), Imported::Unconfirmed);
}

// The mark belongs to its reminder: a delete moves it along, and a new
// reminder in a left-over section does not inherit it.
TEST_F(Exchange, TheImportMarkMovesWithItsReminder) {
    writeData(1);
    dir.write("items.txt", encodeFileText(kHostileExchange));
    TIniFile data(dataPath());
    importItems(data, TIniFile(exchangePath()), ActingItems::AddUnconfirmed);
    deleteItem(data, 1);
    EXPECT_EQ(readImported(TIniFile(dataPath()), 2), Imported::Unconfirmed);
    EXPECT_EQ(readImported(TIniFile(dataPath()), 4), Imported::No);
    EXPECT_EQ(readImported(TIniFile(dataPath()), 6), Imported::No);
    // A section beyond the count that still holds the mark.
    dir.write("DataFile.dat", encodeFileText("[Main]\r\nItems=1\r\n[Item1]\r\nMessage=a\r\n"
                                             "[Item2]\r\nMessage=[cmd:x]\r\nImported=1\r\n"));
    TIniFile leftOver(dataPath());
    appendItem(leftOver, reminder(1, 9, 0, "[cmd:mine]"), false);
    EXPECT_TRUE(commandMayRunUnattended(TIniFile(dataPath()), 2));
}

} // namespace
} // namespace kelvo::test
