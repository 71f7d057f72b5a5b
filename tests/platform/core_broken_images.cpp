// Hundreds of broken image files made from the demo tiles and from JPEG and TIFF samples, each
// loaded through the real decoders: none crashes, and each gives the result its damage allows.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/images.h"
#include "tests/platform/core_temp_dir.h"
#include "tests/support/broken_images.h"

namespace {

using brokenimages::Kind;

std::vector<std::string> SeedFiles() {
    std::vector<std::string> seeds;
    const std::filesystem::path source = TEST_SOURCE_DIR;
    for (const auto& entry : std::filesystem::directory_iterator(source / "demo" / "GFX")) {
        if (entry.path().extension() == ".png") seeds.push_back(entry.path().string());
    }
    for (const auto& entry : std::filesystem::directory_iterator(source / "tests" / "data")) {
        seeds.push_back(entry.path().string());
    }
    std::sort(seeds.begin(), seeds.end());
    return seeds;
}

TEST(CoreBrokenImages, EveryBrokenFileGivesAClearResult) {
    coretest::TempDir dir;
    const std::vector<std::string> seeds = SeedFiles();
    ASSERT_GE(seeds.size(), 12u);
    const auto files = brokenimages::MakeBrokenImages(seeds, dir.Prefix());
    ASSERT_GE(files.size(), 500u);

    std::map<Kind, int> made, decoded;
    for (const auto& file : files) {
        plat::Pixels pixels;
        const bool ok = plat::DecodeImageFile(dir.Prefix() + file.name, pixels);
        made[file.kind] += 1;
        decoded[file.kind] += ok ? 1 : 0;
        if (ok) {
            // Whatever decodes has a size within the limits and exactly its pixels.
            EXPECT_GT(pixels.width, 0) << file.name;
            EXPECT_GT(pixels.height, 0) << file.name;
            EXPECT_LE(static_cast<long long>(pixels.width) * pixels.height, plat::kMaxImagePixels)
                << file.name;
            EXPECT_EQ(pixels.rgba.size(), static_cast<size_t>(pixels.width) * pixels.height * 4)
                << file.name;
        } else {
            // "No image" leaves nothing behind.
            EXPECT_EQ(pixels.width, 0) << file.name;
            EXPECT_TRUE(pixels.rgba.empty()) << file.name;
        }
        plat::Pixels original;
        if (!file.seed.empty()) {
            ASSERT_TRUE(plat::DecodeImageFile(file.seed, original)) << file.seed;
        }
        switch (file.kind) {
            case Kind::BitFlipped: break;  // may or may not survive its damage
            case Kind::Truncated:
                // A cut that only loses trailing tag data (a TIFF's white point, say) still
                // holds every pixel; any other cut is no image, never a partly filled picture.
                if (ok) {
                    EXPECT_EQ(pixels.rgba, original.rgba) << file.name;
                }
                break;
            case Kind::WrongExtension:
                // Recognised by content, not by name: the same picture as the good file.
                EXPECT_TRUE(ok) << file.name;
                EXPECT_EQ(pixels.rgba, original.rgba) << file.name;
                break;
            default:
                EXPECT_FALSE(ok) << file.name << " (" << brokenimages::KindName(file.kind) << ")";
        }
    }
    // Every seed got its five huge and three empty headers (the generator found each format's
    // size fields), and every kind is present.
    EXPECT_EQ(made[Kind::HugeHeader], 5 * static_cast<int>(seeds.size()));
    EXPECT_EQ(made[Kind::EmptyHeader], 3 * static_cast<int>(seeds.size()));
    EXPECT_EQ(made[Kind::EmptyFile], 3);
    EXPECT_EQ(made[Kind::Directory], 3);
    EXPECT_GT(made[Kind::Truncated], 20 * static_cast<int>(seeds.size()));
    EXPECT_EQ(made[Kind::BitFlipped], 16 * static_cast<int>(seeds.size()));
    // Bit flips in pixel data leave a decodable image, flips in headers and checksums do not:
    // both outcomes must occur, or the flips are not reaching the decoders' checks.
    EXPECT_GT(decoded[Kind::BitFlipped], 0);
    EXPECT_LT(decoded[Kind::BitFlipped], made[Kind::BitFlipped]);
    // Almost every cut loses pixels.
    EXPECT_LT(decoded[Kind::Truncated] * 10, made[Kind::Truncated]);
}

// The pixel limit holds for well-formed files too: one pixel column more than the limit allows
// is no image, the largest allowed picture decodes.
TEST(CoreBrokenImages, PixelLimitRefusesAGoodButTooLargeImage) {
    coretest::TempDir dir;
    const int height = static_cast<int>(plat::kMaxImagePixels / 8192);
    for (int width : {8192, 8193}) {
        plat::Pixels big;
        big.width = width;
        big.height = height;
        big.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
        const std::string path = dir.File("big" + std::to_string(width) + ".png");
        ASSERT_TRUE(plat::WritePngFile(path, big));
        plat::Pixels decoded;
        EXPECT_EQ(plat::DecodeImageFile(path, decoded), width == 8192) << width;
    }
}

TEST(CoreBrokenImages, GenerationIsDeterministic) {
    coretest::TempDir first, second;
    const std::vector<std::string> seeds = SeedFiles();
    const auto a = brokenimages::MakeBrokenImages(seeds, first.Prefix());
    const auto b = brokenimages::MakeBrokenImages(seeds, second.Prefix());
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].name, b[i].name);
        if (a[i].kind == Kind::Directory) continue;
        EXPECT_EQ(coretest::ReadBytes(first.File(a[i].name)),
                  coretest::ReadBytes(second.File(b[i].name)))
            << a[i].name;
    }
}

}  // namespace
