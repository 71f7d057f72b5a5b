// Image codecs: PNG, JPEG and TIFF files decoded into 8-bit RGBA rows, PNG files written.
// Every library error ends in "no image" (false); nothing is printed and nothing crashes.
#include "platform/images.h"

#include "platform/files.h"

#include <png.h>
#include <setjmp.h>
#include <stdio.h>
#include <tiffio.h>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>

#include "platform/core/system.h"

namespace plat {
namespace {

enum class ImageKind { Unknown, Png, Jpeg, Tiff };

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

ImageKind DetectKind(FILE* stream) {
    unsigned char head[8] = {};
    size_t n = fread(head, 1, sizeof head, stream);
    rewind(stream);
    if (n >= 8 && memcmp(head, kPngSignature, 8) == 0) return ImageKind::Png;
    if (n >= 3 && head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff) return ImageKind::Jpeg;
    // Classic TIFF (42) and BigTIFF (43), little- and big-endian.
    if (n >= 4 && head[0] == 'I' && head[1] == 'I' && (head[2] == 42 || head[2] == 43) &&
        head[3] == 0)
        return ImageKind::Tiff;
    if (n >= 4 && head[0] == 'M' && head[1] == 'M' && head[2] == 0 &&
        (head[3] == 42 || head[3] == 43))
        return ImageKind::Tiff;
    return ImageKind::Unknown;
}

// Sizes the output, refusing sides outside 1..kMaxImageSide and more than kMaxImagePixels pixels
// (which also keeps width * height * 4 far below the range of size_t).
bool PrepareOutput(long long width, long long height, Pixels& out) {
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) return false;
    if (width * height > kMaxImagePixels) return false;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.rgba.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    return true;
}

// ---- PNG ----

void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarning(png_structp, png_const_charp) {}

bool DecodePng(FILE* stream, Pixels& out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    // Declared before setjmp so that a long jump out of libpng skips no destructor.
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, stream);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    if (!PrepareOutput(width, height, out)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }

    // Every layout becomes 8-bit RGBA; no gamma conversion, the stored values are kept.
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_tRNS_to_alpha(png);
        hasAlpha = true;
    }
    if (bitDepth == 16) png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (!hasAlpha) png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(out.width) * 4) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }

    rows.resize(static_cast<size_t>(out.height));
    for (int y = 0; y < out.height; ++y)
        rows[y] = out.rgba.data() + static_cast<size_t>(y) * static_cast<size_t>(out.width) * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// ---- JPEG ----

struct JpegErrors {
    jpeg_error_mgr manager;  // first member: libjpeg hands back a pointer to it
    jmp_buf jump;
    bool endedEarly;  // the data stopped before the image was complete
};

void JpegErrorExit(j_common_ptr info) {
    JpegErrors* errors = reinterpret_cast<JpegErrors*>(info->err);
    longjmp(errors->jump, 1);
}

void JpegMessage(j_common_ptr info, int level) {
    // Warnings (level -1) are not printed; a premature end of data makes the image unusable.
    JpegErrors* errors = reinterpret_cast<JpegErrors*>(info->err);
    if (level < 0 && errors->manager.msg_code == JWRN_JPEG_EOF) errors->endedEarly = true;
}

void JpegOutput(j_common_ptr) {}

bool DecodeJpeg(FILE* stream, Pixels& out) {
    jpeg_decompress_struct info;
    JpegErrors errors;
    memset(&info, 0, sizeof info);
    memset(&errors, 0, sizeof errors);
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JpegErrorExit;
    errors.manager.emit_message = JpegMessage;
    errors.manager.output_message = JpegOutput;
    std::vector<uint8_t> row;  // declared before setjmp: a long jump skips no destructor
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, stream);
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK ||
        !PrepareOutput(info.image_width, info.image_height, out)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || static_cast<int>(info.output_width) != out.width ||
        static_cast<int>(info.output_height) != out.height) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    row.resize(static_cast<size_t>(out.width) * 3);
    while (info.output_scanline < info.output_height && !errors.endedEarly) {
        size_t y = info.output_scanline;
        JSAMPROW rowPointer = row.data();
        if (jpeg_read_scanlines(&info, &rowPointer, 1) != 1) break;
        uint8_t* target = out.rgba.data() + y * static_cast<size_t>(out.width) * 4;
        for (int x = 0; x < out.width; ++x) {
            target[x * 4 + 0] = row[x * 3 + 0];
            target[x * 4 + 1] = row[x * 3 + 1];
            target[x * 4 + 2] = row[x * 3 + 2];
            target[x * 4 + 3] = 255;
        }
    }
    bool complete = info.output_scanline == info.output_height && !errors.endedEarly;
    if (complete) jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return complete && !errors.endedEarly;
}

// ---- TIFF ----

void TiffSilent(const char*, const char*, va_list) {}

bool DecodeTiff(const std::string& path, Pixels& out) {
    TIFFSetErrorHandler(TiffSilent);
    TIFFSetWarningHandler(TiffSilent);
    TIFF* tiff = sys::OpenTiffForReading(path);
    if (tiff == nullptr) return false;
    uint32_t width = 0, height = 0;
    bool ok = TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) == 1 &&
              TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height) == 1 &&
              PrepareOutput(width, height, out);
    if (ok) {
        char message[1024] = {};
        ok = TIFFRGBAImageOK(tiff, message) == 1;
    }
    if (ok) {
        // Each raster word holds one pixel; TIFFGetR/G/B/A pick its channels.
        std::vector<uint32_t> raster(static_cast<size_t>(width) * height);
        ok = TIFFReadRGBAImageOriented(tiff, width, height, raster.data(), ORIENTATION_TOPLEFT,
                                       1) == 1;
        // libtiff hands out colours multiplied by alpha; sprites want them unmultiplied.
        for (size_t i = 0; ok && i < raster.size(); ++i) {
            const uint32_t alpha = TIFFGetA(raster[i]);
            const uint32_t channels[3] = {TIFFGetR(raster[i]), TIFFGetG(raster[i]),
                                          TIFFGetB(raster[i])};
            for (int c = 0; c < 3; ++c) {
                uint32_t value = channels[c];
                if (alpha > 0 && alpha < 255)
                    value = std::min<uint32_t>(255, (value * 255 + alpha / 2) / alpha);
                out.rgba[i * 4 + c] = static_cast<uint8_t>(value);
            }
            out.rgba[i * 4 + 3] = static_cast<uint8_t>(alpha);
        }
    }
    TIFFClose(tiff);
    return ok;
}

}  // namespace

bool DecodeImageFile(const std::string& path, Pixels& out) {
    out = Pixels{};
    if (path.empty()) return false;
    if (!sys::IsPlainFile(path)) return false;
    FILE* stream = sys::OpenStream(path, "rb");
    if (stream == nullptr) return false;
    bool ok = false;
    switch (DetectKind(stream)) {
        case ImageKind::Png: ok = DecodePng(stream, out); break;
        case ImageKind::Jpeg: ok = DecodeJpeg(stream, out); break;
        case ImageKind::Tiff: ok = DecodeTiff(path, out); break;
        case ImageKind::Unknown: ok = false; break;
    }
    fclose(stream);
    if (!ok) out = Pixels{};
    return ok;
}

bool EncodePng(const Pixels& pixels, std::string& bytes) {
    bytes.clear();
    if (pixels.width <= 0 || pixels.height <= 0 || pixels.width > kMaxImageSide || pixels.height > kMaxImageSide ||
        pixels.rgba.size() != static_cast<size_t>(pixels.width) * static_cast<size_t>(pixels.height) * 4)
        return false;

    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(pixels.width);
    image.height = static_cast<png_uint_32>(pixels.height);
    image.format = PNG_FORMAT_RGBA;
    // Encoded into the largest size the encoding can take, then cut to what it took.
    std::string data(PNG_IMAGE_PNG_SIZE_MAX(image), '\0');
    png_alloc_size_t size = data.size();
    const bool ok = png_image_write_to_memory(&image, data.data(), &size, 0, pixels.rgba.data(),
                                              pixels.width * 4, nullptr) != 0;
    png_image_free(&image);
    if (ok) {
        data.resize(size);
        bytes = std::move(data);
    }
    return ok;
}

bool WritePngFile(const std::string& path, const Pixels& pixels) {
    // Written beside the target and renamed over it, so a failure leaves no partial file.
    std::string data;
    return !path.empty() && EncodePng(pixels, data) && WriteBytesAtomically(path, data);
}

void MakeColourTransparent(Pixels& pixels, int r, int g, int b) {
    const size_t count = pixels.rgba.size() / 4;
    for (size_t i = 0; i < count; ++i) {
        uint8_t* p = pixels.rgba.data() + i * 4;
        if (p[0] == r && p[1] == g && p[2] == b) p[3] = 0;
    }
}

}  // namespace plat
