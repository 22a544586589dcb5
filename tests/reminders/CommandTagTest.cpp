#include "reminders/CommandTag.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace kelvo;
using testing::ElementsAre;
using testing::IsEmpty;

TEST(ExtractCommand, TagKindsAndTheTextAfterTheBracket) {
    EXPECT_EQ(extractCommand("[cmd:notepad.exe]"),
              (CommandTag{"notepad.exe", CommandKind::CommandLine}));
    EXPECT_EQ(extractCommand("[cmo:report.doc] for the meeting"),
              (CommandTag{"report.doc for the meeting", CommandKind::ShellOpen}));
    EXPECT_EQ(extractCommand("Call home [cmd:a]b]c"),
              (CommandTag{"abc", CommandKind::CommandLine}));
}

TEST(ExtractCommand, NoTagMeansNoCommand) {
    EXPECT_EQ(extractCommand(""), std::nullopt);
    EXPECT_EQ(extractCommand("just a reminder"), std::nullopt);
    EXPECT_EQ(extractCommand("[CMD:notepad.exe]"), std::nullopt);
    EXPECT_EQ(extractCommand("[Cmo:x]"), std::nullopt);
    EXPECT_EQ(extractCommand("[cmd"), std::nullopt);
    EXPECT_EQ(extractCommand("text [cmd:"), std::nullopt);
    EXPECT_EQ(extractCommand("[cmd:]]]"), std::nullopt);
}

TEST(ExtractCommand, EverySecondTagRepeatsItsTailAndWins) {
    EXPECT_EQ(extractCommand("[cmd:a [cmo:b]"), (CommandTag{"a [cmo:bb", CommandKind::ShellOpen}));
    EXPECT_EQ(extractCommand("[cmo:x][cmd:y]"), (CommandTag{"x[cmd:yy", CommandKind::CommandLine}));
    // An empty tail of the last tag still leaves the first tag's text.
    EXPECT_EQ(extractCommand("[cmd:go [cmo:"), (CommandTag{"go [cmo:", CommandKind::ShellOpen}));
}

TEST(ExtractCommand, ChineseTextAroundTheTagStaysWhole) {
    EXPECT_EQ(extractCommand("开会提醒[cmo:会议记录.doc]请准时"),
              (CommandTag{"会议记录.doc请准时", CommandKind::ShellOpen}));
    EXPECT_EQ(extractCommand("提醒：[cmd:播放器 歌曲.mp3]"),
              (CommandTag{"播放器 歌曲.mp3", CommandKind::CommandLine}));
}

TEST(SplitCommandLine, BlanksSeparateWords) {
    EXPECT_THAT(splitCommandLine("notepad.exe"), ElementsAre("notepad.exe"));
    EXPECT_THAT(splitCommandLine("  ls \t -l   /tmp  "), ElementsAre("ls", "-l", "/tmp"));
    EXPECT_THAT(splitCommandLine(""), IsEmpty());
    EXPECT_THAT(splitCommandLine("   "), IsEmpty());
}

TEST(SplitCommandLine, QuotesGroupWords) {
    EXPECT_THAT(splitCommandLine(R"(player "my song.mp3" --loud)"),
                ElementsAre("player", "my song.mp3", "--loud"));
    EXPECT_THAT(splitCommandLine(R"(a"b c"d)"), ElementsAre("ab cd"));
    EXPECT_THAT(splitCommandLine(R"(echo "say ""hi""")"), ElementsAre("echo", R"(say "hi")"));
    EXPECT_THAT(splitCommandLine(R"(prog "" x)"), ElementsAre("prog", "", "x"));
    EXPECT_THAT(splitCommandLine(R"(prog "open ended)"), ElementsAre("prog", "open ended"));
}

TEST(SplitCommandLine, ShellCharactersAndBackslashesStayLiteral) {
    EXPECT_THAT(splitCommandLine(R"~(echo "a;b" "$(x)" `id` | > C:\dir\f.txt)~"),
                ElementsAre("echo", "a;b", "$(x)", "`id`", "|", ">", R"(C:\dir\f.txt)"));
    EXPECT_THAT(splitCommandLine("打开 会议记录.doc"), ElementsAre("打开", "会议记录.doc"));
}

TEST(OpenTarget, ExistingFilesAndAddressesWithASchemeOpen) {
    const test::TempDir dir;
    dir.write("报告.doc", "x");
    EXPECT_EQ(openTarget("报告.doc", dir.path()), dir.file("报告.doc"));
    EXPECT_EQ(openTarget(" " + dir.file("报告.doc") + " ", "/elsewhere"), dir.file("报告.doc"));
    EXPECT_EQ(openTarget(".", dir.path()), dir.path() + "/"); // a folder
    EXPECT_EQ(openTarget("https://example.org/通知?a=1", dir.path()),
              "https://example.org/通知?a=1");
    EXPECT_EQ(openTarget("mailto:a@example.org", dir.path()), "mailto:a@example.org");
    EXPECT_EQ(openTarget("file:///tmp/x", dir.path()), "file:///tmp/x");
}

TEST(OpenTarget, AnythingElseOpensNothing) {
    const test::TempDir dir;
    // Not an address: a bare name would otherwise become http://report.doc.
    EXPECT_EQ(openTarget("report.doc", dir.path()), std::nullopt);
    EXPECT_EQ(openTarget("www.example.org", dir.path()), std::nullopt);
    EXPECT_EQ(openTarget(R"(C:\资料\合同.pdf)", dir.path()), std::nullopt); // a drive, no scheme
    EXPECT_EQ(openTarget("  ", dir.path()), std::nullopt);
    EXPECT_EQ(openTarget("1http://x", dir.path()), std::nullopt);
}
