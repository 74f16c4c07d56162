#include "widgets/dot_matrix_glyphs.h"

#include <gtest/gtest.h>

#include <set>

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
