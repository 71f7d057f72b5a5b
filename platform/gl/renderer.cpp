// The GL renderer's surface and batch: start and stop on a context, the streaming vertex buffer,
// blend factors, clearing, passes, sampling and back-buffer read-back.
#include "platform/gl/renderer.h"

#include <algorithm>
#include <cstddef>

#include "platform/gl/gl_state.h"

namespace plat::gl {

Renderer g_renderer;

namespace {

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

void ApplyBlend(int source, int destination) {
    // 12 and 13 set both factors at once, whatever the destination number says.
    if (source == 12) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else if (source == 13) {
        glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA);
    } else if (destination == 12) {
        glBlendFunc(FactorOf(source), GL_ONE_MINUS_SRC_ALPHA);
    } else if (destination == 13) {
        glBlendFunc(FactorOf(source), GL_SRC_ALPHA);
    } else {
        glBlendFunc(FactorOf(source), FactorOf(destination));
    }
}

// Sets every piece of fixed-function state the batch relies on (another toolkit may have
// touched the context between frames).
void ApplyDrawState() {
    Renderer& r = g_renderer;
    glViewport(0, 0, r.width, r.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, r.width, r.height, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    glBindBuffer(GL_ARRAY_BUFFER, r.vertexBuffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    const GLsizei stride = sizeof(Vertex);
    glVertexPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(Vertex, x)));
    glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(Vertex, u)));
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, reinterpret_cast<const void*>(offsetof(Vertex, r)));
}

int Clamp255(int value) { return std::clamp(value, 0, 255); }

}  // namespace

bool StartRenderer(int width, int height) {
    Renderer& r = g_renderer;
    if (r.running) StopRenderer();
    if (width <= 0 || height <= 0) return false;
    if (epoxy_gl_version() < 21) return false;

    r.width = width;
    r.height = height;
    glGenBuffers(1, &r.vertexBuffer);
    if (r.vertexBuffer == 0) return false;
    r.running = true;
    r.vertices.clear();
    r.vertices.reserve(kMaxBatchVertices);
    r.runs.clear();
    r.batchSource = 5;
    r.batchDestination = 6;
    r.blendSource = 5;
    r.blendDestination = 6;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glDrawBuffer(GL_BACK);

    PrepareFont();
    UploadAtlas();
    for (ImageSlot& image : r.images) {
        image.uploadFailed = false;
        if (image.used) EnsureTexture(image);
    }
    return true;
}

void ResizeRenderer(int width, int height) {
    if (!g_renderer.running || width <= 0 || height <= 0) return;
    FlushBatch();
    g_renderer.width = width;
    g_renderer.height = height;
}

bool RendererRunning() { return g_renderer.running; }

void StopRenderer() {
    Renderer& r = g_renderer;
    if (!r.running) return;
    FlushBatch();
    DropImageTextures();
    glDeleteBuffers(1, &r.vertexBuffer);
    r.vertexBuffer = 0;
    r.running = false;
    r.width = 0;
    r.height = 0;
}

void FlushBatch() {
    Renderer& r = g_renderer;
    if (!r.running || r.vertices.empty()) {
        r.vertices.clear();
        r.runs.clear();
        return;
    }
    ApplyDrawState();
    ApplyBlend(r.batchSource, r.batchDestination);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(r.vertices.size() * sizeof(Vertex)),
                 r.vertices.data(), GL_STREAM_DRAW);
    for (const Run& run : r.runs) {
        glBindTexture(GL_TEXTURE_2D, run.texture);
        glDrawArrays(GL_TRIANGLES, run.first, run.count);
    }
    r.vertices.clear();
    r.runs.clear();
}

void QueueQuad(GLuint texture, const float xy[8], const float uv[8], int red, int green, int blue,
               int alpha, int source, int destination) {
    Renderer& r = g_renderer;
    if (!r.running || texture == 0) return;
    const bool sameBlend = source == r.batchSource && destination == r.batchDestination;
    if (!sameBlend || static_cast<int>(r.vertices.size()) + 6 > kMaxBatchVertices) FlushBatch();
    r.batchSource = source;
    r.batchDestination = destination;

    if (r.runs.empty() || r.runs.back().texture != texture) {
        r.runs.push_back(Run{texture, static_cast<int>(r.vertices.size()), 0});
    }
    const uint8_t cr = static_cast<uint8_t>(Clamp255(red));
    const uint8_t cg = static_cast<uint8_t>(Clamp255(green));
    const uint8_t cb = static_cast<uint8_t>(Clamp255(blue));
    const uint8_t ca = static_cast<uint8_t>(Clamp255(alpha));
    // Two triangles: corners 0 1 2 and 0 2 3.
    static constexpr int kOrder[6] = {0, 1, 2, 0, 2, 3};
    for (int corner : kOrder) {
        r.vertices.push_back(Vertex{xy[corner * 2], xy[corner * 2 + 1], uv[corner * 2],
                                    uv[corner * 2 + 1], cr, cg, cb, ca});
    }
    r.runs.back().count += 6;
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
    FlushBatch();
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
    glDisable(GL_SCISSOR_TEST);
    glClearColor(std::clamp(colour.r, 0, 255) / 255.0f, std::clamp(colour.g, 0, 255) / 255.0f,
                 std::clamp(colour.b, 0, 255) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void Begin3D() {
    gl::FlushBatch();
    g_renderer.blendSource = 5;
    g_renderer.blendDestination = 6;
}

void End3D() { gl::FlushBatch(); }

void Begin2D() { gl::FlushBatch(); }
void End2D() { gl::FlushBatch(); }

void SetBlend(int source, int destination) {
    if (source < 1 || source > 13 || destination < 1 || destination > 13) return;
    g_renderer.blendSource = source;
    g_renderer.blendDestination = destination;
}

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
