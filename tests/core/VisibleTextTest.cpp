#include "core/VisibleText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace kelvo;

TEST(VisibleText, OrdinaryTextStaysAsItIs) {
    EXPECT_EQ(visibleText(""), "");
    EXPECT_EQ(visibleText("开会 [cmd:notepad.exe] 下午3点"), "开会 [cmd:notepad.exe] 下午3点");
    EXPECT_EQ(visibleText("a   b"), "a   b"); // three blanks are no hiding place
    EXPECT_EQ(visibleText("   "), "   ");
}

// A tag pushed out of sight by hundreds of blanks comes back into view.
TEST(VisibleText, LongBlankRunsAreCounted) {
    EXPECT_EQ(visibleText("开会" + std::string(600, ' ') + "[cmd:sh -c x]"),
              "开会␣×600[cmd:sh -c x]");
    EXPECT_EQ(visibleText("a    "), "a␣×4");
    // Wide and no-break blanks count toward the same run.
    EXPECT_EQ(visibleText("a\u3000\u3000 \u00a0b"), "a␣×4b");
}

TEST(VisibleText, ControlCharactersShowAsPictures) {
    EXPECT_EQ(visibleText("a\tb"), "a␉b");
    EXPECT_EQ(visibleText(std::string("a\0b", 3)), "a␀b");
    EXPECT_EQ(visibleText("a\x1b[2Jb"), "a␛[2Jb");
    EXPECT_EQ(visibleText("a\x7f"), "a␡");
    EXPECT_EQ(visibleText("a\u0085b"), "a<U+0085>b");
}

// What would reorder or hide the text around it is named instead.
TEST(VisibleText, DirectionAndInvisibleFormatCharactersAreNamed) {
    EXPECT_EQ(visibleText("abc\u202Etxt.exe"), "abc<U+202E>txt.exe");
    for (char32_t c : {U'\u202A', U'\u202B', U'\u202C', U'\u202D', U'\u2066', U'\u2067', U'\u2068',
                       U'\u2069', U'\u200E', U'\u200F', U'\u200B', U'\uFEFF'}) {
        char name[16];
        std::snprintf(name, sizeof name, "<U+%04X>", static_cast<unsigned>(c));
        std::string text = "x";
        if (c < 0x800) {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xE0 | (c >> 12));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
        EXPECT_EQ(visibleText(text), std::string("x") + name) << name;
    }
}

TEST(VisibleText, BrokenUtf8ShowsReplacementCharacters) {
    EXPECT_EQ(visibleText("a\xff"
                          "b"),
              "a\uFFFDb");
    EXPECT_EQ(visibleText("a\xe4\xb8"), "a\uFFFD\uFFFD");
    EXPECT_EQ(visibleText("\xc0\xaf"), "\uFFFD\uFFFD");           // overlong "/"
    EXPECT_EQ(visibleText("\xed\xa0\x80"), "\uFFFD\uFFFD\uFFFD"); // a surrogate
}
