// The 5 by 7 dot-matrix glyphs of the LED marquee. Portable: no window headers.
#pragma once

#include <array>
#include <cstdint>

namespace veltrano::ui {

inline constexpr int kGlyphColumns = 5;
inline constexpr int kGlyphRows = 7;

// Seven rows, top first; bit 4 of a row is its leftmost dot.
using Glyph = std::array<std::uint8_t, kGlyphRows>;

// The glyph of a character; characters without a glyph (controls, bytes above 126)
// show as a blank cell.
const Glyph& GlyphFor(char character);

inline bool DotLit(const Glyph& glyph, int column, int row) {
  return (glyph[static_cast<std::size_t>(row)] >> (kGlyphColumns - 1 - column)) & 1;
}

}  // namespace veltrano::ui
