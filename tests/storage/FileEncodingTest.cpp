#include "storage/TextCodec.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelvo {
namespace {

// Texts of the program's own kind, one a line, in UTF-8: its captions and
// messages, reminder messages, Chinese dates, lunar names, file paths.
std::vector<std::string> corpus() {
    std::ifstream in(KELVO_GBK_CORPUS);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string itemFile(const std::string& message) {
    return "[Main]\r\nItems=1\r\n[Item1]\r\nYear=2027\r\nMessage=" + message + "\r\n";
}

bool hasWideCharacter(const std::string& utf8) {
    // A lead byte of a sequence of three or four bytes: U+0800 and above.
    for (char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0xE0)
            return true;
    }
    return false;
}

TEST(FileEncoding, GbkTextsOfTheProgramsKindAreNeverTakenForUtf8) {
    const std::vector<std::string> lines = corpus();
    ASSERT_GT(lines.size(), 400u);
    std::string whole;
    std::vector<std::string> wrong;
    for (const std::string& line : lines) {
        const std::string gbk = encodeFileText(line);
        if (isUtf8File(gbk) || isUtf8File(itemFile(gbk)) || isUtf8File(gbk + "\r\n"))
            wrong.push_back(line);
        whole += gbk + "\r\n";
    }
    EXPECT_TRUE(wrong.empty()) << ::testing::PrintToString(wrong);
    EXPECT_FALSE(isUtf8File(whole));
}

TEST(FileEncoding, TheSameTextsSavedAsUtf8AreTakenForUtf8) {
    std::vector<std::string> missed;
    for (const std::string& line : corpus()) {
        if (hasWideCharacter(line) && (!isUtf8File(line) || !isUtf8File(itemFile(line))))
            missed.push_back(line);
    }
    EXPECT_TRUE(missed.empty()) << ::testing::PrintToString(missed);
}

TEST(FileEncoding, NoGbkCharacterAloneIsTakenForUtf8) {
    int checked = 0;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string c{static_cast<char>(lead), static_cast<char>(trail)};
            if (trail == 0x7F || decodeFileText(c) == "\xEF\xBF\xBD")
                continue;
            ++checked;
            EXPECT_FALSE(isUtf8File(itemFile(c)) || isUtf8File(c)) << lead << "/" << trail;
        }
    }
    EXPECT_GT(checked, 23000);
}

TEST(FileEncoding, ByteOrderMarkOrValidUtf8WithChineseIsUtf8) {
    EXPECT_TRUE(isUtf8File("\xEF\xBB\xBF[Sys]\r\n"));
    EXPECT_TRUE(isUtf8File("Message=UTF8文件\r\n"));
    EXPECT_TRUE(isUtf8File("Message=【会议】 周一 9:00\r\n"));
    EXPECT_TRUE(
        isUtf8File("Message=生日快乐❤️🎂\r\n")); // an emoji with its variation selector
    EXPECT_FALSE(isUtf8File("[Sys]\r\nTimeLate=5\r\n"));   // ASCII: the same either way
    EXPECT_FALSE(isUtf8File("Message=\xCC\xE1\xD0\xD1\r\n")); // 提醒 in GBK
    // Latin letters alone are as likely GBK: "é" is the bytes of a hanzi.
    EXPECT_FALSE(isUtf8File("Music=/home/u/Café.wav\r\n"));
    EXPECT_TRUE(isUtf8File("Music=/home/u/Café.wav\r\nMessage=咖啡\r\n"));
    // Valid UTF-8 that reads as no text (C1 controls, private use): GBK.
    EXPECT_FALSE(isUtf8File("Message=\xC2\x80\xE4\xB8\xAD\r\n"));
    EXPECT_FALSE(isUtf8File("Message=\xEE\x80\x80\xE4\xB8\xAD\r\n"));
}

TEST(FileEncoding, Utf8FilesTurnIntoTheFileEncoding) {
    EXPECT_EQ(toFileEncoding("\xEF\xBB\xBF[S]\r\nk=提醒\r\n"), "[S]\r\nk=\xCC\xE1\xD0\xD1\r\n");
    EXPECT_EQ(toFileEncoding("k=提醒 5€\r\n"), "k=\xCC\xE1\xD0\xD1 5\x80\r\n");
    EXPECT_EQ(toFileEncoding("\xEF\xBB\xBFk=\xFF"), "k=" + encodeFileText("\xEF\xBF\xBD"));
    const std::string gbk = "k=\xCC\xE1\xD0\xD1\r\n";
    EXPECT_EQ(toFileEncoding(gbk), gbk);
    EXPECT_EQ(decodeFile(gbk), "k=提醒\r\n");
    EXPECT_EQ(decodeFile("\xEF\xBB\xBFk=提醒\r\n"), "k=提醒\r\n");
}

} // namespace
} // namespace kelvo
