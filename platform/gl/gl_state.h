// The GL renderer's one record (surface, batch, blending, images, drawables, font atlas) and
// the helpers its units share. Internal to platform/gl.
#pragma once
#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

#include "platform/display.h"

namespace plat::gl {

struct Vertex {
    float x = 0, y = 0;  // pixels, origin top-left
    float u = 0, v = 0;  // texture coordinates
    uint8_t r = 255, g = 255, b = 255, a = 255;  // modulates the texel
};

// A range of batched vertices drawn with one texture.
struct Run {
    GLuint texture = 0;
    int first = 0;
    int count = 0;
};

struct ImageSlot {
    bool used = false;
    int width = 0;
    int height = 0;
    // Pixels in memory (rows top to bottom); empty for a grab until something needs them.
    std::vector<uint8_t> rgba;
    GLuint texture = 0;
    // The texture's rows run bottom to top (a grab straight from the back buffer).
    bool textureFlipped = false;
    // The texture could not be made (too large for GL); drawing it shows nothing.
    bool uploadFailed = false;
};

struct DrawableSlot {
    bool used = false;
    int image = -1;
    Corner corners[4];  // top-left, top-right, bottom-right, bottom-left
};

struct Glyph {
    bool present = false;
    int atlasX = 0, atlasY = 0;  // top-left of the bitmap in the atlas
    int width = 0, height = 0;
    int left = 0;  // from the pen position to the bitmap's left edge
    int top = 0;   // from the baseline up to the bitmap's top edge
};

constexpr int kMaxBatchVertices = 6 * 4096;
constexpr int kAtlasCell = 20;                 // pixels per glyph cell
constexpr int kAtlasSide = 16 * kAtlasCell;    // 16 x 16 cells for codes 0..255
constexpr int kDefaultLineHeight = 14;

struct Renderer {
    bool running = false;
    int width = 0;
    int height = 0;
    GLuint vertexBuffer = 0;

    std::vector<Vertex> vertices;
    std::vector<Run> runs;
    int batchSource = 5;  // blend factors of the queued vertices
    int batchDestination = 6;
    int blendSource = 5;  // blend factors for the next sprite draws
    int blendDestination = 6;
    bool nearest = true;

    std::vector<ImageSlot> images;
    std::vector<DrawableSlot> drawables;
    std::vector<int> freeImages;     // released slots of `images`, reused first
    std::vector<int> freeDrawables;  // released slots of `drawables`, reused first

    // Font: rasterised once into atlasPixels; cell 0 is solid white for boxes and pixels.
    bool fontTried = false;
    bool fontLoaded = false;
    int advance = 0;
    int ascent = 0;
    int lineHeight = kDefaultLineHeight;
    Glyph glyphs[256];
    std::vector<uint8_t> atlasPixels;  // kAtlasSide x kAtlasSide RGBA
    GLuint atlasTexture = 0;
};

extern Renderer g_renderer;

// Queues one quad (corners top-left, top-right, bottom-right, bottom-left) with texture
// coordinates for the same corners; flushes first when the blend factors differ from the
// queued ones or the batch is full.
void QueueQuad(GLuint texture, const float xy[8], const float uv[8], int r, int g, int b, int a,
               int source, int destination);
// Makes the image's texture when the renderer runs and it has none; false when there is none.
bool EnsureTexture(ImageSlot& image);
void SetTextureFilter(GLuint texture, bool nearest);
// Deletes image textures and the atlas texture (context current), keeping the pixels in memory.
void DropImageTextures();
// Rasterises the font into the atlas pixels on first use.
void PrepareFont();
// Makes the atlas texture from the atlas pixels.
void UploadAtlas();

}  // namespace plat::gl
