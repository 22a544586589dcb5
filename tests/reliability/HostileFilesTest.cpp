// Damaged and hostile data, settings, hand-off, exchange and quick phrase
// files: every reader lists what can be listed, bounds its work by what the
// file holds, and a later write keeps the rest of the file byte for byte.
#include "core/Clock.h"
#include "editors/QuickPhrases.h"
#include "exchange/Exchange.h"
#include "reminders/ItemTexts.h"
#include "reminders/ReminderEngine.h"
#include "reminders/ReminderList.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"
#include "storage/ReminderFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>

using namespace std::string_literals;

namespace kelvo {
namespace {

using test::TempDir;

const std::string kMega(1 << 20, 'v');
const std::string kTenMegabytes = [] {
    std::string s;
    for (int i = 0; i < 10; ++i)
        s += kMega;
    return s;
}();

std::string item(int k, std::string_view body) {
    return "[Item" + std::to_string(k) + "]\r\n" + std::string(body);
}

class HostileFiles : public ::testing::Test {
protected:
    // Writes the data file and returns what the list makes of it.
    ReminderList listOf(const std::string& bytes) {
        dir.write("DataFile.dat", bytes);
        return loadReminderList(TIniFile(data));
    }
    // A write elsewhere in the file keeps every other byte as it was.
    void expectKeptAround(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
        {
            TIniFile ini(path);
            ini.WriteString("Added", "Key", "1");
        }
        std::ifstream in(path, std::ios::binary);
        const std::string after{std::istreambuf_iterator<char>(in), {}};
        EXPECT_TRUE(after.starts_with(bytes)) << path;
        EXPECT_EQ(after.size(), bytes.size() + std::string("[Added]\r\nKey=1\r\n").size());
    }

    TempDir dir;
    std::string data = dir.file("DataFile.dat");
};

TEST_F(HostileFiles, CountBeyondTheSectionsListsOnlyUpToThem) {
    const std::string two = item(1, "Message=one\r\n") + item(2, "Message=two\r\n");
    const ReminderList list = listOf("[Main]\r\nItems=2147483647\r\n" + two);
    ASSERT_EQ(list.count(), 3); // Item1, Item2, and one more read as the list defaults
    EXPECT_TRUE(list.lines[1].ends_with("two"));
    EXPECT_TRUE(list.lines[2].ends_with("提醒为：Message"));

    TIniFile file(data);
    EXPECT_EQ(appendItem(file, ReminderItem{}, false), 3); // after the last item held
    deleteItem(file, 1);
    EXPECT_EQ(storedItemCount(file), 2);
    EXPECT_EQ(file.ReadString("Item1", "Message", ""), "two");
}

TEST_F(HostileFiles, NegativeOrUnreadableCountListsNothingAndAddsItemOne) {
    for (const char* count : {"-1", "-2147483648", "2147483648", "abc", ""}) {
        SCOPED_TRACE(count);
        EXPECT_EQ(
            listOf(std::string("[Main]\r\nItems=") + count + "\r\n" + item(1, "Message=x\r\n"))
                .count(),
            0);
        TIniFile file(data);
        deleteItem(file, 1); // outside the items: nothing happens
        EXPECT_EQ(file.ReadString("Item1", "Message", ""), "x");
        EXPECT_EQ(appendItem(file, ReminderItem{}, false), 1);
    }
}

TEST_F(HostileFiles, TenMegabyteValuesAreCutForReadersAndKeptInTheFile) {
    const std::string bytes =
        "[Main]\r\nItems=1\r\n" + item(1, "Message=" + kTenMegabytes + "\r\n");
    const ReminderList list = listOf(bytes);
    ASSERT_EQ(list.count(), 1);
    EXPECT_LT(list.lines[0].size(), 2200u);
    EXPECT_EQ(readFiring(TIniFile(data), 1, false).text.size(), 2047u);
    expectKeptAround(data, bytes);
}

TEST_F(HostileFiles, BrokenLinesNulBytesAndInvalidTextReadAndSurviveAWrite) {
    const std::string bytes = "no section\r\n[Main]\r\nItems=3\r\nline without equals\r\n" +
                              item(1, "Message=a\0b\r\n"s) + "[Item2\r\nMessage=hidden\r\n" +
                              item(3, "Message=\x81\x30\xFF\x80\xD6\xD0\r\n");
    const ReminderList list = listOf(bytes);
    ASSERT_EQ(list.count(), 3);
    EXPECT_TRUE(list.lines[0].ends_with("a␀b")); // the list shows the NUL, the file keeps it
    EXPECT_TRUE(list.lines[1].ends_with("提醒为：Message")); // "[Item2" opens no section
    // An invalid lead byte is one replacement character; reading goes on after it.
    EXPECT_TRUE(list.lines[2].ends_with("\xEF\xBF\xBD"
                                        "0\xEF\xBF\xBD€中"))
        << list.lines[2];
    expectKeptAround(data, bytes);
}

TEST_F(HostileFiles, ASectionThatOccursTwiceIsAlwaysReadFromItsFirstOccurrence) {
    dir.write("DataFile.dat", "[Main]\r\nItems=2\r\n" + item(1, "Message=first\r\n") +
                                  item(2, "Message=two\r\n") + item(1, "Message=second\r\n"));
    const TIniFile file(data);
    // Reads in any order: the neighbour of a section read last is no shortcut
    // to a later copy of another one.
    for (int k : {1, 2, 1, 2, 1})
        EXPECT_EQ(file.ReadString(itemSection(k), "Message", ""), k == 1 ? "first" : "two");
    EXPECT_EQ(file.section("Item1").ReadString("Message", ""), "first");
}

TEST_F(HostileFiles, ByteOrderMarkDoesNotHideTheFirstSection) {
    const std::string text = "[Main]\r\nItems=1\r\n" + item(1, "Message=x\r\n");
    EXPECT_EQ(listOf("\xEF\xBB\xBF" + text).count(), 1);
    // The mark tells a UTF-8 file, which is written back without it.
    dir.write("DataFile.dat", "\xEF\xBB\xBF" + text);
    TIniFile(data).WriteString("Added", "Key", "1");
    EXPECT_EQ(dir.read("DataFile.dat"), text + "[Added]\r\nKey=1\r\n");
    dir.write("Config.ini", "\xEF\xBB\xBF[Sys]\r\nTimeLate=7\r\n");
    EXPECT_EQ(settings::TimeLate.read(TIniFile(dir.file("Config.ini"))), 7);
}

TEST_F(HostileFiles, FiftyMegabyteDataFileListsEveryItemWithCutMessages) {
    constexpr int kItems = 20'000;
    const std::string message(2500, 'm');
    std::string bytes = "[Main]\r\nItems=" + std::to_string(kItems) + "\r\n";
    bytes.reserve(52u << 20);
    for (int k = 1; k <= kItems; ++k)
        bytes += item(k, "Year=0\r\nMonth=0\r\nDay=0\r\nHour=8\r\nMin=0\r\nMessage=" + message +
                             "\r\nMusic=" + message + "\r\n");
    ASSERT_GT(bytes.size(), 50u << 20) << "the file is smaller than meant";
    const ReminderList list = listOf(bytes);
    ASSERT_EQ(list.count(), kItems);
    EXPECT_TRUE(list.lines.back().ends_with("提醒为：" + message.substr(0, 2047)));
}

// Integers at and past the 32-bit limits reach every reader unchanged, and
// none of them overflows (the sanitizer build shows it).
constexpr int32_t kExtremes[] = {INT32_MIN, -1, 0, 7, 99, 1000, 40000, INT32_MAX};

ReminderItem extremeItem(int32_t v) {
    ReminderItem it;
    it.year = it.month = it.day = it.hour = it.min = it.rdBefore = it.mindMethod = v;
    it.message = "m";
    return it;
}

TEST(ExtremeIntegers, ListLineAndViewTextsShowThemAsStored) {
    ReminderItem it = extremeItem(INT32_MIN);
    it.day = 40000; // weekday bits of Wednesday, Thursday and Friday, and one beyond Sunday
    EXPECT_EQ(listLine(it), "-2147483648 年 -2147483648 月 周三四五-2147483648 时 "
                            "-2147483648 分 -2147483648 方式，提醒为：m");
    it = extremeItem(INT32_MAX);
    EXPECT_EQ(listLine(it), "2147483647 年 2147483647 月 周一二三四五六日2147483647 时 "
                            "2147483647 分 2147483647 方式，提醒为：m");
    const ViewTexts view = viewTexts(extremeItem(-1));
    EXPECT_EQ(view.day, "-1");
    EXPECT_EQ(view.hour, "-1");
    EXPECT_FALSE(viewTexts(extremeItem(7)).mindMethod.has_value());
}

TEST(ExtremeIntegers, EngineFiresOnlyTimesThatExistAndNeverOverflows) {
    for (int32_t v : kExtremes) {
        SCOPED_TRACE(v);
        ManualClock clock(DateTime{Date{2026, 12, 9}, 23, 59, 0});
        std::vector<std::pair<int32_t, bool>> fired;
        ReminderEngine engine(clock, {[&](int32_t k, const FiringTime& f) {
                                  fired.push_back({k, f.advance()});
                              }});
        // Every day: hour 99 and minute -1 with the value as advance and
        // method, and the value in every field.
        engine.setItems({ItemSchedule{0, 0, 0, 99, -1, v, v}, ItemSchedule{0, 0, 0, v, v, v, v}});
        for (int i = 0; i < 24 * 60; ++i) {
            clock.advanceMinutes(1);
            engine.minuteCheck();
        }
        engine.startCheck();
        using Firings = std::vector<std::pair<int32_t, bool>>;
        if (v == 0)
            EXPECT_EQ(fired, (Firings{{2, false}})); // 00:00
        else if (v == 7)
            EXPECT_EQ(fired, (Firings{{2, true}, {2, false}})); // 07:00 in advance, 07:07
        else
            EXPECT_EQ(fired, Firings{});
    }
}

TEST(ExtremeIntegers, WeekdayCodeBeyondTheWeekMatchesByItsBitsAndMethodSevenIsPrecise) {
    ManualClock clock(DateTime{Date{2026, 12, 9}, 10, 0, 0}); // Wednesday
    int fired = 0;
    ReminderEngine engine(clock, {[&](int32_t, const FiringTime&) { ++fired; }});
    engine.setItems({ItemSchedule{0, 0, 40000, 10, 0, 0, 7}});
    engine.startCheck();
    EXPECT_EQ(fired, 0);
    engine.minuteCheck();
    EXPECT_EQ(fired, 1); // the set time only, not a second on-the-hour firing
    clock.set(DateTime{Date{2026, 12, 8}, 10, 0, 0}); // Tuesday
    engine.minuteCheck();
    EXPECT_EQ(fired, 1);
}

TEST_F(HostileFiles, DeleteAndEveryReaderCarryExtremeValuesUnchanged) {
    std::string keys;
    for (const char* key :
         {"Year", "Month", "Day", "Hour", "Min", "Reminded", "RdBefore", "MindMethod"})
        keys += std::string(key) + "=-2147483648\r\n";
    dir.write("DataFile.dat", "[Main]\r\nItems=2\r\n" + item(1, "Message=gone\r\n") +
                                  item(2, keys + "Message=kept\r\n"));
    TIniFile file(data);
    deleteItem(file, 1);
    for (const ItemDefaults* defaults : {&kListDefaults, &kViewDefaults, &kEditDefaults}) {
        const ReminderItem it = readItem(file, 1, *defaults);
        EXPECT_EQ(it.year, INT32_MIN);
        EXPECT_EQ(it.min, INT32_MIN);
        EXPECT_EQ(it.rdBefore, INT32_MIN);
        EXPECT_EQ(it.mindMethod, INT32_MIN);
        EXPECT_TRUE(it.reminded);
        EXPECT_EQ(it.message, "kept");
    }
}

TEST_F(HostileFiles, SettingsAndHandOffReadStoredValuesAsTheyAre) {
    const std::string config = dir.file("Config.ini");
    dir.write("Config.ini", "[Sys]\r\nTimeLate=2147483647\r\nAutoCloseShowBoxMin=-2147483648\r\n"
                            "TimeFormABV=99999999999\r\nMusic=" +
                                kTenMegabytes + "\r\n[ShowMsg\r\nFormLeft=5\r\n");
    {
        const TIniFile ini(config);
        EXPECT_EQ(settings::TimeLate.read(ini), INT32_MAX);
        EXPECT_EQ(settings::AutoCloseShowBoxMin.read(ini), INT32_MIN);
        EXPECT_EQ(settings::TimeFormABV.read(ini), 128); // past 32 bits: the default
        EXPECT_EQ(settings::Music.read(ini).size(), 2047u);
        EXPECT_EQ(readWindowPos(ini, positions::ShowMsg), WindowPos{});
        EXPECT_EQ(settings::TimeLate.clamp(settings::TimeLate.read(ini)), 100);
    }
    const std::string tmp = dir.file("TmpFile.tmp");
    dir.write("TmpFile.tmp", "\xEF\xBB\xBF[View]\r\nItem=2147483647\r\n[Edit]\r\nItem=-1\r\n"
                             "[Remind]\r\nMsg=" +
                                 kTenMegabytes + "\r\nMusic=\0\r\n"s);
    EXPECT_EQ(readHandOffItem(tmp, "View"), INT32_MAX);
    EXPECT_EQ(readHandOffItem(tmp, "Edit"), -1);
    EXPECT_EQ(readHandOff(tmp).msg.size(), 2047u);
    EXPECT_EQ(readHandOff(tmp).music, "\0"s);
    // The dialogs then show an item that does not exist: the view defaults.
    EXPECT_EQ(readItem(TIniFile(data), INT32_MAX, kViewDefaults).year, 2000);
}

TEST_F(HostileFiles, ExchangeFilesImportOnlyTheSectionsTheyHold) {
    const std::string exchangePath = dir.file("in.txt");
    TIniFile file(data);
    createDataFile(file);
    struct Case {
        std::string bytes;
        int32_t imported;
    };
    const Case cases[] = {
        {"[Main]\r\nItems=2147483647\r\n" + item(1, "Message=a\r\n") + item(3, "Message=b\r\n"), 2},
        {"[Main]\r\nItems=-5\r\n" + item(1, "Message=a\r\n"), 0},
        {"\xEF\xBB\xBF[Main]\r\nItems=1\r\n" + item(1, "Message=" + kTenMegabytes + "\r\n"), 1},
        {"[Main]\r\nItems=9\r\n[Item0]\r\n[Item01]\r\n[Item-1]\r\n[Item1\r\n[ITEM2]\r\nYear=x\r\n",
         1},
        {"[Main]\r\nItems=1\r\nno equals\r\n" + item(1, "Message=\0\x81\r\n"s), 1},
    };
    int32_t total = 0;
    for (const Case& c : cases) {
        std::ofstream(exchangePath, std::ios::binary) << c.bytes;
        EXPECT_EQ(importItems(file, TIniFile(exchangePath), ActingItems::AddConfirmed), c.imported);
        total += c.imported;
        EXPECT_EQ(storedItemCount(file), total);
    }
    EXPECT_EQ(readItem(file, 3, kListDefaults).message.size(), 2047u);
    EXPECT_EQ(readItem(file, 4, kListDefaults).year, 2000); // "x" reads as the default
}

TEST_F(HostileFiles, QuickPhraseFilesLoadWhateverTheyHold) {
    const std::string path = dir.file("FastFinish.ini");
    dir.write("FastFinish.ini", kTenMegabytes + "\r\n\0nul\r\n\x81\x30\xFF\r\n"s);
    const std::vector<std::string> phrases = loadQuickPhrases(path);
    ASSERT_EQ(phrases.size(), 3u);
    EXPECT_EQ(phrases[0].size(), kTenMegabytes.size()); // phrases have no length limit
    EXPECT_EQ(phrases[1], "\0nul"s);
    EXPECT_EQ(phrases[2], "\xEF\xBF\xBD"
                          "0\xEF\xBF\xBD");
}

} // namespace
} // namespace kelvo
