// Tests of the image codecs: PNG round trips and PNG layouts, JPEG and TIFF files made with
// their libraries, and damaged, empty or oversized files that must give "no image" quietly.
#include <png.h>
#include <stdio.h>
#include <tiffio.h>
#include <zlib.h>

#include <jpeglib.h>

#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "core_temp_dir.h"
#include "platform/images.h"

namespace {

using coretest::ReadBytes;
using coretest::TempDir;
using coretest::WriteBytes;

plat::Pixels MakeGradient(int width, int height) {
    plat::Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    pixels.rgba.resize(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels.rgba[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = static_cast<uint8_t>(x * 40);
            p[1] = static_cast<uint8_t>(y * 70);
            p[2] = static_cast<uint8_t>(255 - x * 10 - y);
            p[3] = static_cast<uint8_t>((x + y) % 3 == 0 ? 255 : x * 30 + y);
        }
    }
    return pixels;
}

const uint8_t* PixelAt(const plat::Pixels& pixels, int x, int y) {
    return &pixels.rgba[(static_cast<size_t>(y) * pixels.width + x) * 4];
}

// Writes a PNG of any layout with libpng's own writer (rows given in the file's layout).
bool WriteRawPng(const std::string& path, int width, int height, int colourType, int bitDepth,
                 const std::vector<std::vector<uint8_t>>& rows,
                 const std::vector<png_color>& palette = {}, const std::vector<uint8_t>& trns = {},
                 bool interlaced = false) {
    FILE* stream = fopen(path.c_str(), "wb");
    if (stream == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(stream);
        return false;
    }
    png_init_io(png, stream);
    png_set_IHDR(png, info, width, height, bitDepth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!trns.empty()) png_set_tRNS(png, info, trns.data(), static_cast<int>(trns.size()), nullptr);
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (const auto& row : rows) pointers.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return fclose(stream) == 0;
}

// Writes an RGB or grayscale JPEG from RGBA pixels (alpha dropped).
bool WriteJpeg(const std::string& path, const plat::Pixels& pixels, bool gray) {
    FILE* stream = fopen(path.c_str(), "wb");
    if (stream == nullptr) return false;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, stream);
    info.image_width = pixels.width;
    info.image_height = pixels.height;
    info.input_components = gray ? 1 : 3;
    info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(pixels.width) * 3);
    while (info.next_scanline < info.image_height) {
        const uint8_t* source = PixelAt(pixels, 0, info.next_scanline);
        for (int x = 0; x < pixels.width; ++x) {
            if (gray) {
                row[x] = source[x * 4];
            } else {
                for (int c = 0; c < 3; ++c) row[x * 3 + c] = source[x * 4 + c];
            }
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return fclose(stream) == 0;
}

// Writes an 8-bit TIFF with 3 (RGB) or 4 (RGBA, unassociated alpha) samples per pixel.
bool WriteTiff(const std::string& path, const plat::Pixels& pixels, int samples) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (tiff == nullptr) return false;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(pixels.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(pixels.height));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 1);
    if (samples == 4) {
        uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    std::vector<uint8_t> row(static_cast<size_t>(pixels.width) * samples);
    bool ok = true;
    for (int y = 0; y < pixels.height && ok; ++y) {
        for (int x = 0; x < pixels.width; ++x)
            for (int c = 0; c < samples; ++c) row[x * samples + c] = PixelAt(pixels, x, y)[c];
        ok = TIFFWriteScanline(tiff, row.data(), y, 0) == 1;
    }
    TIFFClose(tiff);
    return ok;
}

void TruncateToHalf(const std::string& path) {
    std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
}

// Decodes and checks that the result is "no image" and that nothing was printed.
void ExpectNoImage(const std::string& path) {
    plat::Pixels pixels;
    pixels.width = 3;  // a failed decode must not leave stale values
    ::testing::internal::CaptureStderr();
    bool decoded = plat::DecodeImageFile(path, pixels);
    std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(decoded) << path;
    EXPECT_EQ(pixels.width, 0);
    EXPECT_EQ(pixels.height, 0);
    EXPECT_TRUE(pixels.rgba.empty());
    EXPECT_EQ(printed, "") << path;
}

// A PNG signature and a valid IHDR chunk for the given size, then a bogus IDAT and IEND.
std::string PngWithHeader(uint32_t width, uint32_t height) {
    auto be32 = [](uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 8), static_cast<char>(v)};
    };
    auto chunk = [&](const std::string& type, const std::string& body) {
        std::string typed = type + body;
        uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size())));
        return be32(static_cast<uint32_t>(body.size())) + typed + be32(crc);
    };
    std::string ihdr = be32(width) + be32(height) + std::string{8, 6, 0, 0, 0};
    return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) +
           chunk("IDAT", std::string(16, '\x55')) + chunk("IEND", "");
}

TEST(CoreImagesPng, WriteThenDecodeIsPixelExact) {
    TempDir dir;
    const plat::Pixels original = MakeGradient(7, 5);
    const std::string path = dir.File("round.png");
    ASSERT_TRUE(plat::WritePngFile(path, original));
    plat::Pixels decoded;
    ASSERT_TRUE(plat::DecodeImageFile(path, decoded));
    EXPECT_EQ(decoded.width, 7);
    EXPECT_EQ(decoded.height, 5);
    EXPECT_EQ(decoded.rgba, original.rgba);

    // Overwriting replaces the file and leaves no temporary beside it.
    const plat::Pixels smaller = MakeGradient(2, 1);
    ASSERT_TRUE(plat::WritePngFile(path, smaller));
    ASSERT_TRUE(plat::DecodeImageFile(path, decoded));
    EXPECT_EQ(decoded.rgba, smaller.rgba);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Prefix())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(CoreImagesPng, WriteRefusesBadPixelsAndBadPaths) {
    TempDir dir;
    plat::Pixels wrongSize = MakeGradient(4, 4);
    wrongSize.rgba.pop_back();
    EXPECT_FALSE(plat::WritePngFile(dir.File("a.png"), wrongSize));
    EXPECT_FALSE(plat::WritePngFile(dir.File("b.png"), plat::Pixels{}));
    EXPECT_FALSE(plat::WritePngFile(dir.File("missing/c.png"), MakeGradient(2, 2)));
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("b.png")));

    // A directory in the way: the write fails and the directory stays.
    std::filesystem::create_directory(dir.File("d.png"));
    EXPECT_FALSE(plat::WritePngFile(dir.File("d.png"), MakeGradient(2, 2)));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("d.png")));
}

TEST(CoreImagesPng, OtherLayoutsBecomeRgba) {
    TempDir dir;
    plat::Pixels out;

    // 8-bit gray: copied to all three channels, opaque.
    ASSERT_TRUE(WriteRawPng(dir.File("gray.png"), 3, 1, PNG_COLOR_TYPE_GRAY, 8, {{0, 128, 255}}));
    ASSERT_TRUE(plat::DecodeImageFile(dir.File("gray.png"), out));
    EXPECT_EQ(out.rgba, (std::vector<uint8_t>{0, 0, 0, 255, 128, 128, 128, 255, 255, 255, 255, 255}));

    // 1-bit gray: bits scaled to 0 and 255.
    ASSERT_TRUE(WriteRawPng(dir.File("bits.png"), 3, 1, PNG_COLOR_TYPE_GRAY, 1, {{0xA0}}));
    ASSERT_TRUE(plat::DecodeImageFile(dir.File("bits.png"), out));
    EXPECT_EQ(out.rgba, (std::vector<uint8_t>{255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255}));

    // Palette with a transparent entry.
    std::vector<png_color> palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    ASSERT_TRUE(WriteRawPng(dir.File("pal.png"), 2, 2, PNG_COLOR_TYPE_PALETTE, 8, {{0, 1}, {2, 0}},
                            palette, {0}));
    ASSERT_TRUE(plat::DecodeImageFile(dir.File("pal.png"), out));
    EXPECT_EQ(out.rgba, (std::vector<uint8_t>{255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0,
                                              0, 0}));

    // 16-bit RGB: the high bytes are kept, alpha added.
    ASSERT_TRUE(WriteRawPng(dir.File("deep.png"), 1, 1, PNG_COLOR_TYPE_RGB, 16,
                            {{0x12, 0x00, 0xAB, 0xFF, 0xFF, 0x00}}));
    ASSERT_TRUE(plat::DecodeImageFile(dir.File("deep.png"), out));
    ASSERT_EQ(out.rgba.size(), 4u);
    EXPECT_EQ(out.rgba[3], 255);
    EXPECT_NEAR(out.rgba[0], 0x12, 1);
    EXPECT_NEAR(out.rgba[1], 0xAB, 1);
    EXPECT_NEAR(out.rgba[2], 0xFF, 1);

    // Gray with alpha, interlaced.
    std::vector<std::vector<uint8_t>> rows;
    for (int y = 0; y < 9; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < 9; ++x) {
            row.push_back(static_cast<uint8_t>(x * 9 + y));
            row.push_back(static_cast<uint8_t>(200 - y));
        }
        rows.push_back(row);
    }
    ASSERT_TRUE(WriteRawPng(dir.File("ga.png"), 9, 9, PNG_COLOR_TYPE_GRAY_ALPHA, 8, rows, {}, {}, true));
    ASSERT_TRUE(plat::DecodeImageFile(dir.File("ga.png"), out));
    ASSERT_EQ(out.width, 9);
    ASSERT_EQ(out.height, 9);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) {
            const uint8_t* p = PixelAt(out, x, y);
            EXPECT_EQ(p[0], x * 9 + y);
            EXPECT_EQ(p[2], x * 9 + y);
            EXPECT_EQ(p[3], 200 - y);
        }
    }
}

TEST(CoreImagesJpeg, ColourAndGrayDecodeApproximately) {
    TempDir dir;
    plat::Pixels halves;
    halves.width = 32;
    halves.height = 16;
    halves.rgba.resize(32 * 16 * 4);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            uint8_t* p = &halves.rgba[(y * 32 + x) * 4];
            p[0] = x < 16 ? 220 : 20;
            p[1] = 40;
            p[2] = x < 16 ? 30 : 200;
            p[3] = 255;
        }
    // The name says PNG: the content decides.
    const std::string path = dir.File("photo.png");
    ASSERT_TRUE(WriteJpeg(path, halves, false));
    plat::Pixels out;
    ASSERT_TRUE(plat::DecodeImageFile(path, out));
    ASSERT_EQ(out.width, 32);
    ASSERT_EQ(out.height, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x : {2, 8, 24, 29}) {  // away from the colour edge
            const uint8_t* p = PixelAt(out, x, y);
            EXPECT_NEAR(p[0], x < 16 ? 220 : 20, 12);
            EXPECT_NEAR(p[1], 40, 12);
            EXPECT_NEAR(p[2], x < 16 ? 30 : 200, 12);
            EXPECT_EQ(p[3], 255);
        }
    }

    const plat::Pixels grays = MakeGradient(8, 8);
    ASSERT_TRUE(WriteJpeg(dir.File("gray.jpg"), grays, true));
    ASSERT_TRUE(plat::DecodeImageFile(dir.File("gray.jpg"), out));
    ASSERT_EQ(out.width, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const uint8_t* p = PixelAt(out, x, y);
            EXPECT_EQ(p[0], p[1]);
            EXPECT_EQ(p[1], p[2]);
            EXPECT_NEAR(p[0], PixelAt(grays, x, y)[0], 16);
            EXPECT_EQ(p[3], 255);
        }
    }
}

TEST(CoreImagesTiff, RgbaAndRgbDecodeExactly) {
    TempDir dir;
    const plat::Pixels original = MakeGradient(6, 4);
    ASSERT_TRUE(WriteTiff(dir.File("rgba.tif"), original, 4));
    plat::Pixels out;
    ASSERT_TRUE(plat::DecodeImageFile(dir.File("rgba.tif"), out));
    EXPECT_EQ(out.width, 6);
    EXPECT_EQ(out.height, 4);
    // Rows top to bottom, alpha exact. Colours go through libtiff's multiplication by alpha
    // and back, so they are exact only where alpha is 255 and otherwise within 255 / alpha.
    ASSERT_EQ(out.rgba.size(), original.rgba.size());
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const uint8_t* got = PixelAt(out, x, y);
            const uint8_t* want = PixelAt(original, x, y);
            ASSERT_EQ(got[3], want[3]) << x << "," << y;
            const int tolerance = want[3] == 255 ? 0 : 255 / want[3] + 1;
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], want[c], tolerance) << x << "," << y;
        }
    }

    ASSERT_TRUE(WriteTiff(dir.File("rgb.tiff"), original, 3));
    ASSERT_TRUE(plat::DecodeImageFile(dir.File("rgb.tiff"), out));
    ASSERT_EQ(out.rgba.size(), original.rgba.size());
    for (size_t i = 0; i < out.rgba.size(); ++i)
        EXPECT_EQ(out.rgba[i], i % 4 == 3 ? 255 : original.rgba[i]) << "byte " << i;
}

TEST(CoreImagesDamaged, TruncatedFilesGiveNoImage) {
    TempDir dir;
    const plat::Pixels picture = MakeGradient(64, 64);
    ASSERT_TRUE(plat::WritePngFile(dir.File("cut.png"), picture));
    ASSERT_TRUE(WriteJpeg(dir.File("cut.jpg"), picture, false));
    ASSERT_TRUE(WriteTiff(dir.File("cut.tif"), picture, 4));
    for (const char* name : {"cut.png", "cut.jpg", "cut.tif"}) {
        plat::Pixels whole;
        ASSERT_TRUE(plat::DecodeImageFile(dir.File(name), whole)) << name;
        TruncateToHalf(dir.File(name));
        ExpectNoImage(dir.File(name));
    }
    // Only the first bytes of each kind.
    for (const char* name : {"cut.png", "cut.jpg", "cut.tif"}) {
        std::filesystem::resize_file(dir.File(name), 12);
        ExpectNoImage(dir.File(name));
    }
}

TEST(CoreImagesDamaged, GarbageEmptyMissingAndDirectories) {
    TempDir dir;
    WriteBytes(dir.File("empty.png"), "");
    ExpectNoImage(dir.File("empty.png"));
    ExpectNoImage(dir.File("missing.png"));
    ExpectNoImage(dir.Prefix());
    ExpectNoImage("");
    WriteBytes(dir.File("text.png"), "just some text, no image at all\r\n");
    ExpectNoImage(dir.File("text.png"));

    // Random bytes, bare and behind each signature.
    std::mt19937 generator(99);
    const std::string signatures[] = {"", std::string("\x89PNG\r\n\x1a\n", 8), "\xff\xd8\xff",
                                      std::string("II*\0", 4), std::string("MM\0*", 4)};
    for (int round = 0; round < 10; ++round) {
        for (const std::string& signature : signatures) {
            std::string bytes = signature;
            for (int i = 0; i < 2000; ++i) bytes += static_cast<char>(generator());
            WriteBytes(dir.File("noise.img"), bytes);
            ExpectNoImage(dir.File("noise.img"));
        }
    }

    // A valid PNG with bytes of its image data flipped.
    ASSERT_TRUE(plat::WritePngFile(dir.File("flip.png"), MakeGradient(32, 32)));
    std::string bytes = ReadBytes(dir.File("flip.png"));
    for (size_t i = 60; i < bytes.size() - 20; i += 7) bytes[i] = static_cast<char>(bytes[i] ^ 0x5a);
    WriteBytes(dir.File("flip.png"), bytes);
    ExpectNoImage(dir.File("flip.png"));
}

TEST(CoreImagesDamaged, OversizedImagesAreRefused) {
    TempDir dir;
    WriteBytes(dir.File("huge.png"), PngWithHeader(100000, 100000));
    ExpectNoImage(dir.File("huge.png"));
    WriteBytes(dir.File("wide.png"), PngWithHeader(plat::kMaxImageSide + 1, 1));
    ExpectNoImage(dir.File("wide.png"));
    WriteBytes(dir.File("zero.png"), PngWithHeader(0, 10));
    ExpectNoImage(dir.File("zero.png"));

    // A genuine TIFF one pixel wider than the limit.
    plat::Pixels wide;
    wide.width = plat::kMaxImageSide + 1;
    wide.height = 1;
    wide.rgba.assign(static_cast<size_t>(wide.width) * 4, 90);
    ASSERT_TRUE(WriteTiff(dir.File("wide.tif"), wide, 3));
    ExpectNoImage(dir.File("wide.tif"));
}

TEST(CoreImagesTransparency, OnlyTheExactColourBecomesTransparent) {
    plat::Pixels pixels;
    pixels.width = 4;
    pixels.height = 1;
    pixels.rgba = {255, 0, 255, 255,  254, 0, 255, 255,  255, 0, 255, 128,  0, 0, 0, 255};
    plat::MakeColourTransparent(pixels, 255, 0, 255);
    EXPECT_EQ(pixels.rgba, (std::vector<uint8_t>{255, 0, 255, 0, 254, 0, 255, 255, 255, 0, 255, 0,
                                                 0, 0, 0, 255}));
    plat::Pixels empty;
    plat::MakeColourTransparent(empty, 0, 0, 0);
    EXPECT_TRUE(empty.rgba.empty());
}

}  // namespace
