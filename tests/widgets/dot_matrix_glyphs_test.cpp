#include "widgets/dot_matrix_glyphs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string_view>

namespace {

int litDots(const DotGlyph& glyph) {
    int count = 0;
    for (int y = 0; y < kGlyphHeight; ++y)
        for (int x = 0; x < kGlyphWidth; ++x)
            count += isGlyphDotLit(glyph, x, y) ? 1 : 0;
    return count;
}

TEST(DotMatrixGlyphs, EveryPrintableCharacterHasItsOwnGlyph) {
    std::set<DotGlyph> seen;
    for (char32_t c = 0x20; c <= 0x7E; ++c) {
        SCOPED_TRACE(static_cast<char>(c));
        const DotGlyph glyph = dotMatrixGlyph(c);
        for (std::uint8_t row : glyph)
            EXPECT_LT(row, 1U << kGlyphWidth);
        EXPECT_NE(glyph, dotMatrixBoxGlyph());
        if (c != U' ') {
            EXPECT_GT(litDots(glyph), 0);
        }
        seen.insert(glyph);
    }
    EXPECT_EQ(seen.size(), 95U);
    EXPECT_EQ(litDots(dotMatrixGlyph(U' ')), 0);
}

bool rowLit(const DotGlyph& glyph, int y) {
    for (int x = 0; x < kGlyphWidth; ++x)
        if (isGlyphDotLit(glyph, x, y))
            return true;
    return false;
}

int topRow(char32_t character) {
    const DotGlyph glyph = dotMatrixGlyph(character);
    int y = 0;
    while (y < kGlyphHeight && !rowLit(glyph, y))
        ++y;
    return y;
}

// Without a row below the line, a descender only shows as one when the letter's body
// stands higher than its neighbours' and the descender reaches the bottom row; a g that
// keeps to the x-height reads as a 9 ("waitin9").
TEST(DotMatrixGlyphs, DescendersHangBelowTheLetterBody) {
    int xHeightTop = kGlyphHeight;
    for (char32_t c : std::u32string_view(U"acemnorsuvwxz"))
        xHeightTop = std::min(xHeightTop, topRow(c));
    ASSERT_GT(xHeightTop, 1);
    const int bottom = kGlyphHeight - 1;
    for (char32_t c : {U'g', U'p', U'q', U'y'}) {
        SCOPED_TRACE(static_cast<char>(c));
        EXPECT_TRUE(rowLit(dotMatrixGlyph(c), bottom));
        EXPECT_LT(topRow(c), xHeightTop); // the body stands higher than its neighbours'
        EXPECT_GT(topRow(c), 0);          // but lower than an ascender
    }
    // j: the dot of an i over a stem that hooks in the bottom row.
    const DotGlyph j = dotMatrixGlyph(U'j');
    EXPECT_TRUE(rowLit(j, 0));
    EXPECT_FALSE(rowLit(j, 1));
    EXPECT_TRUE(rowLit(j, bottom));
    EXPECT_NE(j, dotMatrixGlyph(U'i'));

    // A 9 is round on top; the g's stem runs up into the top right corner of its body.
    const DotGlyph g = dotMatrixGlyph(U'g');
    const DotGlyph nine = dotMatrixGlyph(U'9');
    EXPECT_TRUE(isGlyphDotLit(g, kGlyphWidth - 1, topRow(U'g')));
    EXPECT_FALSE(isGlyphDotLit(nine, kGlyphWidth - 1, topRow(U'9')));
}

TEST(DotMatrixGlyphs, OtherCharactersShowAHollowBox) {
    const DotGlyph box = dotMatrixBoxGlyph();
    for (int y = 0; y < kGlyphHeight; ++y) {
        for (int x = 0; x < kGlyphWidth; ++x) {
            const bool edge = x == 0 || y == 0 || x == kGlyphWidth - 1 || y == kGlyphHeight - 1;
            EXPECT_EQ(isGlyphDotLit(box, x, y), edge) << x << "," << y;
        }
    }
    for (char32_t c : {U'\0', U'\t', U'\x1f', U'\x7f', U'\u00dc', U'\u00b0', U'\u20ac',
                       U'\U0001F600', U'\uFFFD'})
        EXPECT_EQ(dotMatrixGlyph(c), box) << static_cast<unsigned>(c);
    EXPECT_FALSE(isGlyphDotLit(box, -1, 0));
    EXPECT_FALSE(isGlyphDotLit(box, 0, kGlyphHeight));
}

} // namespace
