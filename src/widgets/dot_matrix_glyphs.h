#pragma once

#include <array>
#include <cstdint>

// The 5 x 7 character set of the dot-matrix read-outs. One byte per dot row, top row
// first; bit 4 is the leftmost dot, bit 0 the rightmost.
using DotGlyph = std::array<std::uint8_t, 7>;

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// The glyph of a character: printable ASCII (0x20 to 0x7E) has its own, every other
// character shows as a hollow box.
DotGlyph dotMatrixGlyph(char32_t character);

// The hollow box shown for characters outside printable ASCII.
DotGlyph dotMatrixBoxGlyph();

// Whether dot x (0 = left) of row y (0 = top) of a glyph is lit; false outside 5 x 7.
constexpr bool isGlyphDotLit(const DotGlyph& glyph, int x, int y) {
    if (x < 0 || x >= kGlyphWidth || y < 0 || y >= kGlyphHeight)
        return false;
    return (glyph[static_cast<std::size_t>(y)] >> (kGlyphWidth - 1 - x)) & 1U;
}
