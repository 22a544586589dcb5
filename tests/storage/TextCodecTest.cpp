#include "storage/TextCodec.h"

#include <gtest/gtest.h>
#include <iconv.h>

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

// What the system converter makes of a GB18030 text; nullopt when it refuses.
std::optional<std::string> systemDecode(std::string in) {
    const iconv_t cd = iconv_open("UTF-8", "GB18030");
    std::string out(in.size() * 4, '\0');
    char* src = in.data();
    char* dst = out.data();
    size_t srcLeft = in.size(), dstLeft = out.size();
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1))
        return std::nullopt;
    out.resize(out.size() - dstLeft);
    return out;
}

// The two-byte codes are turned through a table of their own: each must read
// as the system converter reads it, and write back to the same two bytes.
TEST(TextCodec, EveryTwoByteCodeAgreesWithTheSystemConverter) {
    int checked = 0;
    std::vector<std::string> wrong;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const auto expected = systemDecode(code);
            const std::string decoded = decodeFileText(code);
            const bool ok = expected ? decoded == *expected &&
                                           (*expected == "€" || encodeFileText(decoded) == code)
                                     : decoded.starts_with("\xEF\xBF\xBD");
            checked += expected ? 1 : 0;
            if (!ok && wrong.size() < 5)
                wrong.push_back(std::to_string(lead) + "/" + std::to_string(trail));
        }
    }
    EXPECT_GT(checked, 23000);
    EXPECT_TRUE(wrong.empty()) << ::testing::PrintToString(wrong);
}

TEST(TextCodec, MixedTextTurnsEachCharacterInItsOwnWay) {
    // ASCII, two-byte, four-byte (U+00A5 and U+1F600), the euro byte, an invalid byte.
    const std::string file = "a\xD6\xD0\x81\x30\x84\x36\x94\x39\xFC\x36\x80\xFF"
                             "z";
    const std::string text = "a中\xC2\xA5\xF0\x9F\x98\x80€\xEF\xBF\xBDz";
    EXPECT_EQ(decodeFileText(file), text);
    EXPECT_EQ(encodeFileText("a中\xC2\xA5\xF0\x9F\x98\x80€z"),
              "a\xD6\xD0\x81\x30\x84\x36\x94\x39\xFC\x36\x80z");
    EXPECT_EQ(encodeFileText("\xC0\x80\xED\xA0\x80"), "?????"); // overlong NUL, a surrogate
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
