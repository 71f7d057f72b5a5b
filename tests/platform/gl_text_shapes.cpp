// Pixel tests of the 2D drawing over the frame: text from the glyph atlas, boxes and pixels.
#include <gtest/gtest.h>

#include <vector>

#include "platform/display.h"
#include "platform/gl/renderer.h"
#include "tests/platform/gl_fixture.h"

namespace {

using gltest::ColourAt;

using Overlay = gltest::GlScreen;

struct Counts {
    int green = 0;  // clearly green pixels
    int lit = 0;    // any non-black pixel
};

Counts CountIn(int x, int y, int width, int height) {
    std::vector<uint8_t> rgba;
    EXPECT_TRUE(plat::gl::ReadPixels(x, y, width, height, rgba));
    Counts counts;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        if (rgba[i + 1] > 200 && rgba[i] < 30 && rgba[i + 2] < 30) ++counts.green;
        if (rgba[i] > 0 || rgba[i + 1] > 0 || rgba[i + 2] > 0) ++counts.lit;
    }
    return counts;
}

TEST_F(Overlay, TextDrawsInsideItsBoxOnly) {
    const int line = plat::TextLineHeight();
    EXPECT_GE(line, 12);
    EXPECT_LE(line, 18);
    plat::Begin2D();
    plat::DrawText(50, 60, "X", plat::Colour{0, 255, 0});
    plat::End2D();
    // The glyph lies within one character cell (at most a line high and wide).
    const Counts inside = CountIn(50, 60, line, line);
    EXPECT_GT(inside.green, 5);
    const Counts all = CountIn(30, 40, 60, 60);
    EXPECT_EQ(all.lit, inside.lit);
    EXPECT_TRUE(ColourAt(50, 60, 0, 0, 0));  // transparent background
}

TEST_F(Overlay, CharactersAdvanceAndControlCodesDrawNothing) {
    const int line = plat::TextLineHeight();
    plat::Begin2D();
    plat::DrawText(0, 100, "\x01\x02X", plat::Colour{0, 255, 0});
    plat::DrawText(0, 150, "X", plat::Colour{0, 255, 0});
    plat::End2D();
    const Counts shifted = CountIn(0, 100, 3 * line, line);
    const Counts single = CountIn(0, 150, 3 * line, line);
    EXPECT_GT(single.green, 5);
    EXPECT_EQ(shifted.green, single.green);
    // The shifted X starts two character widths further right.
    const Counts firstCells = CountIn(0, 100, 8, line);
    EXPECT_EQ(firstCells.lit, 0);
}

TEST_F(Overlay, OpaqueTextFillsItsBoxWithTheBackground) {
    const int line = plat::TextLineHeight();
    plat::Begin2D();
    plat::DrawText(20, 20, "XX", plat::Colour{0, 255, 0}, true, plat::Colour{0, 0, 255});
    plat::End2D();
    EXPECT_TRUE(ColourAt(20, 20, 0, 0, 255));
    EXPECT_TRUE(ColourAt(20, 20 + line - 1, 0, 0, 255));
    EXPECT_TRUE(ColourAt(19, 20, 0, 0, 0));
    EXPECT_TRUE(ColourAt(20, 20 + line, 0, 0, 0));
    // Two characters wide: the box ends between one and two line heights to the right.
    EXPECT_EQ(CountIn(20 + 2 * line, 20, 8, line).lit, 0);
    EXPECT_TRUE(ColourAt(20 + line / 2 + 2, 20, 0, 0, 255));  // top row of the second cell
    EXPECT_GT(CountIn(20, 20, 40, line).green, 10);
}

TEST_F(Overlay, TextIgnoresTheSpriteBlendFactors) {
    plat::SetBlend(1, 2);  // would draw nothing
    plat::Begin2D();
    plat::DrawText(50, 60, "X", plat::Colour{0, 255, 0});
    plat::DrawBox(100, 100, 5, 5, plat::Colour{255, 0, 0}, true);
    plat::End2D();
    EXPECT_GT(CountIn(50, 60, 20, 20).green, 5);
    EXPECT_TRUE(ColourAt(102, 102, 255, 0, 0));
}

TEST_F(Overlay, BoxesAreOutlinedOrFilled) {
    const plat::Colour red{255, 0, 0};
    plat::Begin2D();
    plat::DrawBox(20, 20, 10, 8, red, false);
    plat::DrawBox(50, 20, 10, 8, red, true);
    plat::DrawBox(80, 20, 0, 8, red, true);
    plat::End2D();
    for (int x = 20; x < 30; ++x) {
        EXPECT_TRUE(ColourAt(x, 20, 255, 0, 0));
        EXPECT_TRUE(ColourAt(x, 27, 255, 0, 0));
    }
    for (int y = 20; y < 28; ++y) {
        EXPECT_TRUE(ColourAt(20, y, 255, 0, 0));
        EXPECT_TRUE(ColourAt(29, y, 255, 0, 0));
    }
    EXPECT_EQ(CountIn(21, 21, 8, 6).lit, 0);
    EXPECT_EQ(CountIn(50, 20, 10, 8).lit, 80);
    EXPECT_TRUE(ColourAt(55, 24, 255, 0, 0));
    EXPECT_TRUE(ColourAt(60, 24, 0, 0, 0));
    EXPECT_TRUE(ColourAt(30, 24, 0, 0, 0));
    EXPECT_EQ(CountIn(78, 18, 6, 12).lit, 0);
}

TEST_F(Overlay, SetPixelColoursExactlyOnePixel) {
    plat::Begin2D();
    plat::SetPixel(40, 41, plat::Colour{10, 200, 30});
    plat::SetPixel(-3, 5, plat::Colour{255, 255, 255});
    plat::End2D();
    EXPECT_TRUE(ColourAt(40, 41, 10, 200, 30, 0));
    EXPECT_EQ(CountIn(30, 30, 20, 20).lit, 1);
    EXPECT_EQ(CountIn(0, 0, 5, 10).lit, 0);

    plat::ClearScreen(plat::Colour{10, 20, 30});
    EXPECT_TRUE(ColourAt(kSize - 1, kSize - 1, 10, 20, 30, 0));
}

}  // namespace
