// The GL renderer's one record (surface, batch, blending, images, atlas pages, drawables, font
// atlas) and the helpers its units share. Internal to platform/gl.
#pragma once
// The browser build has OpenGL ES 3.0 (WebGL 2) from its own headers; the desktop loads
// OpenGL 3.3 through libepoxy. The renderer uses only what both have, but for the few lines
// marked with RENDERER_GL_ES.
#if defined(__EMSCRIPTEN__)
#include <GLES3/gl3.h>
#define RENDERER_GL_ES 1
#else
#include <epoxy/gl.h>
#endif

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/display.h"
#include "platform/gl/capabilities.h"
#include "platform/gl/renderer.h"

namespace plat::gl {

// One corner of a queued quad; the colour is kept per quad (see QuadColour).
struct Vertex {
    float x = 0, y = 0;  // pixels, origin top-left
    float u = 0, v = 0;  // texture coordinates
};

// Colour that modulates a quad's texels (the same at its four corners).
struct QuadColour {
    uint8_t r = 255, g = 255, b = 255, a = 255;
    bool operator==(const QuadColour&) const = default;
};

// One square sprite as a point: centre and side in pixels, its texture mapping (the texture
// coordinates at the point's top-left corner and their change over its side), its colour, and
// the part of the point the sprite covers (left, top, right, bottom in point coordinates 0..1).
struct PointVertex {
    float x = 0, y = 0, side = 0;
    float left = 0, top = 0, width = 0, height = 0;
    QuadColour colour;
    float keep[4] = {0, 0, 1, 1};
};

// A range of batched quads drawn with one texture.
struct Run {
    GLuint texture = 0;
    int firstQuad = 0;
    int quads = 0;
    // Every quad is opaque at full opacity under normal blending, so it would look the same
    // drawn without blending (which saves reading the frame); done when the run is large.
    bool unblendable = false;
    // Every quad is drawn as a point sprite (see QuadIsPointSprite).
    bool asPoints = false;
    float pixels = 0;  // area the run's quads cover, summed (bounding boxes)
};

// The blend factor numbers a batch is drawn with.
struct BlendKey {
    int source = 5;       // 1..13
    int destination = 6;  // 1..13
    bool operator==(const BlendKey&) const = default;
};

struct ImageSlot {
    bool used = false;
    int width = 0;   // pixels
    int height = 0;  // pixels
    // Pixels in memory (rows top to bottom); empty for a grab until something needs them.
    std::vector<uint8_t> rgba;
    // Every pixel has alpha 255 (known only for images whose pixels are in memory).
    bool opaque = false;
    // The image's own texture, made when a draw needs it (scaled, turned, smoothed or not in
    // an atlas page).
    GLuint texture = 0;
    // The texture's rows run bottom to top (a grab straight from the back buffer).
    bool textureFlipped = false;
    // The texture could not be made (too large for GL); drawing it shows nothing.
    bool uploadFailed = false;
    // Cell of the image in an atlas page: index into Renderer::atlasPages, -1 when none.
    int atlasPage = -1;
    int atlasX = 0;  // pixels, left edge of the cell in the page
    int atlasY = 0;  // pixels, top edge of the cell in the page
    uint64_t atlasKey = 0;  // hash of the size and pixels the cell was chosen for
};

struct DrawableSlot {
    bool used = false;
    int image = -1;
    Corner corners[4];  // top-left, top-right, bottom-right, bottom-left
};

// A texture shared by many small images, filled shelf by shelf (rows of cells, left to right).
struct AtlasPage {
    GLuint texture = 0;
    int side = 0;         // pixels, width and height of the page
    int shelfTop = 0;     // pixels, top of the shelf being filled
    int shelfHeight = 0;  // pixels, tallest cell on that shelf
    int shelfNext = 0;    // pixels, left edge of the next cell on that shelf
    int images = 0;       // images placed in the page and not freed; at 0 the page is emptied
};

struct Glyph {
    bool present = false;
    int atlasX = 0, atlasY = 0;  // top-left of the bitmap in the atlas
    int width = 0, height = 0;
    int left = 0;  // from the pen position to the bitmap's left edge
    int top = 0;   // from the baseline up to the bitmap's top edge
};

// Quads per batch: 4 vertices each, so 16-bit indices reach every vertex.
constexpr int kMaxBatchQuads = 16384;
// Pixels a run of unblendable quads must cover to be drawn without blending: below that, the
// extra draw call costs more than the blending it saves.
constexpr float kMinUnblendedPixels = 16384;
// Quads a run of point sprites must hold to be drawn as points in a batch that also has
// triangles: below that, switching program and arrays costs more than the points save.
constexpr int kMinPointRun = 64;
constexpr int kAtlasCell = 20;                 // pixels per glyph cell
constexpr int kAtlasSide = 16 * kAtlasCell;    // 16 x 16 cells for codes 0..255
constexpr int kDefaultLineHeight = 14;
constexpr int kAtlasPageSide = 2048;           // pixels, largest page (less when GL allows less)
constexpr int kAtlasFirstPageSide = 256;       // pixels, first page; it doubles while it fills
constexpr int kAtlasLargestImage = 256;        // pixels; larger images keep their own texture

struct Renderer {
    bool running = false;
    int width = 0;   // pixels
    int height = 0;  // pixels
    // The straightforward path (6 vertices per quad with colours, each image its own texture,
    // all state and a new buffer at every flush, every quad blended), kept to check the fast
    // path against it pixel for pixel.
    bool reference = false;
    // What the context offers the fast paths (read at StartRenderer), and the test-only limit
    // put on it (see LimitCapabilities).
    Capabilities caps;
    bool capsLimited = false;
    Capabilities capsLimit;

    GLuint vertexBuffer = 0;     // persistent: vertices, then per-vertex colours of a batch
    GLuint indexBuffer = 0;      // fixed: two triangles per quad (corners 0 1 2 and 0 2 3)
    GLuint referenceBuffer = 0;  // re-made at every flush of the straightforward path
    // Vertex arrays: the batch's quads (vertex buffer and index buffer), the straightforward
    // path's buffer, and the point sprites' buffer (point_sprites.cpp).
    GLuint triangleArrays = 0;
    GLuint referenceArrays = 0;
    GLuint pointArrays = 0;
    // Programs of quads as triangles: [texture only] (texel alone, or texel times colour).
    GLuint trianglePrograms[2] = {};
    // The program and vertex array last bound by a flush (0: bind at the next draw).
    GLuint boundProgram = 0;
    GLuint boundArrays = 0;
    // Surface size the programs' pixel-to-clip scale was last set for.
    int programsWidth = 0;
    int programsHeight = 0;

    std::vector<Vertex> vertices;     // 4 per queued quad
    std::vector<QuadColour> colours;  // 1 per queued quad
    int quadsSinceFlush = 0;          // quads drawn since the last glFlush
    std::vector<Run> runs;
    BlendKey batchBlend;              // of the queued quads
    int blendSource = 5;  // blend factors for the next sprite draws
    int blendDestination = 6;
    bool nearest = true;

    // GL state as last set by a flush; stateApplied false: set everything at the next flush
    // (a new frame or pass, where another toolkit may have touched the context).
    bool stateApplied = false;
    BlendKey appliedBlend;
    bool blendEnabled = true;  // GL_BLEND as last set
    std::vector<uint8_t> expanded;  // scratch: per-vertex colours or reference vertices

    // Point sprites (0 when GL cannot draw them): the programs, their buffer, and the batch's
    // sprites as points.
    GLuint pointPrograms[2][2] = {};  // [with the cut][texture only]
    GLuint pointBuffer = 0;
    bool pointsCut = false;     // the batch has sprites cut at the surface's edge
    std::vector<PointVertex> points;

    std::vector<ImageSlot> images;
    std::vector<DrawableSlot> drawables;
    std::vector<int> freeImages;     // released slots of `images`, reused first
    std::vector<int> freeDrawables;  // released slots of `drawables`, reused first
    std::vector<AtlasPage> atlasPages;
    // Images in atlas cells by the hash of their size and pixels: images with the same pixels
    // share one cell, so that tile kinds of one picture cost one cell and cache space for one.
    std::unordered_multimap<uint64_t, int> atlasImages;

    RendererStats stats;

    // The frame's clear, made just before the back buffer is first drawn to or read, and the
    // swap of the frame handed to GL, made just before that clear (see SubmitFrame).
    bool clearPending = false;
    Colour clearColour;
    void (*pendingSwap)() = nullptr;

    // Font: rasterised once into atlasPixels; cell 0 is solid white for boxes and pixels.
    bool fontTried = false;
    bool fontLoaded = false;
    int advance = 0;
    int ascent = 0;
    int lineHeight = kDefaultLineHeight;
    Glyph glyphs[256];
    std::vector<uint8_t> atlasPixels;  // kAtlasSide x kAtlasSide RGBA
    GLuint atlasTexture = 0;

    // Test-only: called at every flush that hands quads to GL (see platform/draw_hook.h).
    void (*drawHook)() = nullptr;
};

extern Renderer g_renderer;

// Queues one quad (corners top-left, top-right, bottom-right, bottom-left) with texture
// coordinates for the same corners, blended normally; flushes first when the blend differs
// from the queued quads' or the batch is full. The quad shows its texels one to one, or one
// colour (glyphs and filled rectangles).
void QueueQuad(GLuint texture, const float xy[8], const float uv[8], int r, int g, int b, int a,
               int source, int destination);
// The same with a colour record; `unblendable`: the quad looks the same without blending;
// `oneToOne`: the quad shows its texels one to one.
void QueueQuadBlended(GLuint texture, const float xy[8], const float uv[8], QuadColour colour,
                      BlendKey blend, bool unblendable, bool oneToOne);
// true when the factors are the normal mode (source alpha, inverse source alpha).
bool IsNormalBlend(int source, int destination);
// Makes the image's own texture when the renderer runs and it has none; false when there is none.
bool EnsureTexture(ImageSlot& image);
void SetTextureFilter(GLuint texture, bool nearest);
// Deletes image textures, atlas pages and the font atlas texture (context current), keeping
// the pixels in memory.
void DropImageTextures();
// Rasterises the font into the atlas pixels on first use.
void PrepareFont();
// Makes the atlas texture from the atlas pixels.
void UploadAtlas();

// --- shaders (shaders.cpp) -------------------------------------------------------------------
// Vertex attribute locations shared by every program and vertex array.
constexpr GLuint kCornerAttribute = 0;  // quad corner (x, y) or point (centre x, y, side)
constexpr GLuint kTexelAttribute = 1;   // texture coordinates, or a point's texture mapping
constexpr GLuint kColourAttribute = 2;  // colour, 4 normalised bytes
constexpr GLuint kKeepAttribute = 3;    // the part of a point its sprite covers
// Makes the two triangle programs; false when they do not compile or link.
bool MakeTrianglePrograms(Renderer& r);
// Makes the four point-sprite programs; false (and none made) when they do not compile or link.
bool MakePointPrograms(Renderer& r);
void DeletePrograms(Renderer& r);
// Sets the programs' pixel-to-clip scale for the surface's size when it changed.
void ScalePrograms(Renderer& r);
// Binds the program and the vertex array unless they are bound already.
void UseProgram(Renderer& r, GLuint program, GLuint arrays);

// --- point sprites (point_sprites.cpp) -------------------------------------------------------
// Makes the point-sprite programs, buffer and vertex array; false when GL cannot draw them.
bool MakePointSprites(Renderer& r);
void DeletePointSprites(Renderer& r);
// Whether a quad (corners as QueueQuad takes them) is drawn as a point sprite: an upright
// square of whole pixels showing on the surface, with an upright texture cell, when GL draws
// point sprites. The caller vouches that the quad shows its texels one to one (or one colour), and
// sampling is nearest: then the sprite samples the same texel at every pixel as the two
// triangles would, and covers the same pixels.
bool QuadIsPointSprite(const Renderer& r, const float xy[8], const float uv[8]);
// Writes the batch's point-sprite runs as points into the point buffer.
void FillPointSprites(Renderer& r);

// --- atlas pages (atlas.cpp) -----------------------------------------------------------------
// Places the image's pixels in an atlas page when it is small enough; false when it is not
// placed (too large, no pixels, pages could not be made).
bool PlaceInAtlas(ImageSlot& image);
// Writes the image's pixels into its cell again (after the page grew).
void RefreshAtlasCell(const ImageSlot& image);
// The image's pixels changed: its cell is written again, or, when other images share the cell,
// it moves to a cell of its own (or one with its new pixels).
void AtlasPixelsChanged(ImageSlot& image);
// Deletes every atlas page; their images keep their pixels and are placed again on demand.
void DropAtlasPages();
// Gives the image's cell back; an emptied page is reused from its start.
void LeaveAtlas(ImageSlot& image);
// Whether every pixel has alpha 255.
bool AllOpaque(const std::vector<uint8_t>& rgba);

}  // namespace plat::gl
