// 2D drawing over the frame: the monospaced font rasterised once into a glyph atlas, text,
// boxes and single pixels, all queued in the sprite batch with normal blending.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/core/system.h"
#include "platform/display.h"
#include "platform/gl/fonts.h"
#include "platform/gl/gl_state.h"
#include "platform/process.h"

namespace plat::gl {

namespace {

constexpr int kFontPixels = 12;
// The font a package may ship beside the program, found before any of the system's.
constexpr const char* kShippedFont = "DejaVuSansMono.ttf";

// The shipped font (beside the program's binary, or in fonts/ beside it), else the system's.
FontFile FindFont() {
    const std::string own = OwnProgramDirectory();
    for (const char* folder : {"", "fonts/"}) {
        const std::string path = own + folder + kShippedFont;
        if (!own.empty() && sys::IsPlainFile(path)) return FontFile{path, 0};
    }
    return FindSystemFont();
}

// The whole font file, read through the platform's own file opening (so any UTF-8 path works
// on every system); false when it cannot be read.
bool ReadFontFile(const std::string& path, std::vector<FT_Byte>& bytes) {
    FILE* stream = sys::OpenStream(path, "rb");
    if (stream == nullptr) return false;
    FT_Byte chunk[65536];
    size_t n = 0;
    while ((n = fread(chunk, 1, sizeof chunk, stream)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    const bool ok = ferror(stream) == 0 && !bytes.empty();
    fclose(stream);
    return ok;
}

void FillWhiteCell(std::vector<uint8_t>& atlas) {
    for (int y = 0; y < kAtlasCell; ++y) {
        for (int x = 0; x < kAtlasCell; ++x) {
            const size_t at = (static_cast<size_t>(y) * kAtlasSide + x) * 4;
            atlas[at] = atlas[at + 1] = atlas[at + 2] = atlas[at + 3] = 255;
        }
    }
}

// Copies one rendered glyph into its cell (clipped to the cell) and records its placement.
void StoreGlyph(Renderer& r, int code, const FT_GlyphSlot slot) {
    const FT_Bitmap& bitmap = slot->bitmap;
    Glyph& glyph = r.glyphs[code];
    glyph.atlasX = (code % 16) * kAtlasCell;
    glyph.atlasY = (code / 16) * kAtlasCell;
    glyph.width = std::min(static_cast<int>(bitmap.width), kAtlasCell);
    glyph.height = std::min(static_cast<int>(bitmap.rows), kAtlasCell);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.present = glyph.width > 0 && glyph.height > 0;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            uint8_t coverage = 0;
            const uint8_t* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                coverage = (row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
            } else {
                coverage = row[x];
            }
            const size_t at =
                (static_cast<size_t>(glyph.atlasY + y) * kAtlasSide + glyph.atlasX + x) * 4;
            r.atlasPixels[at] = r.atlasPixels[at + 1] = r.atlasPixels[at + 2] = 255;
            r.atlasPixels[at + 3] = coverage;
        }
    }
}

bool RasteriseFont(Renderer& r) {
    const FontFile font = FindFont();
    std::vector<FT_Byte> bytes;  // must outlive the face made from it
    if (font.path.empty() || !ReadFontFile(font.path, bytes)) return false;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return false;
    FT_Face face = nullptr;
    bool ok = FT_New_Memory_Face(library, bytes.data(), static_cast<FT_Long>(bytes.size()), font.index, &face) == 0 &&
              FT_Set_Pixel_Sizes(face, 0, kFontPixels) == 0;
    if (ok) {
        r.ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
        r.lineHeight = static_cast<int>((face->size->metrics.height + 63) >> 6);
        if (r.lineHeight <= 0) r.lineHeight = kDefaultLineHeight;
        if (FT_Load_Char(face, 'M', FT_LOAD_DEFAULT) == 0) {
            r.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
        }
        ok = r.advance > 0;
    }
    // Codes are Latin-1, which matches the first 256 Unicode code points; control codes
    // (0..31, 127..159) draw nothing.
    for (int code = 32; ok && code < 256; ++code) {
        if (code >= 127 && code < 160) continue;
        if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER) != 0) continue;
        StoreGlyph(r, code, face->glyph);
    }
    if (face != nullptr) FT_Done_Face(face);
    FT_Done_FreeType(library);
    return ok;
}

// Queues a plain rectangle in a solid colour (the atlas's white cell).
void QueueRectangle(float x, float y, float width, float height, Colour colour) {
    const Renderer& r = g_renderer;
    const float centre = (kAtlasCell / 2.0f) / kAtlasSide;
    const float xy[8] = {x, y, x + width, y, x + width, y + height, x, y + height};
    const float uv[8] = {centre, centre, centre, centre, centre, centre, centre, centre};
    QueueQuad(r.atlasTexture, xy, uv, colour.r, colour.g, colour.b, 255, 5, 6);
}

}  // namespace

void PrepareFont() {
    Renderer& r = g_renderer;
    if (r.fontTried) return;
    r.fontTried = true;
    r.atlasPixels.assign(static_cast<size_t>(kAtlasSide) * kAtlasSide * 4, 0);
    FillWhiteCell(r.atlasPixels);
    for (Glyph& glyph : r.glyphs) glyph = Glyph{};
    r.fontLoaded = RasteriseFont(r);
    if (!r.fontLoaded) {
        // Tried once per process, so this is the only warning; everything else runs without text.
        std::fprintf(stderr, "warning: no font (%s, %s) could be loaded; text is not drawn\n", kShippedFont,
                     SystemFontRequest());
        for (Glyph& glyph : r.glyphs) glyph = Glyph{};
        r.lineHeight = kDefaultLineHeight;
    }
}

void UploadAtlas() {
    Renderer& r = g_renderer;
    if (r.atlasTexture == 0) glGenTextures(1, &r.atlasTexture);
    glBindTexture(GL_TEXTURE_2D, r.atlasTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // Glyphs are drawn pixel for pixel, whatever sampling the sprites use.
    SetTextureFilter(r.atlasTexture, true);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kAtlasSide, kAtlasSide, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 r.atlasPixels.data());
}

}  // namespace plat::gl

namespace plat {

using gl::g_renderer;

void DrawText(int x, int y, const std::string& text, Colour colour, bool opaque,
              Colour background) {
    gl::Renderer& r = g_renderer;
    if (!r.running || !r.fontLoaded || text.empty()) return;
    if (opaque) {
        gl::QueueRectangle(static_cast<float>(x), static_cast<float>(y),
                           static_cast<float>(r.advance * static_cast<int>(text.size())),
                           static_cast<float>(r.lineHeight), background);
    }
    const float side = static_cast<float>(gl::kAtlasSide);
    int pen = x;
    const int baseline = y + r.ascent;
    for (unsigned char code : text) {
        const gl::Glyph& glyph = r.glyphs[code];
        if (glyph.present) {
            const float left = static_cast<float>(pen + glyph.left);
            const float top = static_cast<float>(baseline - glyph.top);
            const float right = left + glyph.width;
            const float bottom = top + glyph.height;
            const float u0 = glyph.atlasX / side;
            const float v0 = glyph.atlasY / side;
            const float u1 = (glyph.atlasX + glyph.width) / side;
            const float v1 = (glyph.atlasY + glyph.height) / side;
            const float xy[8] = {left, top, right, top, right, bottom, left, bottom};
            const float uv[8] = {u0, v0, u1, v0, u1, v1, u0, v1};
            gl::QueueQuad(r.atlasTexture, xy, uv, colour.r, colour.g, colour.b, 255, 5, 6);
        }
        pen += r.advance;
    }
}

int TextLineHeight() {
    gl::PrepareFont();
    return g_renderer.lineHeight;
}

void DrawBox(int x, int y, int width, int height, Colour colour, bool filled) {
    if (!g_renderer.running || width <= 0 || height <= 0) return;
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const float fw = static_cast<float>(width);
    const float fh = static_cast<float>(height);
    if (filled || width <= 2 || height <= 2) {
        gl::QueueRectangle(fx, fy, fw, fh, colour);
        return;
    }
    gl::QueueRectangle(fx, fy, fw, 1, colour);               // top
    gl::QueueRectangle(fx, fy + fh - 1, fw, 1, colour);      // bottom
    gl::QueueRectangle(fx, fy + 1, 1, fh - 2, colour);       // left
    gl::QueueRectangle(fx + fw - 1, fy + 1, 1, fh - 2, colour);  // right
}

void SetPixel(int x, int y, Colour colour) {
    if (!g_renderer.running) return;
    gl::QueueRectangle(static_cast<float>(x), static_cast<float>(y), 1, 1, colour);
}

}  // namespace plat
