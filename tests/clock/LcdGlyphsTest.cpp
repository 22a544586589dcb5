#include "clock/LcdGlyphs.h"

#include <gtest/gtest.h>

#include <string>

using namespace kelvo::lcd;

namespace {

bool dark(const CellDots& dots) {
    return dots == CellDots{};
}

} // namespace

TEST(LcdGlyphs, SpaceMissingGlyphsAndCellsPastTheTextAreDark) {
    EXPECT_TRUE(dark(glyph(U' ')));
    EXPECT_TRUE(dark(glyph(U'\t')));
    EXPECT_TRUE(dark(glyph(255)));
    EXPECT_TRUE(dark(glyph(U'时')));
    EXPECT_FALSE(dark(glyph(U'A')));
    // The line shows five characters at most; a short text leaves cells dark.
    EXPECT_EQ(lineDots(U"12:345678"), lineDots(U"12:34"));
    EXPECT_TRUE(dark(lineDots(U"7:3")[3]));
}
