// Pixel tests of the GL sprite renderer: images, opacity, blend factors, corners, zoom, grabs,
// transparency and sampling, read back from the back buffer of a real screen.
#include <gtest/gtest.h>

#include <vector>

#include "platform/display.h"
#include "platform/gl/renderer.h"
#include "platform/images.h"
#include "tests/platform/gl_fixture.h"

namespace {

using gltest::ColourAt;
using gltest::LoadPixels;
using gltest::MakePixels;
using gltest::Px;

constexpr Px kRed{255, 0, 0, 255};
constexpr Px kGreen{0, 255, 0, 255};
constexpr Px kBlue{0, 0, 255, 255};
constexpr Px kWhite{255, 255, 255, 255};
constexpr Px kBlack{0, 0, 0, 255};

using Renderer = gltest::GlScreen;

TEST_F(Renderer, LoadedImageDrawsPixelForPixelAtItsPosition) {
    plat::Image image = LoadPixels(dir_, "quad.png", MakePixels(2, 2, {kRed, kGreen, kBlue, kWhite}));
    ASSERT_TRUE(image.Valid());
    EXPECT_EQ(plat::ImageWidth(image), 2);
    EXPECT_EQ(plat::ImageHeight(image), 2);
    plat::Drawable drawable = plat::MakeDrawable(image);
    ASSERT_TRUE(drawable.Valid());
    EXPECT_EQ(plat::DrawableImage(drawable).id, image.id);

    plat::DrawDrawable(drawable, 10, 20, 255);
    EXPECT_TRUE(ColourAt(10, 20, 255, 0, 0));
    EXPECT_TRUE(ColourAt(11, 20, 0, 255, 0));
    EXPECT_TRUE(ColourAt(10, 21, 0, 0, 255));
    EXPECT_TRUE(ColourAt(11, 21, 255, 255, 255));
    EXPECT_TRUE(ColourAt(9, 20, 0, 0, 0));
    EXPECT_TRUE(ColourAt(12, 21, 0, 0, 0));
    EXPECT_TRUE(ColourAt(10, 22, 0, 0, 0));
    EXPECT_TRUE(ColourAt(10, 19, 0, 0, 0));
    EXPECT_EQ(plat::ScreenWidth(), kSize);
    EXPECT_EQ(plat::ScreenHeight(), kSize);
}

TEST_F(Renderer, OpacityScalesTheImageOverBlackAndIsClamped) {
    plat::Drawable white = SolidDrawable(kWhite, 8, 8);
    plat::DrawDrawable(white, 0, 0, 128);
    plat::DrawDrawable(white, 10, 0, 0);
    plat::DrawDrawable(white, 20, 0, 255);
    plat::DrawDrawable(white, 30, 0, 1000);
    plat::DrawDrawable(white, 40, 0, -50);
    EXPECT_TRUE(ColourAt(4, 4, 128, 128, 128));
    EXPECT_TRUE(ColourAt(14, 4, 0, 0, 0));
    EXPECT_TRUE(ColourAt(24, 4, 255, 255, 255));
    EXPECT_TRUE(ColourAt(34, 4, 255, 255, 255));
    EXPECT_TRUE(ColourAt(44, 4, 0, 0, 0));

    // The image's own alpha multiplies with the opacity.
    plat::Drawable half = SolidDrawable(Px{255, 255, 255, 128}, 8, 8);
    plat::DrawDrawable(half, 50, 0, 255);
    plat::DrawDrawable(half, 60, 0, 128);
    EXPECT_TRUE(ColourAt(54, 4, 128, 128, 128));
    EXPECT_TRUE(ColourAt(64, 4, 64, 64, 64));
}

TEST_F(Renderer, NormalBlendingMixesButAdditiveBlendingAdds) {
    plat::Drawable grey = SolidDrawable(Px{100, 100, 100, 255}, 8, 8);
    plat::Drawable white = SolidDrawable(kWhite, 8, 8);

    // 5/6 with an opaque image replaces; at half opacity it mixes.
    plat::SetBlend(5, 6);
    plat::DrawDrawable(grey, 0, 0, 255);
    plat::DrawDrawable(grey, 0, 0, 255);
    plat::DrawDrawable(white, 10, 0, 128);
    plat::DrawDrawable(white, 10, 0, 128);
    // 2/2 adds the colours whatever the alpha.
    plat::SetBlend(2, 2);
    plat::DrawDrawable(grey, 20, 0, 255);
    plat::DrawDrawable(grey, 20, 0, 255);
    // 5/2 adds the colour scaled by the opacity.
    plat::SetBlend(5, 2);
    plat::DrawDrawable(grey, 30, 0, 128);
    plat::DrawDrawable(grey, 30, 0, 128);

    EXPECT_TRUE(ColourAt(4, 4, 100, 100, 100));
    EXPECT_TRUE(ColourAt(14, 4, 192, 192, 192));
    EXPECT_TRUE(ColourAt(24, 4, 200, 200, 200));
    EXPECT_TRUE(ColourAt(34, 4, 100, 100, 100));
}

TEST_F(Renderer, BothAlphaAndColourFactorsBlendAsNumbered) {
    plat::Drawable grey = SolidDrawable(Px{200, 200, 200, 255}, 8, 8);
    plat::Drawable white = SolidDrawable(kWhite, 8, 8);
    plat::SetBlend(2, 1);
    plat::DrawDrawable(grey, 0, 0, 255);
    plat::DrawDrawable(grey, 10, 0, 255);
    plat::DrawDrawable(grey, 20, 0, 255);

    // 12: source alpha / inverse source alpha, whatever the second number.
    plat::SetBlend(12, 2);
    plat::DrawDrawable(white, 0, 0, 128);
    // 13: inverse source alpha / source alpha.
    plat::SetBlend(13, 1);
    plat::DrawDrawable(white, 10, 0, 64);
    // 13 at full opacity keeps the destination.
    plat::DrawDrawable(white, 20, 0, 255);

    EXPECT_TRUE(ColourAt(4, 4, 228, 228, 228));   // 255 * .5 + 200 * .5
    EXPECT_TRUE(ColourAt(14, 4, 241, 241, 241));  // 255 * .75 + 200 * .25
    EXPECT_TRUE(ColourAt(24, 4, 200, 200, 200));

    // 9/1 (destination colour, zero) multiplies; 1/2 (zero, one) keeps the screen.
    plat::Drawable half = SolidDrawable(Px{128, 128, 128, 255}, 8, 8);
    plat::SetBlend(9, 1);
    plat::DrawDrawable(half, 20, 0, 255);
    plat::SetBlend(1, 2);
    plat::DrawDrawable(half, 0, 0, 255);
    EXPECT_TRUE(ColourAt(24, 4, 100, 100, 100));
    EXPECT_TRUE(ColourAt(4, 4, 228, 228, 228));
}

TEST_F(Renderer, OutOfRangeBlendFactorsAreIgnoredAndBegin3DResetsToNormal) {
    plat::Drawable grey = SolidDrawable(Px{100, 100, 100, 255}, 8, 8);
    plat::SetBlend(2, 2);
    plat::SetBlend(0, 6);
    plat::SetBlend(5, 14);
    plat::DrawDrawable(grey, 0, 0, 255);
    plat::DrawDrawable(grey, 0, 0, 255);
    EXPECT_TRUE(ColourAt(4, 4, 200, 200, 200));  // still additive

    plat::End3D();
    plat::Begin3D();
    plat::DrawDrawable(grey, 10, 0, 255);
    plat::DrawDrawable(grey, 10, 0, 255);
    EXPECT_TRUE(ColourAt(14, 4, 100, 100, 100));
}

TEST_F(Renderer, CornersPlaceTheQuadAndZoomMakesTheRectangleAgain) {
    plat::Drawable white = SolidDrawable(kWhite, 4, 4);
    const plat::Corner offset[4] = {{10, 5}, {30, 5}, {30, 25}, {10, 25}};
    plat::SetCorners(white, offset);
    plat::DrawDrawable(white, 100, 100, 255);
    EXPECT_TRUE(ColourAt(110, 105, 255, 255, 255));
    EXPECT_TRUE(ColourAt(129, 124, 255, 255, 255));
    EXPECT_TRUE(ColourAt(109, 115, 0, 0, 0));
    EXPECT_TRUE(ColourAt(130, 115, 0, 0, 0));
    EXPECT_TRUE(ColourAt(120, 104, 0, 0, 0));
    EXPECT_TRUE(ColourAt(120, 125, 0, 0, 0));

    // Zooming afterwards makes the plain rectangle again.
    plat::ZoomDrawable(white, 6, 3);
    plat::DrawDrawable(white, 200, 200, 255);
    EXPECT_TRUE(ColourAt(200, 200, 255, 255, 255));
    EXPECT_TRUE(ColourAt(205, 202, 255, 255, 255));
    EXPECT_TRUE(ColourAt(206, 202, 0, 0, 0));
    EXPECT_TRUE(ColourAt(205, 203, 0, 0, 0));
}

TEST_F(Renderer, CornersCarryTheImageMirroredAndTurned) {
    plat::Image image = LoadPixels(dir_, "pair.png", MakePixels(2, 1, {kRed, kGreen}));
    plat::Drawable mirrored = plat::MakeDrawable(image);
    const plat::Corner mirror[4] = {{20, 0}, {0, 0}, {0, 10}, {20, 10}};
    plat::SetCorners(mirrored, mirror);
    plat::DrawDrawable(mirrored, 10, 10, 255);
    EXPECT_TRUE(ColourAt(12, 15, 0, 255, 0));
    EXPECT_TRUE(ColourAt(27, 15, 255, 0, 0));

    // A quarter turn clockwise: the image's top edge runs down the quad's right side.
    plat::Drawable turned = plat::MakeDrawable(image);
    const plat::Corner turn[4] = {{10, 0}, {10, 20}, {0, 20}, {0, 0}};
    plat::SetCorners(turned, turn);
    plat::DrawDrawable(turned, 100, 10, 255);
    EXPECT_TRUE(ColourAt(105, 15, 255, 0, 0));
    EXPECT_TRUE(ColourAt(105, 25, 0, 255, 0));
    EXPECT_TRUE(ColourAt(111, 15, 0, 0, 0));
}

TEST_F(Renderer, GrabCopiesTheScreenUprightAndClipsToTheScreen) {
    plat::Image image = LoadPixels(dir_, "quad.png", MakePixels(2, 2, {kRed, kGreen, kBlue, kWhite}));
    plat::Drawable source = plat::MakeDrawable(image);
    plat::ZoomDrawable(source, 20, 20);
    plat::DrawDrawable(source, 10, 10, 255);

    plat::Image grab = plat::GrabScreen(10, 10, 20, 20);
    ASSERT_TRUE(grab.Valid());
    EXPECT_EQ(plat::ImageWidth(grab), 20);
    EXPECT_EQ(plat::ImageHeight(grab), 20);

    plat::ClearScreen(plat::Colour{0, 0, 0});
    plat::Drawable copy = plat::MakeDrawable(grab);
    plat::DrawDrawable(copy, 100, 50, 255);
    EXPECT_TRUE(ColourAt(10, 10, 0, 0, 0));
    EXPECT_TRUE(ColourAt(100, 50, 255, 0, 0));
    EXPECT_TRUE(ColourAt(119, 50, 0, 255, 0));
    EXPECT_TRUE(ColourAt(100, 69, 0, 0, 255));
    EXPECT_TRUE(ColourAt(119, 69, 255, 255, 255));
    EXPECT_TRUE(ColourAt(120, 69, 0, 0, 0));

    // A grabbed image zoomed and given corners like any other.
    plat::ZoomDrawable(copy, 10, 10);
    plat::DrawDrawable(copy, 200, 200, 255);
    EXPECT_TRUE(ColourAt(200, 200, 255, 0, 0));
    EXPECT_TRUE(ColourAt(209, 209, 255, 255, 255));

    plat::Image partly = plat::GrabScreen(-5, kSize - 5, 10, 10);
    ASSERT_TRUE(partly.Valid());
    EXPECT_EQ(plat::ImageWidth(partly), 5);
    EXPECT_EQ(plat::ImageHeight(partly), 5);
    EXPECT_FALSE(plat::GrabScreen(kSize, 0, 10, 10).Valid());
    EXPECT_FALSE(plat::GrabScreen(-20, -20, 10, 10).Valid());
    EXPECT_FALSE(plat::GrabScreen(0, 0, 0, 10).Valid());
    EXPECT_FALSE(plat::GrabScreen(0, 0, 10, -1).Valid());
    EXPECT_FALSE(plat::GrabScreen(2147483000, 0, 2000, 10).Valid());
}

TEST_F(Renderer, MakeTransparentHidesOneColourOfLoadedAndGrabbedImages) {
    plat::ClearScreen(plat::Colour{0, 0, 255});
    plat::Image image = LoadPixels(dir_, "pair.png", MakePixels(2, 1, {kWhite, kRed}));
    plat::MakeTransparent(image, plat::Colour{255, 255, 255});
    plat::Drawable drawable = plat::MakeDrawable(image);
    plat::ZoomDrawable(drawable, 20, 10);
    plat::DrawDrawable(drawable, 0, 0, 255);
    EXPECT_TRUE(ColourAt(5, 5, 0, 0, 255));
    EXPECT_TRUE(ColourAt(15, 5, 255, 0, 0));

    // The same on a grab of that screen: red becomes see-through this time.
    plat::Image grab = plat::GrabScreen(0, 0, 20, 10);
    plat::MakeTransparent(grab, plat::Colour{255, 0, 0});
    plat::ClearScreen(plat::Colour{0, 255, 0});
    plat::Drawable copy = plat::MakeDrawable(grab);
    plat::DrawDrawable(copy, 50, 50, 255);
    EXPECT_TRUE(ColourAt(55, 55, 0, 0, 255));   // still upright: blue on the left
    EXPECT_TRUE(ColourAt(65, 55, 0, 255, 0));   // red shows the green behind
}

TEST_F(Renderer, NearestSamplingKeepsHardEdgesAndLinearSmoothsThem) {
    plat::Image image = LoadPixels(dir_, "edge.png", MakePixels(2, 1, {kBlack, kWhite}));
    plat::Drawable drawable = plat::MakeDrawable(image);
    plat::ZoomDrawable(drawable, 64, 1);

    auto countGreys = [](int row) {
        std::vector<uint8_t> rgba;
        EXPECT_TRUE(plat::gl::ReadPixels(0, row, 64, 1, rgba));
        int greys = 0;
        int whites = 0;
        for (size_t i = 0; i < rgba.size(); i += 4) {
            if (rgba[i] > 10 && rgba[i] < 245) ++greys;
            if (rgba[i] >= 245) ++whites;
        }
        return std::pair<int, int>(greys, whites);
    };
    plat::DrawDrawable(drawable, 0, 0, 255);
    const auto nearest = countGreys(0);
    EXPECT_EQ(nearest.first, 0);
    EXPECT_EQ(nearest.second, 32);

    plat::SetNearestSampling(false);
    plat::DrawDrawable(drawable, 0, 1, 255);
    const auto linear = countGreys(1);
    EXPECT_GT(linear.first, 10);

    plat::SetNearestSampling(true);
    plat::DrawDrawable(drawable, 0, 2, 255);
    EXPECT_EQ(countGreys(2).first, 0);
}

TEST_F(Renderer, SaveImagePngWritesTheGrabbedPixelsUpright) {
    plat::Image image = LoadPixels(dir_, "quad.png", MakePixels(2, 2, {kRed, kGreen, kBlue, kWhite}));
    plat::Drawable drawable = plat::MakeDrawable(image);
    plat::ZoomDrawable(drawable, 4, 6);
    plat::DrawDrawable(drawable, 30, 40, 255);
    plat::Image grab = plat::GrabScreen(30, 40, 4, 6);
    const std::string path = dir_.File("grab.png");
    ASSERT_TRUE(plat::SaveImagePng(grab, path));

    plat::Pixels saved;
    ASSERT_TRUE(plat::DecodeImageFile(path, saved));
    ASSERT_EQ(saved.width, 4);
    ASSERT_EQ(saved.height, 6);
    auto at = [&](int x, int y) {
        const size_t i = (static_cast<size_t>(y) * saved.width + x) * 4;
        return Px{saved.rgba[i], saved.rgba[i + 1], saved.rgba[i + 2], saved.rgba[i + 3]};
    };
    EXPECT_EQ(at(0, 0).r, 255);
    EXPECT_EQ(at(0, 0).g, 0);
    EXPECT_EQ(at(3, 0).g, 255);
    EXPECT_EQ(at(0, 5).b, 255);
    EXPECT_EQ(at(0, 5).r, 0);
    EXPECT_EQ(at(3, 5).r, 255);
    EXPECT_EQ(at(3, 5).b, 255);
    EXPECT_EQ(at(2, 2).a, 255);

    // Saving keeps the grab drawable as it was.
    plat::ClearScreen(plat::Colour{0, 0, 0});
    plat::DrawDrawable(plat::MakeDrawable(grab), 0, 0, 255);
    EXPECT_TRUE(ColourAt(0, 0, 255, 0, 0));
    EXPECT_TRUE(ColourAt(0, 5, 0, 0, 255));

    EXPECT_FALSE(plat::SaveImagePng(plat::Image{}, dir_.File("none.png")));
    EXPECT_FALSE(plat::SaveImagePng(grab, dir_.File("missing_dir/grab.png")));
}

TEST_F(Renderer, BadFilesAndInvalidHandlesAreHarmless) {
    EXPECT_FALSE(plat::LoadImage(dir_.File("missing.png")).Valid());
    {
        const std::string path = dir_.File("corrupt.png");
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("\x89PNG\r\n\x1a\n garbage", file);
        std::fclose(file);
        EXPECT_FALSE(plat::LoadImage(path).Valid());
    }
    plat::Image none;
    plat::Image stale{12345};
    EXPECT_EQ(plat::ImageWidth(stale), 0);
    EXPECT_EQ(plat::ImageHeight(none), 0);
    EXPECT_FALSE(plat::MakeDrawable(none).Valid());
    EXPECT_FALSE(plat::MakeDrawable(stale).Valid());
    plat::MakeTransparent(stale, plat::Colour{});
    plat::FreeImage(stale);
    EXPECT_FALSE(stale.Valid());

    plat::Drawable noDrawable{999};
    plat::ZoomDrawable(noDrawable, 10, 10);
    const plat::Corner corners[4] = {};
    plat::SetCorners(noDrawable, corners);
    plat::DrawDrawable(noDrawable, 0, 0, 255);
    EXPECT_FALSE(plat::DrawableImage(noDrawable).Valid());
    plat::FreeDrawable(noDrawable);
    EXPECT_FALSE(noDrawable.Valid());

    // A drawable whose image was freed draws nothing; freeing twice does nothing more.
    plat::Drawable white = SolidDrawable(kWhite, 10, 10);
    plat::Image image = plat::DrawableImage(white);
    plat::FreeImage(image);
    EXPECT_FALSE(image.Valid());
    plat::FreeImage(image);
    plat::DrawDrawable(white, 0, 0, 255);
    EXPECT_TRUE(ColourAt(5, 5, 0, 0, 0));
    plat::FreeDrawable(white);
    plat::DrawDrawable(white, 0, 0, 255);
    EXPECT_TRUE(ColourAt(5, 5, 0, 0, 0));
}

TEST_F(Renderer, ManyQuadsAndTextureSwitchesAllReachTheScreen) {
    plat::Drawable red = SolidDrawable(kRed, 1, 1);
    plat::Drawable green = SolidDrawable(kGreen, 1, 1);
    // More quads than one batch holds, alternating textures.
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) plat::DrawDrawable((x + y) % 2 ? green : red, x, y, 255);
    }
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(plat::gl::ReadPixels(0, 0, 100, 100, rgba));
    int wrong = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            const size_t i = (static_cast<size_t>(y) * 100 + x) * 4;
            const bool isGreen = (x + y) % 2 != 0;
            if (rgba[i] != (isGreen ? 0 : 255) || rgba[i + 1] != (isGreen ? 255 : 0)) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_FALSE(plat::gl::ReadPixels(250, 250, 10, 10, rgba));
    plat::gl::Rgba pixel;
    EXPECT_FALSE(plat::gl::ReadPixel(-1, 0, pixel));
}

}  // namespace

namespace {
int gSwaps = 0;
void CountSwap() { ++gSwaps; }
}  // namespace

// A frame handed to GL is swapped once, only when the back buffer is next touched, and the next
// frame's clear waits for that too: the time between them is the next frame's to work in.
TEST_F(Renderer, AHandedOnFrameIsSwappedOnceJustBeforeTheBackBufferIsTouchedAgain) {
    gSwaps = 0;
    plat::gl::SubmitFrame(&CountSwap);
    plat::ClearScreen(plat::Colour{0, 0, 255});
    plat::Begin3D();
    plat::End3D();
    EXPECT_EQ(gSwaps, 0) << "a clear or an empty pass swapped the frame";

    plat::Begin2D();
    plat::DrawBox(10, 10, 4, 4, plat::Colour{0, 255, 0}, true);
    plat::End2D();
    EXPECT_EQ(gSwaps, 1);
    EXPECT_TRUE(ColourAt(0, 0, 0, 0, 255)) << "the kept clear was not made";
    EXPECT_TRUE(ColourAt(11, 11, 0, 255, 0));
    EXPECT_EQ(gSwaps, 1);

    // A read swaps and clears too; a frame with nothing drawn is still swapped before the next.
    plat::gl::SubmitFrame(&CountSwap);
    plat::ClearScreen(plat::Colour{255, 0, 0});
    EXPECT_TRUE(ColourAt(11, 11, 255, 0, 0));
    EXPECT_EQ(gSwaps, 2);
    plat::gl::SubmitFrame(&CountSwap);
    plat::gl::SubmitFrame(&CountSwap);
    EXPECT_EQ(gSwaps, 3);
    plat::gl::FinishFrame();
    EXPECT_EQ(gSwaps, 4);
}

// Images of the same pixels share an atlas cell; a change to one of them, freeing one, and
// images loaded later leave the others showing their own pixels.
TEST_F(Renderer, ImagesOfTheSamePixelsKeepTheirOwnPicturesThroughChangesAndFrees) {
    const plat::Pixels pixels = MakePixels(2, 1, {kRed, kGreen});
    plat::Image first = LoadPixels(dir_, "same1.png", pixels);
    plat::Image second = LoadPixels(dir_, "same2.png", pixels);
    plat::Image third = LoadPixels(dir_, "same3.png", pixels);
    ASSERT_TRUE(first.Valid() && second.Valid() && third.Valid());
    const auto draw = [](plat::Image image, int x, int y) {
        plat::Drawable drawable = plat::MakeDrawable(image);
        plat::DrawDrawable(drawable, x, y, 255);
        plat::FreeDrawable(drawable);
    };

    plat::MakeTransparent(second, plat::Colour{255, 0, 0});
    plat::FreeImage(first);
    plat::Image other = LoadPixels(dir_, "other.png", MakePixels(2, 1, {kBlue, kWhite}));
    plat::Image again = LoadPixels(dir_, "same4.png", pixels);
    draw(second, 0, 0);
    draw(third, 0, 2);
    draw(other, 0, 4);
    draw(again, 0, 6);
    EXPECT_TRUE(ColourAt(0, 0, 0, 0, 0)) << "the change did not reach the changed image";
    EXPECT_TRUE(ColourAt(1, 0, 0, 255, 0));
    EXPECT_TRUE(ColourAt(0, 2, 255, 0, 0)) << "a change to one image reached another";
    EXPECT_TRUE(ColourAt(1, 2, 0, 255, 0));
    EXPECT_TRUE(ColourAt(0, 4, 0, 0, 255));
    EXPECT_TRUE(ColourAt(1, 4, 255, 255, 255));
    EXPECT_TRUE(ColourAt(0, 6, 255, 0, 0));
    EXPECT_TRUE(ColourAt(1, 6, 0, 255, 0));
    for (plat::Image* image : {&second, &third, &other, &again}) plat::FreeImage(*image);
}
