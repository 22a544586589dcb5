#pragma once

#include <array>
#include <string_view>

namespace kelvo::lcd {

// The clock's dot-matrix line: five cells of 5 x 7 dots.
inline constexpr int kDotColumns = 5;
inline constexpr int kDotRows = 7;
inline constexpr int kCells = 5;

// The dots of one cell, row by row from the top, left to right: true for a
// lit dot.
using CellDots = std::array<bool, kDotColumns * kDotRows>;
using LineDots = std::array<CellDots, kCells>;

// The lit dots of a character; none for the space and for characters
// without a glyph.
CellDots glyph(char32_t code);

// One character per cell from the left; cells past the end of the text stay
// dark and characters after the fifth are not shown.
LineDots lineDots(std::u32string_view text);

} // namespace kelvo::lcd
