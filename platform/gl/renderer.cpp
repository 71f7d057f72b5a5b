// The GL renderer's surface and batch: start and stop on a context, the persistent vertex
// buffer of indexed quads, blend factors, clearing, passes, sampling and back-buffer read-back.
#include "platform/gl/renderer.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <initializer_list>

#include "platform/draw_hook.h"
#include "platform/gl/gl_state.h"

namespace plat::gl {

Renderer g_renderer;

namespace {

constexpr GLsizeiptr kVertexBytes = static_cast<GLsizeiptr>(kMaxBatchQuads) * 4 * sizeof(Vertex);
constexpr GLsizeiptr kColourBytes = static_cast<GLsizeiptr>(kMaxBatchQuads) * 4 * 4;

// A vertex of the straightforward path: corner, texture coordinates and colour together.
struct Flat {
    float x, y, u, v;
    uint8_t r, g, b, a;
};

// Points the bound vertex array's corner, texture and colour attributes at the bound buffer.
void PointQuadAttributes(GLsizei stride, size_t texelOffset, GLsizei colourStride, size_t colourOffset) {
    glVertexAttribPointer(kCornerAttribute, 2, GL_FLOAT, GL_FALSE, stride, nullptr);
    glVertexAttribPointer(kTexelAttribute, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(texelOffset));
    glVertexAttribPointer(kColourAttribute, 4, GL_UNSIGNED_BYTE, GL_TRUE, colourStride,
                          reinterpret_cast<const void*>(colourOffset));
    for (const GLuint attribute : {kCornerAttribute, kTexelAttribute, kColourAttribute}) {
        glEnableVertexAttribArray(attribute);
    }
}

// Blend factor numbers 1..11 as GL factors.
GLenum FactorOf(int number) {
    switch (number) {
        case 1: return GL_ZERO;
        case 2: return GL_ONE;
        case 3: return GL_SRC_COLOR;
        case 4: return GL_ONE_MINUS_SRC_COLOR;
        case 5: return GL_SRC_ALPHA;
        case 6: return GL_ONE_MINUS_SRC_ALPHA;
        case 7: return GL_DST_ALPHA;
        case 8: return GL_ONE_MINUS_DST_ALPHA;
        case 9: return GL_DST_COLOR;
        case 10: return GL_ONE_MINUS_DST_COLOR;
        default: return GL_SRC_ALPHA_SATURATE;  // 11
    }
}

void BlendFactors(int source, int destination, GLenum& sourceFactor, GLenum& destinationFactor) {
    // 12 and 13 set both factors at once, whatever the destination number says.
    if (source == 12) {
        sourceFactor = GL_SRC_ALPHA;
        destinationFactor = GL_ONE_MINUS_SRC_ALPHA;
    } else if (source == 13) {
        sourceFactor = GL_ONE_MINUS_SRC_ALPHA;
        destinationFactor = GL_SRC_ALPHA;
    } else if (destination == 12) {
        sourceFactor = FactorOf(source);
        destinationFactor = GL_ONE_MINUS_SRC_ALPHA;
    } else if (destination == 13) {
        sourceFactor = FactorOf(source);
        destinationFactor = GL_SRC_ALPHA;
    } else {
        sourceFactor = FactorOf(source);
        destinationFactor = FactorOf(destination);
    }
}

void ApplyBlend(const BlendKey& blend) {
    GLenum sourceFactor = GL_SRC_ALPHA, destinationFactor = GL_ONE_MINUS_SRC_ALPHA;
    BlendFactors(blend.source, blend.destination, sourceFactor, destinationFactor);
    glBlendFunc(sourceFactor, destinationFactor);
}

void EnableBlending(bool on) {
    Renderer& r = g_renderer;
    if (r.blendEnabled == on) return;
    r.blendEnabled = on;
    if (on) {
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
}

// Sets every piece of GL state the batch relies on, except the blending, the buffers' data and
// the bound program and vertex array, which are bound again at the next draw (another toolkit
// may have touched the context between passes).
void ApplySurfaceState() {
    Renderer& r = g_renderer;
    glViewport(0, 0, r.width, r.height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
#if !defined(RENDERER_GL_ES)
    // Points take their side from the program (always so in ES).
    glEnable(GL_PROGRAM_POINT_SIZE);
#endif
    glActiveTexture(GL_TEXTURE0);
    ScalePrograms(r);
    r.boundProgram = 0;
    r.boundArrays = 0;
}

// The fast path's state, once per pass.
void ApplyBatchState() {
    Renderer& r = g_renderer;
    ApplySurfaceState();
    r.appliedBlend = r.batchBlend;
    ApplyBlend(r.appliedBlend);
    glEnable(GL_BLEND);
    r.blendEnabled = true;
    r.stateApplied = true;
}

// A run is drawn without blending when that gives the same pixels and saves enough of them.
bool RunUnblended(const Run& run) {
    return run.unblendable && run.pixels >= kMinUnblendedPixels &&
           IsNormalBlend(g_renderer.batchBlend.source, g_renderer.batchBlend.destination);
}

// Draws the batch's runs in order, neighbouring runs that end up with the same texture and
// blending (and both as points or both as triangles) as one call of
// `draw(firstQuad, quads, asPoints)`.
template <typename Draw>
void DrawRuns(Draw draw) {
    Renderer& r = g_renderer;
    size_t next = 0;
    while (next < r.runs.size()) {
        const Run& head = r.runs[next];
        const bool blended = !RunUnblended(head);
        int quadsInDraw = 0;
        while (next < r.runs.size() && r.runs[next].texture == head.texture &&
               r.runs[next].asPoints == head.asPoints && !RunUnblended(r.runs[next]) == blended) {
            if (!blended) r.stats.unblended += r.runs[next].quads;
            quadsInDraw += r.runs[next].quads;
            ++next;
        }
        EnableBlending(blended);
        glBindTexture(GL_TEXTURE_2D, head.texture);
        draw(head.firstQuad, quadsInDraw, head.asPoints);
        r.stats.drawCalls += 1;
    }
}

// The fast path: runs of square sprites as points (point_sprites.cpp), the other quads as their
// 4 corners through the fixed index buffer, with a colour per vertex, or from the texture alone
// (a program without the colour) when every quad of the batch is untinted and opaque: llvmpipe
// then has no colour to interpolate and multiply, which saved about 5 % at 32 px and 2-3 % at
// 8 px per frame.
void FlushIndexed() {
    Renderer& r = g_renderer;
    if (!r.stateApplied) ApplyBatchState();
    if (!(r.appliedBlend == r.batchBlend)) {
        r.appliedBlend = r.batchBlend;
        ApplyBlend(r.appliedBlend);
    }
    const int quads = static_cast<int>(r.colours.size());
    const bool allWhite = std::all_of(r.colours.begin(), r.colours.end(),
                                      [](const QuadColour& c) { return c == QuadColour{}; });
    if (allWhite) r.stats.textureOnly += quads;
    bool anyTriangles = std::any_of(r.runs.begin(), r.runs.end(), [](const Run& run) { return !run.asPoints; });
    // Between triangles, a short run of point sprites costs two switches of program and arrays
    // for little; it joins the triangles.
    if (anyTriangles) {
        for (Run& run : r.runs) {
            if (run.quads < kMinPointRun) run.asPoints = false;
        }
    }
    const bool anyPoints = std::any_of(r.runs.begin(), r.runs.end(), [](const Run& run) { return run.asPoints; });
    if (anyPoints) FillPointSprites(r);
    if (anyTriangles) {
        glBindBuffer(GL_ARRAY_BUFFER, r.vertexBuffer);
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(r.vertices.size() * sizeof(Vertex)),
                        r.vertices.data());
        if (!allWhite) {
            r.expanded.resize(static_cast<size_t>(quads) * 16);
            uint8_t* out = r.expanded.data();
            for (const QuadColour& c : r.colours) {
                for (int corner = 0; corner < 4; ++corner, out += 4) std::memcpy(out, &c, 4);
            }
            glBufferSubData(GL_ARRAY_BUFFER, kVertexBytes, static_cast<GLsizeiptr>(r.expanded.size()),
                            r.expanded.data());
        }
    }
    const int textureOnly = allWhite ? 1 : 0;
    DrawRuns([&](int firstQuad, int quadsInDraw, bool asPoints) {
        if (asPoints) {
            UseProgram(r, r.pointPrograms[r.pointsCut ? 1 : 0][textureOnly], r.pointArrays);
            glDrawArrays(GL_POINTS, firstQuad, quadsInDraw);
            r.stats.pointSprites += quadsInDraw;
            return;
        }
        UseProgram(r, r.trianglePrograms[textureOnly], r.triangleArrays);
        const GLuint first = static_cast<GLuint>(firstQuad) * 4;
        glDrawRangeElements(GL_TRIANGLES, first, first + static_cast<GLuint>(quadsInDraw) * 4 - 1,
                            quadsInDraw * 6, GL_UNSIGNED_SHORT,
                            reinterpret_cast<const void*>(static_cast<size_t>(firstQuad) * 6 *
                                                          sizeof(uint16_t)));
    });
}

// The straightforward path: all state at every flush, a new buffer of 6 coloured vertices per
// quad, one glDrawArrays per texture run.
void FlushReference() {
    Renderer& r = g_renderer;
    ApplySurfaceState();
    ApplyBlend(r.batchBlend);
    glEnable(GL_BLEND);
    const int quads = static_cast<int>(r.colours.size());
    r.expanded.resize(static_cast<size_t>(quads) * 6 * sizeof(Flat));
    Flat* out = reinterpret_cast<Flat*>(r.expanded.data());
    static constexpr int kOrder[6] = {0, 1, 2, 0, 2, 3};
    for (int q = 0; q < quads; ++q) {
        const QuadColour& c = r.colours[q];
        for (int corner : kOrder) {
            const Vertex& v = r.vertices[static_cast<size_t>(q) * 4 + corner];
            *out++ = Flat{v.x, v.y, v.u, v.v, c.r, c.g, c.b, c.a};
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, r.referenceBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(r.expanded.size()), r.expanded.data(),
                 GL_STREAM_DRAW);
    UseProgram(r, r.trianglePrograms[0], r.referenceArrays);
    for (const Run& run : r.runs) {
        glBindTexture(GL_TEXTURE_2D, run.texture);
        glDrawArrays(GL_TRIANGLES, run.firstQuad * 6, run.quads * 6);
    }
    r.stats.drawCalls += static_cast<int>(r.runs.size());
    // The fast path sets its own state again at its next flush.
    r.stateApplied = false;
}

int Clamp255(int value) { return std::clamp(value, 0, 255); }

// llvmpipe frees and re-allocates its per-frame working memory every frame. When glibc hands
// that memory back to the kernel (trimming the heap, or unmapping a large block), every frame
// pays the page faults again, at up to half the frame rate, depending on how the heap happened
// to be laid out at start-up. Keeping freed memory in the heap avoids that; the memory is reused
// by the next frame, so resident memory does not grow.
void KeepFreedMemory() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

// What the fast paths need from the current context, narrowed by a test's limit.
Capabilities ReadCapabilities(const Renderer& r) {
    Capabilities caps;
    caps.pointPrograms = true;  // until they do not compile (see MakePointSprites)
    GLfloat range[2] = {0.0f, 0.0f};
    while (glGetError() != GL_NO_ERROR) {
    }
    glGetFloatv(GL_ALIASED_POINT_SIZE_RANGE, range);
#if !defined(RENDERER_GL_ES)
    // A core profile may know only the point range (points are never smoothed there).
    if (glGetError() != GL_NO_ERROR) glGetFloatv(GL_POINT_SIZE_RANGE, range);
#endif
    caps.smallestPoint = std::max(1.0f, std::ceil(range[0]));
    caps.largestPoint = std::floor(range[1]);
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    caps.largestTexture = side;
    caps.batchBuffers = true;  // until GL refuses their storage (see MakeBuffers)
    if (r.capsLimited) {
        const Capabilities& limit = r.capsLimit;
        caps.pointPrograms = caps.pointPrograms && limit.pointPrograms;
        caps.smallestPoint = std::max(caps.smallestPoint, limit.smallestPoint);
        caps.largestPoint = std::min(caps.largestPoint, limit.largestPoint);
        caps.largestTexture = std::min(caps.largestTexture, limit.largestTexture);
        caps.batchBuffers = caps.batchBuffers && limit.batchBuffers;
    }
    return caps;
}

// Gives a buffer its storage; false when GL refuses it (out of memory).
bool BufferStorage(GLenum target, GLuint buffer, GLsizeiptr bytes, const void* data, GLenum usage) {
    while (glGetError() != GL_NO_ERROR) {
    }
    glBindBuffer(target, buffer);
    glBufferData(target, bytes, data, usage);
    return glGetError() == GL_NO_ERROR;
}

// Makes the reference path's buffer and, when the batch buffers are to be used, the persistent
// vertex and index buffers; a refused storage turns the batch buffers off.
bool MakeBuffers(Renderer& r) {
    glGenBuffers(1, &r.referenceBuffer);
    glGenVertexArrays(1, &r.referenceArrays);
    if (r.referenceBuffer == 0 || r.referenceArrays == 0) return false;
    r.boundArrays = 0;
    glBindVertexArray(r.referenceArrays);
    glBindBuffer(GL_ARRAY_BUFFER, r.referenceBuffer);
    PointQuadAttributes(sizeof(Flat), offsetof(Flat, u), sizeof(Flat), offsetof(Flat, r));
    glBindVertexArray(0);
    if (!r.caps.batchBuffers) return true;
    glGenBuffers(1, &r.vertexBuffer);
    glGenBuffers(1, &r.indexBuffer);
    glGenVertexArrays(1, &r.triangleArrays);
    // The index buffer's binding belongs to the vertex array.
    glBindVertexArray(r.triangleArrays);
    std::vector<uint16_t> indices(static_cast<size_t>(kMaxBatchQuads) * 6);
    for (int q = 0; q < kMaxBatchQuads; ++q) {
        static constexpr int kOrder[6] = {0, 1, 2, 0, 2, 3};
        for (int k = 0; k < 6; ++k) indices[static_cast<size_t>(q) * 6 + k] = static_cast<uint16_t>(q * 4 + kOrder[k]);
    }
    r.caps.batchBuffers =
        r.vertexBuffer != 0 && r.indexBuffer != 0 && r.triangleArrays != 0 &&
        BufferStorage(GL_ARRAY_BUFFER, r.vertexBuffer, kVertexBytes + kColourBytes, nullptr, GL_STREAM_DRAW) &&
        BufferStorage(GL_ELEMENT_ARRAY_BUFFER, r.indexBuffer,
                      static_cast<GLsizeiptr>(indices.size() * sizeof(uint16_t)), indices.data(), GL_STATIC_DRAW);
    if (r.caps.batchBuffers) {
        glBindBuffer(GL_ARRAY_BUFFER, r.vertexBuffer);
        PointQuadAttributes(sizeof(Vertex), offsetof(Vertex, u), 0, static_cast<size_t>(kVertexBytes));
    }
    glBindVertexArray(0);
    if (!r.caps.batchBuffers) {
        GLuint* buffers[] = {&r.vertexBuffer, &r.indexBuffer};
        for (GLuint* buffer : buffers) {
            if (*buffer != 0) glDeleteBuffers(1, buffer);
            *buffer = 0;
        }
        if (r.triangleArrays != 0) glDeleteVertexArrays(1, &r.triangleArrays);
        r.triangleArrays = 0;
    }
    return true;
}

void DeleteBuffers(Renderer& r) {
    GLuint* buffers[] = {&r.vertexBuffer, &r.indexBuffer, &r.referenceBuffer};
    for (GLuint* buffer : buffers) {
        if (*buffer != 0) glDeleteBuffers(1, buffer);
        *buffer = 0;
    }
    GLuint* arrays[] = {&r.triangleArrays, &r.referenceArrays};
    for (GLuint* array : arrays) {
        if (*array != 0) glDeleteVertexArrays(1, array);
        *array = 0;
    }
    r.boundArrays = 0;
}

// The context is OpenGL 3.3 or later (core, or a compatibility profile of which only the core
// part is used), or OpenGL ES 3.0 in the browser.
bool ContextCanRender() {
#if defined(RENDERER_GL_ES)
    return true;
#else
    return epoxy_is_desktop_gl() && epoxy_gl_version() >= 33;
#endif
}

}  // namespace

bool IsNormalBlend(int source, int destination) {
    GLenum sourceFactor = 0, destinationFactor = 0;
    BlendFactors(source, destination, sourceFactor, destinationFactor);
    return sourceFactor == GL_SRC_ALPHA && destinationFactor == GL_ONE_MINUS_SRC_ALPHA;
}

bool StartRenderer(int width, int height) {
    Renderer& r = g_renderer;
    if (r.running) StopRenderer();
    if (width <= 0 || height <= 0) return false;
    if (!ContextCanRender()) return false;
    KeepFreedMemory();

    r.width = width;
    r.height = height;
    r.caps = ReadCapabilities(r);
    if (!MakeTrianglePrograms(r) || !MakeBuffers(r)) {
        DeletePrograms(r);
        DeleteBuffers(r);
        r.caps = Capabilities{};
        return false;
    }
    MakePointSprites(r);
    r.running = true;
    r.stateApplied = false;
    r.vertices.clear();
    r.vertices.reserve(static_cast<size_t>(kMaxBatchQuads) * 4);
    r.colours.clear();
    r.colours.reserve(kMaxBatchQuads);
    r.runs.clear();
    r.batchBlend = BlendKey{};
    r.blendSource = 5;
    r.blendDestination = 6;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
#if !defined(RENDERER_GL_ES)
    glDrawBuffer(GL_BACK);
#endif

    PrepareFont();
    UploadAtlas();
    for (ImageSlot& image : r.images) {
        image.uploadFailed = false;
        if (image.used && !PlaceInAtlas(image)) EnsureTexture(image);
    }
    return true;
}

void ResizeRenderer(int width, int height) {
    if (!g_renderer.running || width <= 0 || height <= 0) return;
    FlushBatch();
    g_renderer.width = width;
    g_renderer.height = height;
    g_renderer.stateApplied = false;
}

bool RendererRunning() { return g_renderer.running; }

void StopRenderer() {
    Renderer& r = g_renderer;
    if (!r.running) return;
    FlushBatch();
    r.pendingSwap = nullptr;
    r.clearPending = false;
    DropImageTextures();
    DeletePointSprites(r);
    DeleteBuffers(r);
    DeletePrograms(r);
    r.caps = Capabilities{};
    r.running = false;
    r.stateApplied = false;
    r.width = 0;
    r.height = 0;
}

void LimitCapabilities(const Capabilities* limit) {
    g_renderer.capsLimited = limit != nullptr;
    g_renderer.capsLimit = limit != nullptr ? *limit : Capabilities{};
}

Capabilities CurrentCapabilities() { return g_renderer.caps; }

void UseReferencePath(bool on) {
    FlushBatch();
    g_renderer.reference = on;
    g_renderer.stateApplied = false;
}

RendererStats ReadRendererStats() { return g_renderer.stats; }
void ResetRendererStats() { g_renderer.stats = RendererStats{}; }

namespace {

// A frame handed to GL is swapped, and a pending clear made, before the back buffer is touched.
void PrepareBackBuffer() {
    Renderer& r = g_renderer;
    if (r.pendingSwap != nullptr) {
        void (*swap)() = r.pendingSwap;
        r.pendingSwap = nullptr;
        swap();
    }
    if (r.clearPending) {
        r.clearPending = false;
        glDisable(GL_SCISSOR_TEST);
        glClearColor(std::clamp(r.clearColour.r, 0, 255) / 255.0f, std::clamp(r.clearColour.g, 0, 255) / 255.0f,
                     std::clamp(r.clearColour.b, 0, 255) / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
}

}  // namespace

void FinishFrame() {
    FlushBatch();
    if (g_renderer.running) PrepareBackBuffer();
}

void SubmitFrame(void (*swap)()) {
    FinishFrame();
    if (!g_renderer.running) return;
    g_renderer.quadsSinceFlush = 0;
    g_renderer.pendingSwap = swap;
}

void FlushBatch() {
    Renderer& r = g_renderer;
    if (r.running && !r.colours.empty()) {
        PrepareBackBuffer();
        r.stats.flushes += 1;
        r.stats.quads += static_cast<int>(r.colours.size());
        if (r.drawHook != nullptr) r.drawHook();
        // Without the batch buffers the fast path's batch is drawn as the reference path draws
        // it (its quads hold the same texture coordinates either way).
        if (r.reference || !r.caps.batchBuffers) {
            FlushReference();
        } else {
            FlushIndexed();
            // A software rasteriser starts on what it has been given only at a flush: in a
            // frame of many quads it draws the first ones while the rest are sent, and goes on
            // while the next frame is worked out (see SubmitFrame).
            r.quadsSinceFlush += static_cast<int>(r.colours.size());
            if (r.quadsSinceFlush >= kMaxBatchQuads) {
                glFlush();
                r.quadsSinceFlush = 0;
            }
        }
    }
    r.vertices.clear();
    r.colours.clear();
    r.runs.clear();
}

void QueueQuadBlended(GLuint texture, const float xy[8], const float uv[8], QuadColour colour,
                      BlendKey blend, bool unblendable, bool oneToOne) {
    Renderer& r = g_renderer;
    if (!r.running || texture == 0) return;
    const auto [left, right] = std::minmax({xy[0], xy[2], xy[4], xy[6]});
    const auto [top, bottom] = std::minmax({xy[1], xy[3], xy[5], xy[7]});
    // A quad wholly beyond the surface's edges changes nothing.
    if (!r.reference && (right <= 0 || bottom <= 0 || left >= static_cast<float>(r.width) ||
                         top >= static_cast<float>(r.height))) {
        r.stats.skipped += 1;
        return;
    }
    if (!(blend == r.batchBlend) || static_cast<int>(r.colours.size()) >= kMaxBatchQuads) FlushBatch();
    r.batchBlend = blend;

    const int quad = static_cast<int>(r.colours.size());
    const bool asPoints = oneToOne && !r.reference && QuadIsPointSprite(r, xy, uv);
    if (r.runs.empty() || r.runs.back().texture != texture || r.runs.back().unblendable != unblendable ||
        r.runs.back().asPoints != asPoints) {
        r.runs.push_back(Run{texture, quad, 0, unblendable, asPoints, 0.0f});
    }
    for (int corner = 0; corner < 4; ++corner) {
        r.vertices.push_back(Vertex{xy[corner * 2], xy[corner * 2 + 1], uv[corner * 2], uv[corner * 2 + 1]});
    }
    r.colours.push_back(colour);
    r.runs.back().quads += 1;
    if (unblendable) r.runs.back().pixels += (right - left) * (bottom - top);
}

void QueueQuad(GLuint texture, const float xy[8], const float uv[8], int red, int green, int blue,
               int alpha, int source, int destination) {
    const QuadColour colour{static_cast<uint8_t>(Clamp255(red)), static_cast<uint8_t>(Clamp255(green)),
                            static_cast<uint8_t>(Clamp255(blue)), static_cast<uint8_t>(Clamp255(alpha))};
    QueueQuadBlended(texture, xy, uv, colour, BlendKey{source, destination}, false, true);
}

void SetTextureFilter(GLuint texture, bool nearest) {
    const GLint filter = nearest ? GL_NEAREST : GL_LINEAR;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}

bool ReadPixels(int x, int y, int width, int height, std::vector<uint8_t>& rgba) {
    const Renderer& r = g_renderer;
    if (!r.running || width <= 0 || height <= 0 || x < 0 || y < 0 || width > r.width - x ||
        height > r.height - y) {
        return false;
    }
    FinishFrame();
    std::vector<uint8_t> bottomUp(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, r.height - y - height, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                 bottomUp.data());
    const size_t row = static_cast<size_t>(width) * 4;
    rgba.resize(bottomUp.size());
    for (int line = 0; line < height; ++line) {
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>((height - 1 - line) * row), row,
                    rgba.begin() + static_cast<std::ptrdiff_t>(line * row));
    }
    return true;
}

bool ReadPixel(int x, int y, Rgba& pixel) {
    std::vector<uint8_t> rgba;
    if (!ReadPixels(x, y, 1, 1, rgba)) return false;
    pixel = Rgba{rgba[0], rgba[1], rgba[2], rgba[3]};
    return true;
}

}  // namespace plat::gl

namespace plat {

using gl::g_renderer;

void InitSprites() {}
void Init3D() {}

int ScreenWidth() { return g_renderer.width; }
int ScreenHeight() { return g_renderer.height; }

void ClearScreen(Colour colour) {
    if (!g_renderer.running) return;
    gl::FlushBatch();
    g_renderer.clearPending = true;
    g_renderer.clearColour = colour;
}

void Begin3D() {
    gl::FlushBatch();
    g_renderer.stateApplied = false;
    g_renderer.blendSource = 5;
    g_renderer.blendDestination = 6;
}

void End3D() { gl::FlushBatch(); }

void Begin2D() {
    gl::FlushBatch();
    g_renderer.stateApplied = false;
}
void End2D() { gl::FlushBatch(); }

void SetBlend(int source, int destination) {
    if (source < 1 || source > 13 || destination < 1 || destination > 13) return;
    g_renderer.blendSource = source;
    g_renderer.blendDestination = destination;
}

void SetDrawHook(void (*hook)()) { g_renderer.drawHook = hook; }

void SetNearestSampling(bool nearest) {
    gl::Renderer& r = g_renderer;
    if (r.nearest == nearest) return;
    gl::FlushBatch();
    r.nearest = nearest;
    if (!r.running) return;
    for (const gl::ImageSlot& image : r.images) {
        if (image.used && image.texture != 0) gl::SetTextureFilter(image.texture, nearest);
    }
}

}  // namespace plat
