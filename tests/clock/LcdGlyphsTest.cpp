#include "clock/LcdGlyphs.h"

#include <gtest/gtest.h>

#include <string>

using namespace kelvo::lcd;

namespace {

// The clock's characters as they must look, row by row from the top.
struct Expected {
    char32_t code;
    const char* rows[kDotRows];
};

const Expected kClockGlyphs[] = {
    {U'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {U'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {U'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {U'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {U'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {U'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {U'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {U'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {U'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {U'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {U':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
};

std::string drawn(const CellDots& dots) {
    std::string picture;
    for (int r = 0; r < kDotRows; ++r) {
        for (int c = 0; c < kDotColumns; ++c)
            picture += dots[r * kDotColumns + c] ? '#' : '.';
        picture += '\n';
    }
    return picture;
}

std::string drawn(const Expected& e) {
    std::string picture;
    for (const char* row : e.rows)
        picture += std::string(row) + '\n';
    return picture;
}

bool dark(const CellDots& dots) {
    return dots == CellDots{};
}

} // namespace

TEST(LcdGlyphs, DigitsAndColonAsTheClockShowsThem) {
    for (const Expected& e : kClockGlyphs)
        EXPECT_EQ(drawn(glyph(e.code)), drawn(e)) << "glyph of " << static_cast<char>(e.code);
}

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
