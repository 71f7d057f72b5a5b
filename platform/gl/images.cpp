// Images as GL textures (loaded, grabbed from the back buffer, made transparent, saved) and
// drawables, the textured quads made from them.
#include <algorithm>

#include "platform/display.h"
#include "platform/gl/gl_state.h"
#include "platform/gl/renderer.h"
#include "platform/images.h"

namespace plat::gl {

namespace {

ImageSlot* FindImage(Image image) {
    std::vector<ImageSlot>& images = g_renderer.images;
    if (image.id < 0 || image.id >= static_cast<int>(images.size())) return nullptr;
    ImageSlot& slot = images[image.id];
    return slot.used ? &slot : nullptr;
}

DrawableSlot* FindDrawable(Drawable drawable) {
    std::vector<DrawableSlot>& drawables = g_renderer.drawables;
    if (drawable.id < 0 || drawable.id >= static_cast<int>(drawables.size())) return nullptr;
    DrawableSlot& slot = drawables[drawable.id];
    return slot.used ? &slot : nullptr;
}

// A slot from the free list, or a new one at the end: constant time however many are in use.
template <typename Slot>
int TakeSlot(std::vector<Slot>& slots, std::vector<int>& freeSlots) {
    int id;
    if (!freeSlots.empty()) {
        id = freeSlots.back();
        freeSlots.pop_back();
    } else {
        id = static_cast<int>(slots.size());
        slots.emplace_back();
    }
    slots[id] = Slot{};
    slots[id].used = true;
    return id;
}

template <typename Slot>
void ReleaseSlot(std::vector<Slot>& slots, std::vector<int>& freeSlots, int id) {
    slots[id] = Slot{};
    freeSlots.push_back(id);
}

int NewImageSlot() { return TakeSlot(g_renderer.images, g_renderer.freeImages); }
int NewDrawableSlot() { return TakeSlot(g_renderer.drawables, g_renderer.freeDrawables); }
void ReleaseImageSlot(int id) { ReleaseSlot(g_renderer.images, g_renderer.freeImages, id); }
void ReleaseDrawableSlot(int id) { ReleaseSlot(g_renderer.drawables, g_renderer.freeDrawables, id); }

void SetRectangle(DrawableSlot& drawable, float width, float height) {
    drawable.corners[0] = Corner{0, 0};
    drawable.corners[1] = Corner{width, 0};
    drawable.corners[2] = Corner{width, height};
    drawable.corners[3] = Corner{0, height};
}

// The quad is the image's own rectangle, pixel for pixel: sampled at texel centres, so it shows
// the same pixels from an atlas page as from the image's own texture.
bool IsPlainRectangle(const DrawableSlot& drawable, const ImageSlot& image) {
    const float w = static_cast<float>(image.width);
    const float h = static_cast<float>(image.height);
    const Corner* c = drawable.corners;
    return c[0].x == 0 && c[0].y == 0 && c[1].x == w && c[1].y == 0 && c[2].x == w && c[2].y == h &&
           c[3].x == 0 && c[3].y == h;
}

void DeleteTexture(ImageSlot& image) {
    if (image.texture == 0) return;
    // A queued quad may still use the texture.
    FlushBatch();
    if (g_renderer.running) glDeleteTextures(1, &image.texture);
    image.texture = 0;
}

// Makes the texture from the pixels in memory (rows top to bottom).
bool UploadPixels(ImageSlot& image) {
    const int maxSide = g_renderer.caps.largestTexture;
    if (image.width > maxSide || image.height > maxSide) return false;
    while (glGetError() != GL_NO_ERROR) {
    }
    if (image.texture == 0) glGenTextures(1, &image.texture);
    if (image.texture == 0) return false;
    glBindTexture(GL_TEXTURE_2D, image.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    SetTextureFilter(image.texture, g_renderer.nearest);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, image.rgba.data());
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &image.texture);
        image.texture = 0;
        return false;
    }
    image.textureFlipped = false;
    return true;
}

// Fills the pixels in memory from the texture when only the texture holds them.
bool FetchPixels(ImageSlot& image) {
    if (!image.rgba.empty()) return true;
    if (!g_renderer.running || image.texture == 0) return false;
    FlushBatch();
    // The texture is read through a framebuffer of its own (ES has no glGetTexImage).
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    if (framebuffer == 0) return false;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, image.texture, 0);
    const bool complete = glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    std::vector<uint8_t> stored(static_cast<size_t>(image.width) * image.height * 4);
    if (complete) {
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, image.width, image.height, GL_RGBA, GL_UNSIGNED_BYTE, stored.data());
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    if (!complete) return false;
    if (!image.textureFlipped) {
        image.rgba = std::move(stored);
        return true;
    }
    const size_t row = static_cast<size_t>(image.width) * 4;
    image.rgba.resize(stored.size());
    for (int line = 0; line < image.height; ++line) {
        std::copy_n(stored.begin() + static_cast<std::ptrdiff_t>((image.height - 1 - line) * row),
                    row, image.rgba.begin() + static_cast<std::ptrdiff_t>(line * row));
    }
    return true;
}

}  // namespace

bool EnsureTexture(ImageSlot& image) {
    if (image.texture != 0) return true;
    if (!g_renderer.running || image.uploadFailed || image.rgba.empty()) return false;
    if (!UploadPixels(image)) {
        image.uploadFailed = true;
        return false;
    }
    return true;
}

void DropImageTextures() {
    Renderer& r = g_renderer;
    for (ImageSlot& image : r.images) {
        if (!image.used || image.texture == 0) continue;
        FetchPixels(image);
        glDeleteTextures(1, &image.texture);
        image.texture = 0;
        image.textureFlipped = false;
    }
    if (r.atlasTexture != 0) {
        glDeleteTextures(1, &r.atlasTexture);
        r.atlasTexture = 0;
    }
    DropAtlasPages();
}

void DropAtlasPages() {
    Renderer& r = g_renderer;
    FlushBatch();
    for (AtlasPage& page : r.atlasPages) {
        if (r.running && page.texture != 0) glDeleteTextures(1, &page.texture);
    }
    r.atlasPages.clear();
    r.atlasImages.clear();
    for (ImageSlot& image : r.images) image.atlasPage = -1;
}

void FreeAllGraphics() {
    Renderer& r = g_renderer;
    FlushBatch();
    for (ImageSlot& image : r.images) {
        if (image.used) DeleteTexture(image);
    }
    DropAtlasPages();
    r.images.clear();
    r.drawables.clear();
    r.freeImages.clear();
    r.freeDrawables.clear();
}

void KeepFrame(KeptFrame& kept) {
    ForgetFrame(kept);
    kept.image = GrabScreen(0, 0, ScreenWidth(), ScreenHeight());
    if (kept.image.Valid()) kept.drawable = MakeDrawable(kept.image);
}

void ForgetFrame(KeptFrame& kept) {
    FreeDrawable(kept.drawable);
    FreeImage(kept.image);
}

}  // namespace plat::gl

namespace plat {

using gl::g_renderer;
using gl::ImageSlot;

Image LoadImage(const std::string& path) {
    Pixels pixels;
    if (!DecodeImageFile(path, pixels) || pixels.width <= 0 || pixels.height <= 0) return Image{};
    const int id = gl::NewImageSlot();
    ImageSlot& slot = g_renderer.images[id];
    slot.width = pixels.width;
    slot.height = pixels.height;
    slot.rgba = std::move(pixels.rgba);
    slot.opaque = gl::AllOpaque(slot.rgba);
    // Small images go into an atlas page; the own texture is made when a draw needs it, or now
    // when there is no room in a page (so that an image GL cannot take is refused here).
    if (g_renderer.running && !gl::PlaceInAtlas(slot) && !gl::EnsureTexture(slot)) {
        gl::ReleaseImageSlot(id);
        return Image{};
    }
    return Image{id};
}

void MakeTransparent(Image image, Colour colour) {
    ImageSlot* slot = gl::FindImage(image);
    if (slot == nullptr || !gl::FetchPixels(*slot)) return;
    Pixels pixels{slot->width, slot->height, std::move(slot->rgba)};
    MakeColourTransparent(pixels, colour.r, colour.g, colour.b);
    slot->rgba = std::move(pixels.rgba);
    slot->opaque = gl::AllOpaque(slot->rgba);
    gl::AtlasPixelsChanged(*slot);
    if (slot->texture != 0) {
        gl::FlushBatch();
        if (!gl::UploadPixels(*slot)) slot->uploadFailed = true;
    }
}

int ImageWidth(Image image) {
    const ImageSlot* slot = gl::FindImage(image);
    return slot ? slot->width : 0;
}

int ImageHeight(Image image) {
    const ImageSlot* slot = gl::FindImage(image);
    return slot ? slot->height : 0;
}

Image GrabScreen(int x, int y, int width, int height) {
    gl::Renderer& r = g_renderer;
    if (!r.running || width <= 0 || height <= 0) return Image{};
    // Only the part on the screen is copied.
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(x) + width, r.width));
    const int bottom =
        static_cast<int>(std::min<int64_t>(static_cast<int64_t>(y) + height, r.height));
    if (right <= left || bottom <= top) return Image{};
    gl::FinishFrame();

    const int id = gl::NewImageSlot();
    ImageSlot& slot = r.images[id];
    slot.width = right - left;
    slot.height = bottom - top;
    glGenTextures(1, &slot.texture);
    glBindTexture(GL_TEXTURE_2D, slot.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl::SetTextureFilter(slot.texture, r.nearest);
    while (glGetError() != GL_NO_ERROR) {
    }
    glReadBuffer(GL_BACK);
    // GL counts rows from the bottom: the copy's first row is the rectangle's bottom row, so the
    // texture is marked flipped and drawn with its rows turned over.
#if defined(RENDERER_GL_ES)
    // OpenGL ES copies only the channels the frame buffer has, and a page's canvas has none for
    // alpha: the copy is RGB, which reads as opaque, as an RGBA copy of an opaque screen does.
    const GLenum grabFormat = GL_RGB8;
#else
    const GLenum grabFormat = GL_RGBA8;
#endif
    glCopyTexImage2D(GL_TEXTURE_2D, 0, grabFormat, left, r.height - bottom, slot.width, slot.height,
                     0);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &slot.texture);
        gl::ReleaseImageSlot(id);
        return Image{};
    }
    slot.textureFlipped = true;
    return Image{id};
}

bool SaveImagePng(Image image, const std::string& path) {
    ImageSlot* slot = gl::FindImage(image);
    if (slot == nullptr || !gl::FetchPixels(*slot)) return false;
    Pixels pixels;
    pixels.width = slot->width;
    pixels.height = slot->height;
    pixels.rgba = slot->rgba;
    return WritePngFile(path, pixels);
}

void FreeImage(Image& image) {
    ImageSlot* slot = gl::FindImage(image);
    if (slot != nullptr) {
        gl::DeleteTexture(*slot);
        gl::LeaveAtlas(*slot);
        gl::ReleaseImageSlot(image.id);
    }
    image = Image{};
}

Drawable MakeDrawable(Image image) {
    const ImageSlot* slot = gl::FindImage(image);
    if (slot == nullptr) return Drawable{};
    const int width = slot->width;
    const int height = slot->height;
    const int id = gl::NewDrawableSlot();
    gl::DrawableSlot& drawable = g_renderer.drawables[id];
    drawable.image = image.id;
    gl::SetRectangle(drawable, static_cast<float>(width), static_cast<float>(height));
    return Drawable{id};
}

void ZoomDrawable(Drawable drawable, int width, int height) {
    gl::DrawableSlot* slot = gl::FindDrawable(drawable);
    if (slot != nullptr) gl::SetRectangle(*slot, static_cast<float>(width), static_cast<float>(height));
}

void SetCorners(Drawable drawable, const Corner corners[4]) {
    gl::DrawableSlot* slot = gl::FindDrawable(drawable);
    if (slot == nullptr || corners == nullptr) return;
    std::copy_n(corners, 4, slot->corners);
}

void DrawDrawable(Drawable drawable, int x, int y, int opacity) {
    gl::Renderer& r = g_renderer;
    const gl::DrawableSlot* slot = gl::FindDrawable(drawable);
    if (!r.running || slot == nullptr) return;
    ImageSlot* image = gl::FindImage(Image{slot->image});
    if (image == nullptr) return;
    const int alpha = std::clamp(opacity, 0, 255);
    const bool fast = !r.reference;
    const bool normal = gl::IsNormalBlend(r.blendSource, r.blendDestination);
    // Normal blending at opacity 0 leaves every pixel as it is.
    if (fast && normal && alpha == 0) {
        r.stats.skipped += 1;
        return;
    }

    float xy[8];
    for (int i = 0; i < 4; ++i) {
        xy[i * 2] = static_cast<float>(x) + slot->corners[i].x;
        xy[i * 2 + 1] = static_cast<float>(y) + slot->corners[i].y;
    }
    GLuint texture = 0;
    float uv[8];
    if (fast && r.nearest && image->atlasPage >= 0 && gl::IsPlainRectangle(*slot, *image)) {
        const gl::AtlasPage& page = r.atlasPages[image->atlasPage];
        const float side = static_cast<float>(page.side);
        const float left = static_cast<float>(image->atlasX) / side;
        const float top = static_cast<float>(image->atlasY) / side;
        const float right = static_cast<float>(image->atlasX + image->width) / side;
        const float bottom = static_cast<float>(image->atlasY + image->height) / side;
        const float cell[8] = {left, top, right, top, right, bottom, left, bottom};
        std::copy_n(cell, 8, uv);
        texture = page.texture;
    } else {
        if (!gl::EnsureTexture(*image)) return;
        const float top = image->textureFlipped ? 1.0f : 0.0f;
        const float bottom = 1.0f - top;
        const float whole[8] = {0.0f, top, 1.0f, top, 1.0f, bottom, 0.0f, bottom};
        std::copy_n(whole, 8, uv);
        texture = image->texture;
    }
    // An opaque image at full opacity replaces what is below it under normal blending.
    const bool unblendable = fast && normal && alpha == 255 && image->opaque;
    gl::QueueQuadBlended(texture, xy, uv, gl::QuadColour{255, 255, 255, static_cast<uint8_t>(alpha)},
                         gl::BlendKey{r.blendSource, r.blendDestination}, unblendable,
                         gl::IsPlainRectangle(*slot, *image));
}

void FreeDrawable(Drawable& drawable) {
    gl::DrawableSlot* slot = gl::FindDrawable(drawable);
    if (slot != nullptr) gl::ReleaseDrawableSlot(drawable.id);
    drawable = Drawable{};
}

Image DrawableImage(Drawable drawable) {
    const gl::DrawableSlot* slot = gl::FindDrawable(drawable);
    if (slot == nullptr || gl::FindImage(Image{slot->image}) == nullptr) return Image{};
    return Image{slot->image};
}

}  // namespace plat
