// Shared pieces of the GL renderer tests: PNG test images written with the platform's codec,
// pixel probes of the back buffer and a screen opened once per test suite.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

#include "platform/display.h"
#include "platform/gl/renderer.h"
#include "platform/images.h"
#include "tests/platform/core_temp_dir.h"

namespace gltest {

using coretest::TempDir;

struct Px {
    int r, g, b, a;
};

// A width x height image from pixels listed row by row.
inline plat::Pixels MakePixels(int width, int height, std::initializer_list<Px> list) {
    plat::Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    for (const Px& p : list) {
        pixels.rgba.push_back(static_cast<uint8_t>(p.r));
        pixels.rgba.push_back(static_cast<uint8_t>(p.g));
        pixels.rgba.push_back(static_cast<uint8_t>(p.b));
        pixels.rgba.push_back(static_cast<uint8_t>(p.a));
    }
    return pixels;
}

// Writes the pixels as a PNG and loads it as an image.
inline plat::Image LoadPixels(const TempDir& dir, const std::string& name,
                              const plat::Pixels& pixels) {
    const std::string path = dir.File(name);
    if (!plat::WritePngFile(path, pixels)) return plat::Image{};
    return plat::LoadImage(path);
}

// The pixel at (x, y) has this colour, each channel within `tolerance`.
inline ::testing::AssertionResult ColourAt(int x, int y, int r, int g, int b, int tolerance = 2) {
    plat::gl::Rgba pixel;
    if (!plat::gl::ReadPixel(x, y, pixel)) {
        return ::testing::AssertionFailure() << "no pixel at " << x << "," << y;
    }
    if (std::abs(pixel.r - r) > tolerance || std::abs(pixel.g - g) > tolerance ||
        std::abs(pixel.b - b) > tolerance) {
        return ::testing::AssertionFailure()
               << "at " << x << "," << y << " found (" << int(pixel.r) << "," << int(pixel.g)
               << "," << int(pixel.b) << "), wanted (" << r << "," << g << "," << b << ")";
    }
    return ::testing::AssertionSuccess();
}

// Opens one 256x256 screen for a whole test suite; every test starts on a black frame with
// normal blending and nearest sampling.
class GlScreen : public ::testing::Test {
protected:
    static constexpr int kSize = 256;

    static void SetUpTestSuite() {
        screenOpen_ = plat::OpenScreen(kSize, kSize, 24, "gl renderer tests");
    }
    static void TearDownTestSuite() {
        plat::gl::FreeAllGraphics();
        plat::CloseScreen();
    }
    void SetUp() override {
        ASSERT_TRUE(screenOpen_) << "the test screen could not be opened";
        plat::SetNearestSampling(true);
        plat::ClearScreen(plat::Colour{0, 0, 0});
        plat::Begin3D();
    }
    void TearDown() override {
        plat::End3D();
        plat::Flip();
    }

    // An image of one colour, as a drawable zoomed to width x height.
    plat::Drawable SolidDrawable(Px colour, int width, int height) {
        plat::Image image = LoadPixels(dir_, "solid" + std::to_string(counter_++) + ".png",
                                       MakePixels(1, 1, {colour}));
        plat::Drawable drawable = plat::MakeDrawable(image);
        plat::ZoomDrawable(drawable, width, height);
        return drawable;
    }

    TempDir dir_;
    int counter_ = 0;
    static inline bool screenOpen_ = false;
};

}  // namespace gltest
