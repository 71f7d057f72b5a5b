// Tests of the headless display: screen opening, images decoded from disk, drawables, grabs and
// the recording of draw calls that the engine's tests rely on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/images.h"

namespace fs = std::filesystem;
using plat::headless::DrawRecord;

namespace {

class HeadlessDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        plat::headless::Reset();
        dir_ = fs::temp_directory_path() /
               ("headless_display_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        plat::headless::Reset();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // Writes a width x height PNG; pixel (x, y) is red x*10, green y*10, blue 7, opaque.
    std::string WriteTestPng(const std::string& name, int width, int height) {
        plat::Pixels pixels;
        pixels.width = width;
        pixels.height = height;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                pixels.rgba.push_back(static_cast<uint8_t>(x * 10));
                pixels.rgba.push_back(static_cast<uint8_t>(y * 10));
                pixels.rgba.push_back(7);
                pixels.rgba.push_back(255);
            }
        }
        const std::string path = (dir_ / name).string();
        EXPECT_TRUE(plat::WritePngFile(path, pixels));
        return path;
    }

    fs::path dir_;
};

TEST_F(HeadlessDisplay, ScreenOpensAtRequestedSizeUnlessSetToFail) {
    const plat::DesktopInfo desktop = plat::QueryDesktop();
    EXPECT_EQ(desktop.width, 1280);
    EXPECT_EQ(desktop.height, 1024);
    EXPECT_EQ(desktop.depth, 32);
    plat::headless::SetDesktop(800, 600, 16);
    EXPECT_EQ(plat::QueryDesktop().width, 800);
    EXPECT_EQ(plat::QueryDesktop().depth, 16);

    EXPECT_FALSE(plat::ScreenOpen());
    plat::headless::SetScreenFails(true);
    EXPECT_FALSE(plat::OpenScreen(800, 600, 16, "KORVANE"));
    EXPECT_FALSE(plat::ScreenOpen());

    plat::headless::SetScreenFails(false);
    EXPECT_FALSE(plat::OpenScreen(0, 600, 16, "KORVANE"));
    ASSERT_TRUE(plat::OpenScreen(800, 600, 16, "KORVANE"));
    EXPECT_TRUE(plat::ScreenOpen());
    EXPECT_EQ(plat::ScreenWidth(), 800);
    EXPECT_EQ(plat::ScreenHeight(), 600);
    plat::CloseScreen();
    EXPECT_FALSE(plat::ScreenOpen());
    EXPECT_EQ(plat::ScreenWidth(), 0);
}

TEST_F(HeadlessDisplay, ImagesAreDecodedAndCounted) {
    const std::string path = WriteTestPng("tile.png", 4, 3);
    plat::Image image = plat::LoadImage(path);
    ASSERT_TRUE(image.Valid());
    EXPECT_EQ(plat::ImageWidth(image), 4);
    EXPECT_EQ(plat::ImageHeight(image), 3);
    EXPECT_EQ(plat::headless::ImagePath(image), path);

    const std::string corrupt = (dir_ / "corrupt.png").string();
    std::ofstream(corrupt, std::ios::binary) << "\x89PNG\r\n\x1a\n truncated";
    EXPECT_FALSE(plat::LoadImage(corrupt).Valid());
    EXPECT_FALSE(plat::LoadImage((dir_ / "missing.png").string()).Valid());

    // Every call counts, the failed ones too; only decoded images are alive.
    EXPECT_EQ(plat::headless::ImageLoads(), 3);
    EXPECT_EQ(plat::headless::LiveImages(), 1);
}

TEST_F(HeadlessDisplay, MakeTransparentEditsThePixelsThatSaveWrites) {
    plat::Image image = plat::LoadImage(WriteTestPng("tile.png", 3, 2));
    ASSERT_TRUE(image.Valid());
    plat::MakeTransparent(image, plat::Colour{10, 10, 7});  // exactly pixel (1, 1)
    const std::string saved = (dir_ / "saved.png").string();
    ASSERT_TRUE(plat::SaveImagePng(image, saved));

    plat::Pixels back;
    ASSERT_TRUE(plat::DecodeImageFile(saved, back));
    ASSERT_EQ(back.width, 3);
    ASSERT_EQ(back.height, 2);
    const auto alpha = [&](int x, int y) { return back.rgba[(y * 3 + x) * 4 + 3]; };
    EXPECT_EQ(alpha(1, 1), 0);
    EXPECT_EQ(alpha(0, 0), 255);
    EXPECT_EQ(alpha(2, 1), 255);
}

TEST_F(HeadlessDisplay, GrabIsClippedToTheScreenAndFilledWithTheClearColour) {
    EXPECT_FALSE(plat::GrabScreen(0, 0, 10, 10).Valid());  // no screen yet
    ASSERT_TRUE(plat::OpenScreen(100, 80, 32, "KORVANE"));
    plat::ClearScreen(plat::Colour{20, 40, 60});

    plat::Image inside = plat::GrabScreen(10, 10, 30, 20);
    ASSERT_TRUE(inside.Valid());
    EXPECT_EQ(plat::ImageWidth(inside), 30);
    EXPECT_EQ(plat::ImageHeight(inside), 20);

    plat::Image overlapping = plat::GrabScreen(-5, 70, 20, 50);
    ASSERT_TRUE(overlapping.Valid());
    EXPECT_EQ(plat::ImageWidth(overlapping), 15);
    EXPECT_EQ(plat::ImageHeight(overlapping), 10);

    EXPECT_FALSE(plat::GrabScreen(100, 0, 10, 10).Valid());
    EXPECT_FALSE(plat::GrabScreen(-20, 0, 20, 10).Valid());
    EXPECT_FALSE(plat::GrabScreen(0, 0, 10, -1).Valid());
    EXPECT_FALSE(plat::GrabScreen(2147483000, 0, 2000, 10).Valid());
    EXPECT_EQ(plat::headless::LiveImages(), 2);
    EXPECT_EQ(plat::headless::ImageLoads(), 0);

    const std::string saved = (dir_ / "grab.png").string();
    ASSERT_TRUE(plat::SaveImagePng(overlapping, saved));
    plat::Pixels back;
    ASSERT_TRUE(plat::DecodeImageFile(saved, back));
    ASSERT_EQ(back.rgba.size(), 15u * 10u * 4u);
    EXPECT_EQ(back.rgba[0], 20);
    EXPECT_EQ(back.rgba[1], 40);
    EXPECT_EQ(back.rgba[2], 60);
    EXPECT_EQ(back.rgba[3], 255);
}

TEST_F(HeadlessDisplay, DrawsAreRecordedInOrderWithTheirFields) {
    plat::Image image = plat::LoadImage(WriteTestPng("tile.png", 8, 4));
    plat::Drawable plain = plat::MakeDrawable(image);
    plat::Drawable zoomed = plat::MakeDrawable(image);
    plat::Drawable bent = plat::MakeDrawable(image);
    ASSERT_TRUE(plain.Valid() && zoomed.Valid() && bent.Valid());
    plat::ZoomDrawable(zoomed, 16, 12);
    const plat::Corner corners[4] = {{1, 2}, {30, 3}, {28, 20}, {-2, 18}};
    plat::SetCorners(bent, corners);

    plat::ClearScreen(plat::Colour{1, 2, 3});
    plat::Begin3D();
    plat::DrawDrawable(plain, 5, 6, 300);
    plat::SetBlend(12, 2);
    plat::DrawDrawable(zoomed, -7, 9, 128);
    plat::DrawDrawable(bent, 0, 0, -4);
    plat::End3D();
    plat::DrawText(3, 4, "FPS 60", plat::Colour{255, 255, 0}, true, plat::Colour{0, 0, 0});
    plat::DrawBox(10, 11, 12, 13, plat::Colour{9, 8, 7}, false);
    plat::SetPixel(14, 15, plat::Colour{6, 5, 4});
    plat::Flip();

    const std::vector<DrawRecord>& draws = plat::headless::Draws();
    ASSERT_EQ(draws.size(), 12u);
    EXPECT_EQ(draws[0].kind, DrawRecord::kClear);
    EXPECT_EQ(draws[0].colour.b, 3);
    EXPECT_EQ(draws[1].kind, DrawRecord::kBegin3D);
    // Begin3D resets blending to the normal 5 with 6, recorded right after it.
    EXPECT_EQ(draws[2].kind, DrawRecord::kBlend);
    EXPECT_EQ(draws[2].source, 5);
    EXPECT_EQ(draws[2].destination, 6);

    const DrawRecord& first = draws[3];
    EXPECT_EQ(first.kind, DrawRecord::kSprite);
    EXPECT_EQ(first.drawable, plain.id);
    EXPECT_EQ(first.image, image.id);
    EXPECT_EQ(first.x, 5);
    EXPECT_EQ(first.width, 8);
    EXPECT_EQ(first.height, 4);
    EXPECT_FLOAT_EQ(first.corners[2].x, 8);
    EXPECT_FLOAT_EQ(first.corners[2].y, 4);
    EXPECT_EQ(first.opacity, 255);

    EXPECT_EQ(draws[4].kind, DrawRecord::kBlend);
    EXPECT_EQ(draws[4].source, 12);
    EXPECT_EQ(draws[4].destination, 2);

    const DrawRecord& second = draws[5];
    EXPECT_EQ(second.drawable, zoomed.id);
    EXPECT_EQ(second.x, -7);
    EXPECT_EQ(second.width, 16);
    EXPECT_EQ(second.height, 12);
    EXPECT_FLOAT_EQ(second.corners[1].x, 16);
    EXPECT_FLOAT_EQ(second.corners[2].y, 12);
    EXPECT_EQ(second.opacity, 128);

    const DrawRecord& third = draws[6];
    EXPECT_EQ(third.drawable, bent.id);
    EXPECT_EQ(third.width, 8);  // SetCorners keeps the zoomed size
    EXPECT_FLOAT_EQ(third.corners[0].y, 2);
    EXPECT_FLOAT_EQ(third.corners[1].x, 30);
    EXPECT_FLOAT_EQ(third.corners[3].x, -2);
    EXPECT_EQ(third.opacity, 0);

    EXPECT_EQ(draws[7].kind, DrawRecord::kEnd3D);
    EXPECT_EQ(draws[8].kind, DrawRecord::kText);
    EXPECT_EQ(draws[8].text, "FPS 60");
    EXPECT_EQ(draws[8].colour.g, 255);
    EXPECT_TRUE(draws[8].filled);
    EXPECT_EQ(draws[9].kind, DrawRecord::kBox);
    EXPECT_EQ(draws[9].width, 12);
    EXPECT_EQ(draws[9].height, 13);
    EXPECT_FALSE(draws[9].filled);
    EXPECT_EQ(draws[10].kind, DrawRecord::kPixel);
    EXPECT_EQ(draws[10].y, 15);
    EXPECT_EQ(draws[10].colour.b, 4);
    EXPECT_EQ(draws.back().kind, DrawRecord::kFlip);

    plat::headless::ClearDraws();
    EXPECT_TRUE(plat::headless::Draws().empty());
}

TEST_F(HeadlessDisplay, FreedAndInvalidHandlesAreHarmless) {
    plat::Image image = plat::LoadImage(WriteTestPng("tile.png", 2, 2));
    plat::Drawable drawable = plat::MakeDrawable(image);
    ASSERT_TRUE(drawable.Valid());
    EXPECT_EQ(plat::DrawableImage(drawable).id, image.id);
    EXPECT_EQ(plat::headless::LiveDrawables(), 1);

    plat::Drawable copy = drawable;
    plat::FreeDrawable(drawable);
    EXPECT_FALSE(drawable.Valid());
    EXPECT_EQ(plat::headless::LiveDrawables(), 0);
    plat::FreeDrawable(drawable);
    plat::FreeDrawable(copy);  // a stale copy of a freed handle
    plat::DrawDrawable(copy, 0, 0, 255);
    plat::ZoomDrawable(copy, 5, 5);
    EXPECT_FALSE(plat::DrawableImage(copy).Valid());

    plat::Image imageCopy = image;
    plat::FreeImage(image);
    EXPECT_FALSE(image.Valid());
    EXPECT_EQ(plat::headless::LiveImages(), 0);
    plat::FreeImage(imageCopy);
    EXPECT_EQ(plat::ImageWidth(imageCopy), 0);
    EXPECT_EQ(plat::headless::ImagePath(imageCopy), "");
    EXPECT_FALSE(plat::MakeDrawable(imageCopy).Valid());
    EXPECT_FALSE(plat::SaveImagePng(imageCopy, (dir_ / "x.png").string()));
    EXPECT_FALSE(fs::exists(dir_ / "x.png"));
    plat::MakeTransparent(imageCopy, plat::Colour{});

    plat::Image invalid;
    plat::Drawable bogus{1234};
    plat::FreeImage(invalid);
    plat::DrawDrawable(bogus, 1, 1, 1);
    plat::DrawDrawable(plat::Drawable{}, 1, 1, 1);
    plat::SetCorners(bogus, nullptr);
    EXPECT_TRUE(plat::headless::Draws().empty());
}

TEST_F(HeadlessDisplay, ReleaseAllFreesEverythingAndCanRunTwice) {
    ASSERT_TRUE(plat::OpenScreen(64, 48, 32, "KORVANE"));
    plat::Image image = plat::LoadImage(WriteTestPng("tile.png", 2, 2));
    plat::Drawable drawable = plat::MakeDrawable(image);
    ASSERT_TRUE(drawable.Valid());

    plat::ReleaseAll();
    EXPECT_FALSE(plat::ScreenOpen());
    EXPECT_EQ(plat::headless::LiveImages(), 0);
    EXPECT_EQ(plat::headless::LiveDrawables(), 0);
    plat::DrawDrawable(drawable, 0, 0, 255);
    EXPECT_TRUE(plat::headless::Draws().empty());
    plat::ReleaseAll();
    EXPECT_FALSE(plat::ScreenOpen());
}

TEST_F(HeadlessDisplay, ResetRestoresDefaults) {
    plat::headless::SetDesktop(640, 480, 8);
    plat::headless::SetScreenFails(true);
    plat::SetNearestSampling(false);
    EXPECT_FALSE(plat::headless::NearestSampling());
    plat::Image image = plat::LoadImage(WriteTestPng("tile.png", 2, 2));
    ASSERT_TRUE(image.Valid());
    plat::SetPixel(0, 0, plat::Colour{});

    plat::headless::Reset();
    EXPECT_EQ(plat::QueryDesktop().width, 1280);
    EXPECT_EQ(plat::QueryDesktop().depth, 32);
    EXPECT_TRUE(plat::headless::NearestSampling());
    EXPECT_EQ(plat::headless::LiveImages(), 0);
    EXPECT_EQ(plat::headless::ImageLoads(), 0);
    EXPECT_TRUE(plat::headless::Draws().empty());
    EXPECT_FALSE(plat::ScreenOpen());
    EXPECT_TRUE(plat::OpenScreen(640, 480, 32, "KORVANE"));
}

}  // namespace
