#include "storage/IniFile.h"

#include "storage/TextCodec.h"
#include "support/TempDir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kelvo {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("Test.ini");
};

TEST(IniInteger, ParsesDecimalHexAndRejectsTheRest) {
    EXPECT_EQ(parseIniInteger("12"), 12);
    EXPECT_EQ(parseIniInteger(" 12"), 12);
    EXPECT_EQ(parseIniInteger("-5"), -5);
    EXPECT_EQ(parseIniInteger("+7"), 7);
    EXPECT_EQ(parseIniInteger("007"), 7);
    EXPECT_EQ(parseIniInteger("0"), 0);
    EXPECT_EQ(parseIniInteger("$1F"), 31);
    EXPECT_EQ(parseIniInteger("0x1F"), 31);
    EXPECT_EQ(parseIniInteger("X1f"), 31);
    EXPECT_EQ(parseIniInteger("-0x10"), -16);
    EXPECT_EQ(parseIniInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(parseIniInteger("-$FFFFFFFF"), 1);
    EXPECT_EQ(parseIniInteger("$0000000080000000"), INT32_MIN);
    EXPECT_EQ(parseIniInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(parseIniInteger("2147483647"), INT32_MAX);
    for (const char* bad : {"12abc", "", "abc", "2147483648", "-2147483649", "-", "+", "$", "0x",
                            "1 ", "\t1", "$100000000", "1.5", "--1", "99999999999999999999"})
        EXPECT_EQ(parseIniInteger(bad), std::nullopt) << bad;
}

TEST_F(IniFileTest, MissingFileReadsDefaultsAndOneWriteCreatesIt) {
    {
        TIniFile ini(path);
        EXPECT_EQ(ini.ReadString("Sys", "User", "dflt"), "dflt");
        EXPECT_EQ(ini.ReadInteger("Sys", "TimeLate", 5), 5);
        EXPECT_TRUE(ini.ReadBool("Sys", "ShowMainForm", true));
        EXPECT_EQ(ini.sectionCount(), 0);
        EXPECT_FALSE(fs::exists(path));
        ini.WriteInteger("Sys", "TimeLate", 7);
        EXPECT_FALSE(fs::exists(path)); // in memory until stored
    }
    EXPECT_EQ(dir.read("Test.ini"), "[Sys]\r\nTimeLate=7\r\n");
}

TEST_F(IniFileTest, TypedReadsFollowTheIntegerRules) {
    dir.write("Test.ini", "[S]\nA=12abc\nB=\nC=$1F\nT1=1\nT2=2\nT3=-1\nF=0\nY=yes\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("S", "A", 9), 9);
    EXPECT_EQ(ini.ReadInteger("S", "B", 9), 9);
    EXPECT_EQ(ini.ReadString("S", "B", "dflt"), ""); // empty value is not the default
    EXPECT_EQ(ini.ReadInteger("S", "C", 9), 31);
    for (const char* key : {"T1", "T2", "T3"})
        EXPECT_TRUE(ini.ReadBool("S", key, false)) << key;
    EXPECT_FALSE(ini.ReadBool("S", "F", true));
    EXPECT_TRUE(ini.ReadBool("S", "Y", true));
    EXPECT_FALSE(ini.ReadBool("S", "Y", false));
    ini.WriteInteger("S", "N", INT32_MIN);
    ini.WriteBool("S", "B1", true);
    EXPECT_EQ(ini.ReadString("S", "N", ""), "-2147483648");
    EXPECT_EQ(ini.ReadString("S", "B1", ""), "1");
}

TEST_F(IniFileTest, NamesMatchWithoutRegardToAsciiCase) {
    TIniFile ini(path);
    ini.WriteInteger("Item3", "ReMinded", 1);
    EXPECT_EQ(ini.ReadInteger("item3", "Reminded", 0), 1);
    EXPECT_EQ(ini.ReadInteger("ITEM3", "REMINDED", 0), 1);
    ini.WriteInteger("iTEM3", "reminded", 0);
    ini.UpdateFile();
    EXPECT_EQ(dir.read("Test.ini"), "[Item3]\r\nReMinded=0\r\n"); // first spelling stays
    ini.WriteString("提醒", "消息", "值");
    EXPECT_EQ(ini.ReadString("提醒", "消息", ""), "值");
}

TEST_F(IniFileTest, RewriteKeepsPositionsAndAppendsNewKeysToTheirSection) {
    dir.write("Test.ini", "[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
    {
        TIniFile ini(path);
        ini.WriteString("A", "x", "10");
        ini.WriteString("A", "new", "n");
        ini.WriteString("C", "k", "v");
    }
    EXPECT_EQ(dir.read("Test.ini"),
              "[A]\r\nx=10\r\ny=2\r\nnew=n\r\n\r\n[B]\r\nz=3\r\n[C]\r\nk=v\r\n");
}

TEST_F(IniFileTest, SectionReaderReadsAsTheFileDoes) {
    dir.write("Test.ini", "[A]\r\nX=12\r\nHex=$1F\r\nBad=1x\r\nOn=2\r\nS=\xCC\xE1\xD0\xD1\r\nE=\r\n"
                          "Long=" +
                              std::string(3000, 'z') + "\r\n[B]\r\nX=2\r\n");
    TIniFile ini(path);
    const IniSectionReader a = ini.section("a");
    EXPECT_EQ(a.ReadInteger("x", 0), 12);
    EXPECT_EQ(a.ReadInteger("Hex", 0), 31);
    EXPECT_EQ(a.ReadInteger("Bad", 7), 7);
    EXPECT_EQ(a.ReadInteger("Missing", 7), 7);
    EXPECT_TRUE(a.ReadBool("On", false));
    EXPECT_EQ(a.ReadString("S", ""), "提醒");
    EXPECT_EQ(a.ReadString("E", "dflt"), "");
    EXPECT_EQ(a.ReadString("Missing", "dflt"), "dflt");
    EXPECT_EQ(a.ReadString("Long", "").size(), 2047u);
    EXPECT_EQ(ini.section("B").ReadInteger("X", 0), 2);
}

TEST_F(IniFileTest, SectionReaderSeesWritesMadeAfterIt) {
    dir.write("Test.ini", "[A]\r\nX=1\r\n");
    TIniFile ini(path);
    const IniSectionReader a = ini.section("A");
    const IniSectionReader c = ini.section("C");
    EXPECT_EQ(c.ReadInteger("X", 9), 9);
    ini.WriteInteger("C", "X", 3); // a section that did not exist when the reader was made
    TIniFile other(path);
    other.WriteString("A", "X", "4");
    other.WriteString("A", "Y", "new");
    EXPECT_EQ(c.ReadInteger("X", 9), 3);
    EXPECT_EQ(a.ReadInteger("X", 0), 4);
    EXPECT_EQ(a.ReadString("Y", ""), "new");
}

TEST_F(IniFileTest, SectionReaderFollowsAnotherProgramsReorderedFile) {
    dir.write("Test.ini", "[A]\r\nX=1\r\n[B]\r\nX=2\r\n");
    TIniFile longLived(path);
    const IniSectionReader b = longLived.section("B");
    EXPECT_EQ(b.ReadInteger("X", 0), 2);
    dir.write("Test.ini", "[B]\r\nX=20\r\n[A]\r\nX=10\r\n");
    TIniFile shortLived(path); // notices the change and reads the file again
    EXPECT_EQ(b.ReadInteger("X", 0), 20);
}

TEST_F(IniFileTest, UnknownLinesAndDuplicatesRoundTrip) {
    const std::string original = "; comment\r\n\r\n[abc\r\n[S]\r\n  key = spaced  \r\nno equals\r\n"
                                 "key=second\r\n[s]\r\nkey=other section\r\n";
    dir.write("Test.ini", original);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "key", ""), "spaced"); // first occurrence wins
    EXPECT_EQ(ini.sectionCount(), 2);
    ini.WriteString("S", "added", "1");
    ini.UpdateFile();
    std::string expected = original;
    expected.insert(expected.find("[s]"), "added=1\r\n");
    EXPECT_EQ(dir.read("Test.ini"), expected);
}

TEST_F(IniFileTest, LongValuesAreCutAtTheReadLimit) {
    TIniFile ini(path);
    ini.WriteString("S", "ascii", std::string(3000, 'a'));
    EXPECT_EQ(ini.ReadString("S", "ascii", ""), std::string(2047, 'a'));
    // 1023 two-byte characters fill 2046 bytes; half of the next one is dropped.
    std::string chinese;
    for (int i = 0; i < 1500; ++i)
        chinese += "提";
    ini.WriteString("S", "chinese", chinese);
    EXPECT_EQ(ini.ReadString("S", "chinese", ""), chinese.substr(0, 1023 * 3));
    ini.WriteString("S", "chinese", "a" + chinese); // now 1023 fit exactly
    EXPECT_EQ(ini.ReadString("S", "chinese", ""), "a" + chinese.substr(0, 1023 * 3));
}

TEST_F(IniFileTest, ObjectsOnOnePathShareOneView) {
    TIniFile first(path);
    TIniFile second(dir.path() + "/./Test.ini");
    first.WriteString("S", "k", "v");
    EXPECT_EQ(second.ReadString("S", "k", ""), "v");
    EXPECT_FALSE(fs::exists(path));
    second.UpdateFile();
    EXPECT_EQ(dir.read("Test.ini"), "[S]\r\nk=v\r\n");
}

TEST_F(IniFileTest, ReadingOrWritingTheSameValueNeverRewritesTheFile) {
    dir.write("Test.ini", "[S]\nk=v\n"); // LF line ends stay as long as nothing changes
    {
        TIniFile ini(path);
        EXPECT_EQ(ini.ReadString("S", "k", ""), "v");
        ini.WriteString("S", "k", "v");
        ini.UpdateFile();
    }
    EXPECT_EQ(dir.read("Test.ini"), "[S]\nk=v\n");
}

TEST_F(IniFileTest, ALineBreakInAValueCannotAddLines) {
    TIniFile ini(path);
    ini.WriteString("S", "k", "a\r\n[Evil]\nx=1");
    ini.UpdateFile();
    EXPECT_EQ(dir.read("Test.ini"), "[S]\r\nk=a  [Evil] x=1\r\n");
}

TEST_F(IniFileTest, NewObjectSeesAChangeMadeByAnotherProgram) {
    dir.write("Test.ini", "[S]\r\nk=1\r\n");
    TIniFile longLived(path);
    EXPECT_EQ(longLived.ReadInteger("S", "k", 0), 1);
    dir.write("Test.ini", "[S]\r\nk=22\r\n");
    EXPECT_EQ(longLived.ReadInteger("S", "k", 0), 1); // no stat per read
    TIniFile shortLived(path);
    EXPECT_EQ(shortLived.ReadInteger("S", "k", 0), 22);
    EXPECT_EQ(longLived.ReadInteger("S", "k", 0), 22);
}

TEST_F(IniFileTest, PendingChangesWinOverAnExternalChange) {
    dir.write("Test.ini", "[S]\r\nk=1\r\n");
    TIniFile longLived(path);
    longLived.WriteInteger("S", "mine", 5);
    dir.write("Test.ini", "[S]\r\nk=22\r\n");
    TIniFile shortLived(path);
    EXPECT_EQ(shortLived.ReadInteger("S", "mine", 0), 5);
}

// A long-lived object (the running program's settings, written every
// minute) writes over no change another program made since it last wrote.
TEST_F(IniFileTest, AWriteStartsFromAnotherProgramsChange) {
    dir.write("Test.ini", "[S]\r\nk=1\r\n");
    TIniFile longLived(path);
    longLived.WriteInteger("S", "k", 2);
    longLived.UpdateFile();
    dir.write("Test.ini", "[S]\r\nk=2\r\n[Sync]\r\nUrl=x\r\n");
    longLived.WriteInteger("S", "k", 3);
    longLived.UpdateFile();
    EXPECT_EQ(dir.read("Test.ini"), "[S]\r\nk=3\r\n[Sync]\r\nUrl=x\r\n");
}

TEST_F(IniFileTest, ReleasedContentIsReadAgainButPendingChangesStay) {
    dir.write("Test.ini", "[A]\r\nX=1\r\n[B]\r\nX=2\r\n");
    TIniFile ini(path);
    const IniSectionReader b = ini.section("B");
    EXPECT_EQ(b.ReadInteger("X", 0), 2);
    ini.releaseContent();
    dir.write("Test.ini", "[B]\r\nX=20\r\n"); // another program, after the release
    EXPECT_EQ(b.ReadInteger("X", 0), 20);
    EXPECT_EQ(ini.ReadInteger("A", "X", 0), 0);

    ini.WriteInteger("A", "X", 7);
    ini.releaseContent(); // holds a change: kept
    EXPECT_EQ(ini.ReadInteger("A", "X", 0), 7);
    ini.UpdateFile();
    EXPECT_EQ(dir.read("Test.ini"), "[B]\r\nX=20\r\n[A]\r\nX=7\r\n");
}

TEST_F(IniFileTest, FailedWriteThrowsLeavesTheFileAndDropsTheChange) {
    // A name so long that no temporary name beside it is allowed.
    const std::string name(250, 'n');
    const std::string original = "[S]\r\nk=old\r\n";
    dir.write(name, original);
    TIniFile ini(dir.file(name));
    ini.WriteString("S", "k", "new");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "new");
    try {
        ini.UpdateFile();
        FAIL() << "no error";
    } catch (const IniWriteError& e) {
        // What a window and kelvoctl say: the file and the reason in Chinese,
        // then the profile layer's own message.
        EXPECT_EQ(std::string(e.what()), "无法写入 " + dir.file(name) + "：文件名太长。\n\n" +
                                             "Unable to write to " + dir.file(name));
        EXPECT_EQ(e.path(), dir.file(name));
        EXPECT_EQ(e.systemError(), ENAMETOOLONG);
    }
    EXPECT_EQ(dir.read(name), original);
    EXPECT_EQ(ini.ReadString("S", "k", ""), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST_F(IniFileTest, WriteIntoAMissingDirectoryOrOverADirectoryFails) {
    fs::create_directory(path);
    for (const std::string& target : {dir.file("missing/Test.ini"), path}) {
        TIniFile ini(target);
        ini.WriteString("S", "k", "v");
        EXPECT_THROW(ini.UpdateFile(), IniWriteError) << target;
        EXPECT_EQ(ini.ReadString("S", "k", "gone"), "gone");
    }
    EXPECT_TRUE(fs::is_directory(path));
    // Destruction cannot report the failure and must not throw.
    EXPECT_NO_THROW({
        TIniFile ini(path);
        ini.WriteString("S", "k", "v");
    });
}

TEST_F(IniFileTest, ReplacementKeepsThePermissions) {
    dir.write("Test.ini", "[S]\r\n");
    ::chmod(path.c_str(), 0640);
    {
        TIniFile ini(path);
        ini.WriteString("S", "k", "v");
    }
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(IniFileTest, HostileContentDoesNotBreakReading) {
    std::string bytes = "\xEF\xBB\xBF[S]\r\nnul=a";
    bytes += '\0';
    bytes += "b\r\nbad=\xFF\xCC\r\nbig=" + std::string(10 << 20, 'x') + "\r\n";
    dir.write("Test.ini", bytes);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "nul", ""), std::string("a\0b", 3));
    EXPECT_EQ(ini.ReadString("S", "bad", ""), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(ini.ReadString("S", "big", "").size(), 2047u);
    ini.WriteString("S", "k", "v");
    ini.UpdateFile();
    EXPECT_TRUE(dir.read("Test.ini").starts_with("[S]\r\nnul=a"));
}

TEST_F(IniFileTest, Utf8FileReadsAsUtf8AndIsWrittenBackWholeInGbk) {
    for (const std::string bom : {"", "\xEF\xBB\xBF"}) {
        dir.write("Test.ini", bom + "[Item1]\r\nMessage=UTF8文件\r\nMusic=/home/u/铃声.wav\r\n");
        TIniFile ini(path);
        EXPECT_EQ(ini.ReadString("Item1", "Message", ""), "UTF8文件");
        ini.WriteInteger("Item1", "ReMinded", 1);
        ini.UpdateFile();
        // Untouched lines too: a file half in one encoding and half in the
        // other would read wrong in either.
        EXPECT_EQ(dir.read("Test.ini"),
                  encodeFileText("[Item1]\r\nMessage=UTF8文件\r\nMusic=/home/u/铃声.wav\r\n"
                                 "ReMinded=1\r\n"));
        EXPECT_EQ(TIniFile(path).ReadString("Item1", "Music", ""), "/home/u/铃声.wav");
    }
}

TEST_F(IniFileTest, AWrittenFileIsNeverTakenForUtf8) {
    // Rare characters whose GB18030 bytes happen to be valid UTF-8 of CJK text.
    const std::string rare = "狻丂";
    ASSERT_TRUE(isUtf8File(encodeFileText("[S]\r\nk=" + rare + "\r\n")));
    {
        TIniFile ini(path);
        ini.WriteString("S", "k", rare);
    }
    const std::string bytes = dir.read("Test.ini");
    EXPECT_TRUE(bytes.starts_with(";")) << bytes; // a comment line ahead of the sections
    EXPECT_FALSE(isUtf8File(bytes));
    EXPECT_EQ(TIniFile(path).ReadString("S", "k", ""), rare);
    {
        TIniFile ini(path);
        ini.WriteString("S", "j", rare);
    }
    EXPECT_EQ(dir.read("Test.ini"), bytes + encodeFileText("j=" + rare + "\r\n"));
    EXPECT_EQ(TIniFile(path).sectionNames(), std::vector<std::string>{"S"});
}

TEST_F(IniFileTest, AHugeSectionKeepsLookupsFast) {
    std::string bytes = "[Big]\r\n";
    for (int i = 0; i < 100000; ++i)
        bytes += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    dir.write("Test.ini", bytes);
    TIniFile ini(path);
    // Quadratic lookups would take minutes here.
    for (int i = 0; i < 100000; ++i)
        ASSERT_EQ(ini.ReadInteger("big", "K" + std::to_string(i), -1), i);
    for (int i = 0; i < 1000; ++i)
        ini.WriteInteger("Big", "new" + std::to_string(i), i);
    EXPECT_EQ(ini.ReadInteger("Big", "new999", -1), 999);
    EXPECT_EQ(ini.ReadInteger("Big", "k5", -1), 5);
}

} // namespace
} // namespace kelvo
