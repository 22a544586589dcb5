#include "editors/QuickPhrases.h"
#include "core/UserError.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace kelvo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class QuickPhrases : public ::testing::Test {
protected:
    std::string path() const { return m_dir.file("FastFinish.ini"); }
    void write(const std::string& bytes) const { m_dir.write("FastFinish.ini", bytes); }
    std::string read() const { return m_dir.read("FastFinish.ini"); }

    test::TempDir m_dir;
};

TEST_F(QuickPhrases, EveryKindOfLineBreakEndsAPhrase) {
    write("a\r\nb\rc\nd");
    EXPECT_THAT(loadQuickPhrases(path()), ElementsAre("a", "b", "c", "d"));
    write("one\ntwo\n");
    const auto lfOnly = loadQuickPhrases(path());
    write("one\r\ntwo\r\n");
    EXPECT_EQ(loadQuickPhrases(path()), lfOnly);
    EXPECT_THAT(lfOnly, ElementsAre("one", "two"));
}

TEST_F(QuickPhrases, PhrasesKeepTheirBlanksAndEmptyLinesStay) {
    write(" lead\r\n\r\ntrail \r\n\n");
    EXPECT_THAT(loadQuickPhrases(path()), ElementsAre(" lead", "", "trail ", ""));
}

TEST_F(QuickPhrases, MissingOrEmptyFileHasNoPhrases) {
    EXPECT_THAT(loadQuickPhrases(path()), IsEmpty());
    EXPECT_EQ(loadQuickPhraseText(path()), "");
    write("");
    EXPECT_THAT(loadQuickPhrases(path()), IsEmpty());
}

TEST_F(QuickPhrases, FileIsGbkOnDisk) {
    write("\xCC\xE1\xD0\xD1\r\n"); // 提醒
    EXPECT_THAT(loadQuickPhrases(path()), ElementsAre("提醒"));
    saveQuickPhrases(path(), "开会\r\n");
    EXPECT_EQ(read(), "\xBF\xAA\xBB\xE1\r\n");
}

TEST_F(QuickPhrases, FileSavedAsUtf8ReadsAsUtf8AndIsSavedInGbk) {
    write("\xEF\xBB\xBF开会\r\n吃药\n");
    EXPECT_THAT(loadQuickPhrases(path()), ElementsAre("开会", "吃药"));
    write("开会\r\n吃药");
    EXPECT_EQ(loadQuickPhraseText(path()), "开会\r\n吃药");
    saveQuickPhrases(path(), loadQuickPhraseText(path()));
    EXPECT_EQ(read(), "\xBF\xAA\xBB\xE1\r\n\xB3\xD4\xD2\xA9");
}

TEST_F(QuickPhrases, EditorTextHasUniformBreaksAndKeepsTheFinalOne) {
    write("a\nb\rc\r\n");
    EXPECT_EQ(loadQuickPhraseText(path()), "a\r\nb\r\nc\r\n");
    write("a\n\nb");
    EXPECT_EQ(loadQuickPhraseText(path()), "a\r\n\r\nb");
}

TEST(RemoveEmptyLines, DropsEmptyLinesWithTheirBreaks) {
    EXPECT_EQ(removeEmptyLines("a\r\n\r\nb\r\n\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(removeEmptyLines("\r\n\r\na"), "a");
    EXPECT_EQ(removeEmptyLines("a\r\n\r\nb"), "a\r\nb");
    EXPECT_EQ(removeEmptyLines("\r\n"), "");
    EXPECT_EQ(removeEmptyLines(""), "");
}

TEST(RemoveEmptyLines, KeepsBlankLinesAndTheFinalBreak) {
    EXPECT_EQ(removeEmptyLines("a\r\n  \r\nb\r\n"), "a\r\n  \r\nb\r\n");
    EXPECT_EQ(removeEmptyLines(" x"), " x");
}

TEST_F(QuickPhrases, SaveWritesTheTextByteForByte) {
    saveQuickPhrases(path(), "a\r\nb");
    EXPECT_EQ(read(), "a\r\nb");
    saveQuickPhrases(path(), "");
    EXPECT_EQ(read(), "");
    EXPECT_THAT(loadQuickPhrases(path()), IsEmpty());
}

TEST_F(QuickPhrases, FailingSaveNamesThePathAndTheReason) {
    // A directory where the file should be: replacing it fails even for root.
    std::filesystem::create_directory(path());
    try {
        saveQuickPhrases(path(), "x\r\n");
        FAIL() << "saving over a directory succeeded";
    } catch (const UserError& e) {
        // In the user's language, with the path.
        EXPECT_EQ(e.path(), path());
        EXPECT_EQ(std::string(e.what()), "无法写入 " + path() + "：这是一个文件夹");
    }
    EXPECT_TRUE(std::filesystem::is_directory(path()));
}

} // namespace
} // namespace kelvo
