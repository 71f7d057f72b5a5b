// The renderer's normal path (indexed quads, point sprites, atlas pages, unblended opaque quads,
// skipped invisible ones, untinted batches from the texture alone, state once per pass) against its
// straightforward reference path: the same scenes must give the same back buffer, byte for
// byte, and the normal path fewer draw calls.
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/gl/capabilities.h"
#include "platform/gl/renderer.h"
#include "platform/images.h"
#include "tests/platform/gl_fixture.h"

namespace {

using gltest::LoadPixels;

constexpr int kKinds = 48;

// A square of the 64 at a random place for every blend pair (1..13 each way), then the usual
// blending and a line of text on its background.
void DrawEveryBlendPairAndText(const std::vector<plat::Drawable>& squares, std::mt19937& place,
                               std::uniform_int_distribution<int>& position, const int (&opacities)[7]) {
    int i = 0;
    for (int source = 1; source <= 13; ++source) {
        for (int destination = 1; destination <= 13; ++destination, ++i) {
            plat::SetBlend(source, destination);
            plat::DrawDrawable(squares[i % 63], position(place), position(place), opacities[i % 7]);
        }
    }
    plat::SetBlend(5, 6);
    plat::DrawText(3, 3, "Mm 0123 #@", plat::Colour{250, 120, 10}, true, plat::Colour{9, 9, 60});
}

class RendererPaths : public gltest::GlScreen {
protected:
    void TearDown() override {
        plat::gl::UseReferencePath(false);
        GlScreen::TearDown();
    }

    // A tile kind of seeded random pixels: some fully opaque, some with random alpha, some with
    // one colour keyed out; sides from 3 to 40 pixels.
    plat::Image RandomTile(std::mt19937& random, int kind) {
        std::uniform_int_distribution<int> side(3, 40);
        std::uniform_int_distribution<int> byte(0, 255);
        plat::Pixels pixels;
        pixels.width = side(random);
        pixels.height = side(random);
        const int style = kind % 3;  // 0 opaque, 1 random alpha, 2 opaque with a keyed colour
        for (int i = 0; i < pixels.width * pixels.height; ++i) {
            const bool keyed = style == 2 && i % 5 == 0;
            pixels.rgba.push_back(keyed ? 255 : static_cast<uint8_t>(byte(random)));
            pixels.rgba.push_back(keyed ? 255 : static_cast<uint8_t>(byte(random)));
            pixels.rgba.push_back(keyed ? 255 : static_cast<uint8_t>(byte(random)));
            pixels.rgba.push_back(style == 1 ? static_cast<uint8_t>(byte(random)) : 255);
        }
        plat::Image image = LoadPixels(dir_, "kind" + std::to_string(kind) + ".png", pixels);
        if (style == 2) plat::MakeTransparent(image, plat::Colour{255, 255, 255});
        return image;
    }

    void MakeKinds() {
        std::mt19937 random(20240611);
        for (int kind = 0; kind < kKinds; ++kind) {
            plat::Image image = RandomTile(random, kind);
            ASSERT_TRUE(image.Valid());
            images_.push_back(image);
            drawables_.push_back(plat::MakeDrawable(image));
        }
    }

    // Squares of random pixels with sides 1 to 63 (odd sides translucent), and one of 200 pixels
    // (too large for an atlas page) last; fewer when one could not be loaded.
    std::vector<plat::Drawable> MakeSquares() {
        std::mt19937 random(99);
        std::uniform_int_distribution<int> byte(0, 255);
        std::vector<plat::Drawable> squares;
        for (int side = 1; side <= 64; ++side) {
            plat::Pixels pixels;
            pixels.width = pixels.height = side == 64 ? 200 : side;
            for (int i = 0; i < pixels.width * pixels.height; ++i) {
                for (int channel = 0; channel < 3; ++channel) pixels.rgba.push_back(static_cast<uint8_t>(byte(random)));
                pixels.rgba.push_back(side % 2 == 0 ? 255 : static_cast<uint8_t>(byte(random)));
            }
            images_.push_back(LoadPixels(dir_, "square" + std::to_string(side) + ".png", pixels));
            if (images_.back().Valid()) squares.push_back(plat::MakeDrawable(images_.back()));
        }
        return squares;
    }

    // The frame a scene gives on a cleared screen, drawn by the reference or the normal path.
    std::vector<uint8_t> Render(bool reference, const std::function<void()>& scene) {
        plat::gl::UseReferencePath(reference);
        plat::SetNearestSampling(true);
        plat::ClearScreen(plat::Colour{30, 60, 90});
        plat::Begin3D();
        plat::gl::ResetRendererStats();
        scene();
        plat::End3D();
        stats_ = plat::gl::ReadRendererStats();
        std::vector<uint8_t> rgba;
        EXPECT_TRUE(plat::gl::ReadPixels(0, 0, kSize, kSize, rgba));
        return rgba;
    }

    // Both paths give the same bytes; reports the first differing pixel otherwise.
    ::testing::AssertionResult SamePicture(const std::function<void()>& scene) {
        const std::vector<uint8_t> expected = Render(true, scene);
        referenceStats_ = stats_;
        const std::vector<uint8_t> actual = Render(false, scene);
        if (expected.size() != actual.size() || expected.empty()) {
            return ::testing::AssertionFailure() << "no picture read back";
        }
        int differing = 0;
        size_t first = 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            if (expected[i] != actual[i] && differing++ == 0) first = i;
        }
        if (differing == 0) return ::testing::AssertionSuccess();
        const size_t pixel = first / 4;
        return ::testing::AssertionFailure()
               << differing << " bytes differ; first at pixel (" << pixel % kSize << ","
               << pixel / kSize << ") channel " << first % 4 << ": reference "
               << int(expected[first]) << ", normal path " << int(actual[first]);
    }

    std::vector<plat::Image> images_;
    std::vector<plat::Drawable> drawables_;
    plat::gl::RendererStats stats_;
    plat::gl::RendererStats referenceStats_;
};

// Every blend pair, opacity and shape the engine can hand over, over a busy background.
TEST_F(RendererPaths, EveryBlendModeOpacityAndShapeGivesTheSamePicture) {
    MakeKinds();
    const int opacities[] = {0, 1, 64, 127, 128, 200, 254, 255, 255, 255};
    auto scene = [&] {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> position(-20, kSize - 10);
        // A background of tiles in normal blending, then every factor pair over it.
        for (int i = 0; i < 300; ++i) {
            plat::DrawDrawable(drawables_[i % kKinds], position(random), position(random),
                               opacities[i % 10]);
        }
        // A large opaque quad (kind 0 is opaque) and a row of small ones at full opacity.
        plat::Drawable large = plat::MakeDrawable(images_[0]);
        plat::ZoomDrawable(large, 150, 130);
        plat::DrawDrawable(large, 40, 40, 255);
        plat::FreeDrawable(large);
        for (int k = 0; k < 40; ++k) plat::DrawDrawable(drawables_[(k % 16) * 3], k * 6, 200, 255);
        int i = 0;
        for (int source = 1; source <= 13; ++source) {
            for (int destination = 1; destination <= 13; ++destination, ++i) {
                plat::SetBlend(source, destination);
                plat::DrawDrawable(drawables_[i % kKinds], position(random), position(random),
                                   opacities[i % 10]);
            }
        }
        plat::SetBlend(5, 6);
    };
    EXPECT_TRUE(SamePicture(scene));
    // Opacity 0 in normal blending is left out, opaque kinds at 255 go unblended, and batches at
    // full opacity (one quad per blend pair among them) are drawn from the texture alone.
    EXPECT_GT(stats_.skipped, 0);
    EXPECT_GT(stats_.unblended, 0);
    EXPECT_GT(stats_.textureOnly, 0);
    EXPECT_LT(stats_.textureOnly, stats_.quads);
    EXPECT_EQ(referenceStats_.skipped, 0);
    EXPECT_EQ(referenceStats_.unblended, 0);
    EXPECT_EQ(referenceStats_.textureOnly, 0);
}

// Upright squares drawn one to one become point sprites; everything else stays two triangles.
// Squares of every side from 1 to 64 and one too large for an atlas page, at the surface's edges
// and across them, in every blend pair, tinted (text, boxes) and not.
TEST_F(RendererPaths, SquareSpritesDrawnAsPointsGiveTheSamePicture) {
    const std::vector<plat::Drawable> squares = MakeSquares();
    ASSERT_EQ(squares.size(), 64u);
    auto scene = [&] {
        std::mt19937 place(5);
        std::uniform_int_distribution<int> position(-30, kSize - 1);
        const int opacities[] = {0, 1, 100, 128, 254, 255, 255};
        // Translucent squares from one atlas page: one run of points, those whose centre lies
        // beyond an edge cut out of larger points.
        for (int i = 0; i < 400; ++i) {
            plat::DrawDrawable(squares[(i * 2) % 62], position(place), position(place), opacities[1 + i % 6]);
        }
        for (int i = 0; i < 300; ++i) {
            plat::DrawDrawable(squares[i % squares.size()], position(place), position(place), opacities[i % 7]);
        }
        // Flush against each edge, and the large square filling most of the surface.
        for (int side = 1; side <= 63; side += 9) {
            plat::DrawDrawable(squares[side - 1], 0, kSize - side, 200);
            plat::DrawDrawable(squares[side - 1], kSize - side, 0, 255);
        }
        plat::DrawDrawable(squares[63], 28, 28, 160);
        DrawEveryBlendPairAndText(squares, place, position, opacities);
        plat::DrawBox(100, 100, 30, 30, plat::Colour{20, 200, 100}, true);
        plat::DrawBox(140, 100, 30, 30, plat::Colour{200, 0, 100}, false);
    };
    EXPECT_TRUE(SamePicture(scene));
    EXPECT_GT(stats_.pointSprites, 400);
    EXPECT_LT(stats_.pointSprites, stats_.quads);
    EXPECT_EQ(referenceStats_.pointSprites, 0);
}

TEST_F(RendererPaths, ZoomedTurnedGrabbedAndSmoothedQuadsGiveTheSamePicture) {
    MakeKinds();
    auto scene = [&] {
        // Zoomed up, down and to odd sizes; turned and mirrored corners.
        for (int k = 0; k < 12; ++k) {
            plat::Drawable zoomed = plat::MakeDrawable(images_[k]);
            plat::ZoomDrawable(zoomed, 7 + k * 5, 50 - k * 3);
            plat::DrawDrawable(zoomed, k * 20, 10 + k, 255 - k * 9);
            plat::FreeDrawable(zoomed);
        }
        plat::Drawable turned = plat::MakeDrawable(images_[3]);
        const plat::Corner corners[4] = {{30.5f, 0}, {61, 30.25f}, {30, 61}, {0, 30}};
        plat::SetCorners(turned, corners);
        plat::DrawDrawable(turned, 100, 100, 255);
        plat::DrawDrawable(turned, 140, 100, 99);
        plat::FreeDrawable(turned);
        // A grab of the frame so far, drawn back 1:1 and zoomed, in additive mode.
        plat::Image grab = plat::GrabScreen(0, 0, 120, 80);
        plat::Drawable copy = plat::MakeDrawable(grab);
        plat::SetBlend(2, 2);
        plat::DrawDrawable(copy, 60, 150, 64);
        plat::ZoomDrawable(copy, 30, 20);
        plat::SetBlend(5, 6);
        plat::DrawDrawable(copy, 200, 200, 255);
        plat::FreeDrawable(copy);
        plat::FreeImage(grab);
        // Smoothed sampling, 1:1 and zoomed, then the pixel-for-pixel tiles again.
        plat::SetNearestSampling(false);
        plat::DrawDrawable(drawables_[5], 10, 200, 255);
        plat::Drawable smooth = plat::MakeDrawable(images_[6]);
        plat::ZoomDrawable(smooth, 45, 33);
        plat::DrawDrawable(smooth, 40, 200, 180);
        plat::FreeDrawable(smooth);
        plat::SetNearestSampling(true);
        for (int k = 0; k < kKinds; ++k) plat::DrawDrawable(drawables_[k], (k * 37) % 230, 120 + k % 9, 255);
        // Text and boxes share the batch.
        plat::DrawText(5, 230, "Pixel 1:1", plat::Colour{250, 250, 10}, true, plat::Colour{9, 9, 9});
        plat::DrawBox(150, 230, 40, 12, plat::Colour{200, 0, 100}, false);
        plat::SetPixel(2, 2, plat::Colour{1, 2, 3});
    };
    EXPECT_TRUE(SamePicture(scene));
}

TEST_F(RendererPaths, ManyTileKindsDrawInAHandfulOfCalls) {
    MakeKinds();
    auto scene = [&] {
        for (int i = 0; i < 2000; ++i) {
            plat::DrawDrawable(drawables_[i % kKinds], (i * 7) % 240, (i * 13) % 240, 128);
        }
    };
    EXPECT_TRUE(SamePicture(scene));
    EXPECT_EQ(stats_.quads, 2000);
    EXPECT_LE(stats_.drawCalls, 2);
    EXPECT_EQ(referenceStats_.drawCalls, 2000);  // one per texture change
}

TEST_F(RendererPaths, ChangedAndFreedImagesKeepTheirPixelsInAtlasPages) {
    MakeKinds();
    // Freeing some kinds and loading new ones reuses page room; a keyed colour changes a cell.
    for (int k = 0; k < kKinds; k += 2) {
        plat::FreeDrawable(drawables_[k]);
        plat::FreeImage(images_[k]);
    }
    std::mt19937 random(99);
    for (int k = 0; k < kKinds; k += 2) {
        images_[k] = RandomTile(random, k + 1);
        drawables_[k] = plat::MakeDrawable(images_[k]);
    }
    plat::MakeTransparent(images_[1], plat::Colour{0, 0, 0});
    auto scene = [&] {
        for (int k = 0; k < kKinds; ++k) plat::DrawDrawable(drawables_[k], (k % 8) * 32, (k / 8) * 40, 230);
    };
    EXPECT_TRUE(SamePicture(scene));

    // After the renderer stops and starts again on the context, the images come back the same.
    const std::vector<uint8_t> before = Render(false, scene);
    plat::gl::StopRenderer();
    ASSERT_TRUE(plat::gl::StartRenderer(kSize, kSize));
    EXPECT_EQ(Render(false, scene), before);
}

// Each fallback for a context that lacks what a fast path relies on, forced, draws the picture
// of the reference path byte for byte: squares of every side (points where they fit the point
// range), tiles from atlas pages or their own textures, zoomed quads, every blend pair, text.
TEST_F(RendererPaths, EveryFallbackForAMissingCapabilityGivesTheSamePicture) {
    MakeKinds();
    const std::vector<plat::Drawable> squares = MakeSquares();
    ASSERT_EQ(squares.size(), 64u);
    auto scene = [&] {
        std::mt19937 place(11);
        std::uniform_int_distribution<int> position(-30, kSize - 1);
        const int opacities[] = {0, 1, 100, 128, 254, 255, 255};
        for (int i = 0; i < 300; ++i) {
            plat::DrawDrawable(squares[i % squares.size()], position(place), position(place), opacities[i % 7]);
            plat::DrawDrawable(drawables_[i % kKinds], position(place), position(place), opacities[(i + 3) % 7]);
        }
        plat::Drawable zoomed = plat::MakeDrawable(images_[4]);
        plat::ZoomDrawable(zoomed, 90, 70);
        plat::DrawDrawable(zoomed, 60, 60, 180);
        plat::FreeDrawable(zoomed);
        DrawEveryBlendPairAndText(squares, place, position, opacities);
    };
    ASSERT_TRUE(SamePicture(scene));
    const plat::gl::RendererStats full = stats_;
    const plat::gl::Capabilities own = plat::gl::CurrentCapabilities();
    ASSERT_GT(full.pointSprites, 0) << "the driver draws no point sprites; nothing falls back";
    ASSERT_GE(own.largestTexture, 1024);

    using Caps = plat::gl::Capabilities;
    using Stats = plat::gl::RendererStats;
    // The renderer started again on the context with what it reads from GL narrowed to `limit`.
    const auto restart = [](const Caps* limit) {
        plat::gl::LimitCapabilities(limit);
        plat::gl::StopRenderer();
        EXPECT_TRUE(plat::gl::StartRenderer(kSize, kSize));
    };
    struct Fallback {
        const char* what;
        void (*narrow)(Caps&);
        // What the normal path's statistics show of the fallback, against those with GL's own
        // capabilities.
        bool (*shows)(const Stats& limited, const Stats& full);
    };
    const Fallback fallbacks[] = {
        {"no GLSL 1.20 for the point programs: squares are triangles",
         [](Caps& c) { c.pointPrograms = false; },
         [](const Stats& s, const Stats&) { return s.pointSprites == 0; }},
        {"points of 2 to 16 pixels: other squares are triangles",
         [](Caps& c) { c.smallestPoint = 2, c.largestPoint = 16; },
         [](const Stats& s, const Stats& f) { return s.pointSprites > 0 && s.pointSprites < f.pointSprites; }},
        {"no points of side 2: squares are triangles",
         [](Caps& c) { c.largestPoint = 1; },
         [](const Stats& s, const Stats&) { return s.pointSprites == 0; }},
        {"textures of 256 pixels: atlas pages cannot grow, more pages are made",
         [](Caps& c) { c.largestTexture = 256; },
         [](const Stats& s, const Stats& f) { return s.drawCalls > f.drawCalls; }},
        {"textures below a page: every image has its own texture",
         [](Caps& c) { c.largestTexture = 255; },
         [](const Stats& s, const Stats& f) { return s.drawCalls > f.drawCalls; }},
        {"no storage for the batch buffers: batches drawn as the reference path draws them",
         [](Caps& c) { c.batchBuffers = false; },
         [](const Stats& s, const Stats&) { return s.pointSprites == 0 && s.unblended == 0; }},
    };
    for (const Fallback& fallback : fallbacks) {
        SCOPED_TRACE(fallback.what);
        Caps limit = own;
        fallback.narrow(limit);
        restart(&limit);
        const Caps now = plat::gl::CurrentCapabilities();
        EXPECT_EQ(now.pointPrograms, limit.pointPrograms);
        EXPECT_EQ(now.largestTexture, limit.largestTexture);
        EXPECT_EQ(now.batchBuffers, limit.batchBuffers);
        EXPECT_TRUE(SamePicture(scene));
        EXPECT_EQ(stats_.quads + stats_.skipped, referenceStats_.quads);
        EXPECT_TRUE(fallback.shows(stats_, full)) << stats_.pointSprites << " point sprites, "
                                                  << stats_.drawCalls << " draw calls";
    }
    restart(nullptr);
    EXPECT_EQ(plat::gl::CurrentCapabilities().largestTexture, own.largestTexture);
}

// GL's errors as its debug output reports them, as each call is made (the renderer's own
// glGetError loops before its uploads cannot hide them).
struct GlErrors {
    int count = 0;
    std::string first;
};

void GLAPIENTRY NoteGlError(GLenum, GLenum type, GLuint, GLenum, GLsizei, const GLchar* message, const void* user) {
    if (type != GL_DEBUG_TYPE_ERROR) return;
    auto* errors = static_cast<GlErrors*>(const_cast<void*>(user));
    if (errors->count++ == 0) errors->first = message;
}

// The screen's context is OpenGL 3.3 core, which refuses every fixed-function call: a scene
// through every path (whole and cut points, triangles tinted and from the texture alone,
// unblended runs, a grab drawn back and read back, text, every blend pair), drawn by both paths,
// raises no GL error.
TEST_F(RendererPaths, EveryPathDrawsOnACoreContextWithoutAGlError) {
    EXPECT_GE(epoxy_gl_version(), 33);
    GLint profile = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_NE(profile & GL_CONTEXT_CORE_PROFILE_BIT, 0) << "profile mask " << profile;
    MakeKinds();
    const std::vector<plat::Drawable> squares = MakeSquares();
    ASSERT_EQ(squares.size(), 64u);
    auto scene = [&] {
        std::mt19937 place(3);
        std::uniform_int_distribution<int> position(-30, kSize - 1);
        const int opacities[] = {0, 1, 100, 128, 254, 255, 255};
        for (int i = 0; i < 200; ++i) {
            plat::DrawDrawable(squares[i % 62], position(place), position(place), 255);
            plat::DrawDrawable(drawables_[i % kKinds], position(place), position(place), opacities[i % 7]);
        }
        plat::Image grab = plat::GrabScreen(0, 0, 64, 64);
        plat::Drawable copy = plat::MakeDrawable(grab);
        plat::ZoomDrawable(copy, 100, 90);
        plat::DrawDrawable(copy, 100, 100, 200);
        plat::FreeDrawable(copy);
        EXPECT_TRUE(plat::SaveImagePng(grab, dir_.File("grab.png")));
        plat::FreeImage(grab);
        DrawEveryBlendPairAndText(squares, place, position, opacities);
    };
    const bool debugOutput = epoxy_gl_version() >= 43 || epoxy_has_gl_extension("GL_KHR_debug");
    GlErrors errors;
    if (debugOutput) {
        glEnable(GL_DEBUG_OUTPUT);
        glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
        glDebugMessageCallback(NoteGlError, &errors);
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    EXPECT_TRUE(SamePicture(scene));
    EXPECT_GT(stats_.pointSprites, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    if (debugOutput) {
        glDebugMessageCallback(nullptr, nullptr);
        glDisable(GL_DEBUG_OUTPUT);
    }
    EXPECT_EQ(errors.count, 0) << "first: " << errors.first;
}

// The test runs on the driver its CTest entry names (Mesa falls back to another silently).
TEST(GlDriver, IsTheOneTheTestNames) {
    const char* expected = std::getenv("EXPECTED_GL_DRIVER");
    if (expected == nullptr) GTEST_SKIP() << "no driver named";
    ASSERT_TRUE(plat::OpenScreen(64, 64, 24, "gl driver test"));
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    ASSERT_NE(name, nullptr);
    EXPECT_NE(std::string(name).find(expected), std::string::npos) << name;
    plat::CloseScreen();
}

}  // namespace

#if defined(__GLIBC__)
#include <malloc.h>

namespace {

// With the renderer running, freed memory stays in the heap: a large block is no separate
// mapping, and freeing it does not give the heap's top back to the kernel.
TEST_F(RendererPaths, LargeBlocksComeFromTheHeapAndStayThereWhenFreed) {
    const size_t mappedBefore = mallinfo2().hblks;
    std::vector<void*> blocks;
    for (int i = 0; i < 8; ++i) blocks.push_back(std::malloc(4 * 1024 * 1024));
    EXPECT_EQ(mallinfo2().hblks, mappedBefore);
    const size_t heapWithBlocks = mallinfo2().arena;
    for (void* block : blocks) std::free(block);
    EXPECT_EQ(mallinfo2().arena, heapWithBlocks);
}

}  // namespace
#endif
