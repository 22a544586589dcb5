#include "storage/TextCodec.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

TEST(TextCodec, GbkChineseRoundTripsByteForByte) {
    const std::string gbk = "\xCC\xE1\xD0\xD1"; // 提醒 in GBK
    EXPECT_EQ(decodeFileText(gbk), "提醒");
    EXPECT_EQ(encodeFileText("提醒"), gbk);
    EXPECT_EQ(encodeFileText("提前提醒：abc"), "\xCC\xE1\xC7\xB0\xCC\xE1\xD0\xD1\xA3\xBA"
                                               "abc");
}

TEST(TextCodec, EmojiAndRareIdeographsSurviveInFourBytes) {
    const std::string smile = encodeFileText("\xF0\x9F\x98\x80"); // U+1F600
    EXPECT_EQ(smile, "\x94\x39\xFC\x36");
    EXPECT_EQ(decodeFileText(smile), "\xF0\x9F\x98\x80");
    const std::string rare = "\xF0\xA0\x80\x80"; // U+20000, CJK extension B
    EXPECT_EQ(decodeFileText(encodeFileText(rare)), rare);
}

TEST(TextCodec, EuroSignIsTheSingleByte80) {
    EXPECT_EQ(encodeFileText("5€"), "5\x80");
    EXPECT_EQ(decodeFileText("5\x80"), "5€");
    EXPECT_EQ(decodeFileText("\xCC\xE1\x80\xD0\xD1"), "提\xE2\x82\xAC"
                                                      "\xE9\x86\x92");
    EXPECT_EQ(decodeFileText("\xA2\xE3"), "€"); // the GB18030 two-byte form reads the same
}

TEST(TextCodec, InvalidBytesDecodeAsReplacementAndContinue) {
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(decodeFileText("a\xFF"
                             "b"),
              "a" + fffd + "b");
    EXPECT_EQ(decodeFileText("ab\xCC"), "ab" + fffd); // cut-off two-byte character
    EXPECT_EQ(decodeFileText("\xCC\x0A"
                             "x"),
              fffd + "\nx");                           // lead byte before a control
    EXPECT_EQ(decodeFileText("\x81\x30"), fffd + "0"); // cut-off four-byte character
}

TEST(TextCodec, InvalidUtf8EncodesAsQuestionMark) {
    EXPECT_EQ(encodeFileText("a\xFF"
                             "b"),
              "a?b");
    EXPECT_EQ(encodeFileText("\xE6\x8F"
                             "x"),
              "??x");
    EXPECT_EQ(encodeFileText("提\xC3"), "\xCC\xE1?");
}

TEST(TextCodec, EmptyAndAsciiPassUnchanged) {
    EXPECT_EQ(decodeFileText(""), "");
    EXPECT_EQ(encodeFileText(""), "");
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(decodeFileText(withNul), withNul);
    EXPECT_EQ(encodeFileText(withNul), withNul);
}

} // namespace
} // namespace kelvo
