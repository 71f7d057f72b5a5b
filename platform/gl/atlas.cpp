// Atlas pages: small images (tiles, animation frames) share a few large textures, so that a
// world of many tile kinds draws in a handful of calls instead of one per texture change.
#include <algorithm>

#include "platform/gl/gl_state.h"
#include "platform/gl/renderer.h"

namespace plat::gl {

namespace {

// The first pages are small, so that a world of few kinds costs little texture memory; each
// further page doubles up to the largest side.
int PageSide(int pagesMade) {
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    const int side = kAtlasFirstPageSide << std::min(pagesMade, 8);
    return std::min({side, kAtlasPageSide, static_cast<int>(maxSide)});
}

bool MakePage(AtlasPage& page, int pagesMade) {
    page = AtlasPage{};
    page.side = PageSide(pagesMade);
    if (page.side < kAtlasLargestImage) return false;
    while (glGetError() != GL_NO_ERROR) {
    }
    glGenTextures(1, &page.texture);
    if (page.texture == 0) return false;
    glBindTexture(GL_TEXTURE_2D, page.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // Pages are only sampled pixel for pixel (see DrawDrawable), so always nearest.
    SetTextureFilter(page.texture, true);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, page.side, page.side, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &page.texture);
        page.texture = 0;
        return false;
    }
    return true;
}

// Finds room for a width x height cell on the page's current shelf or a new one below it.
bool TakeCell(AtlasPage& page, int width, int height, int& x, int& y) {
    if (page.shelfNext + width > page.side) {
        page.shelfTop += page.shelfHeight;
        page.shelfNext = 0;
        page.shelfHeight = 0;
    }
    if (page.shelfTop + height > page.side) return false;
    x = page.shelfNext;
    y = page.shelfTop;
    page.shelfNext += width;
    page.shelfHeight = std::max(page.shelfHeight, height);
    return true;
}

}  // namespace

bool AllOpaque(const std::vector<uint8_t>& rgba) {
    for (size_t i = 3; i < rgba.size(); i += 4) {
        if (rgba[i] != 255) return false;
    }
    return !rgba.empty();
}

void RefreshAtlasCell(const ImageSlot& image) {
    Renderer& r = g_renderer;
    if (!r.running || image.atlasPage < 0 || image.rgba.empty()) return;
    FlushBatch();
    glBindTexture(GL_TEXTURE_2D, r.atlasPages[image.atlasPage].texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, image.atlasX, image.atlasY, image.width, image.height,
                    GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
}

bool PlaceInAtlas(ImageSlot& image) {
    Renderer& r = g_renderer;
    if (!r.running || image.atlasPage >= 0) return image.atlasPage >= 0;
    if (image.rgba.empty() || image.width > kAtlasLargestImage ||
        image.height > kAtlasLargestImage) {
        return false;
    }
    int x = 0, y = 0;
    int page = -1;
    for (int i = 0; i < static_cast<int>(r.atlasPages.size()) && page < 0; ++i) {
        if (r.atlasPages[i].texture != 0 && TakeCell(r.atlasPages[i], image.width, image.height, x, y)) {
            page = i;
        }
    }
    if (page < 0) {
        AtlasPage fresh;
        if (!MakePage(fresh, static_cast<int>(r.atlasPages.size())) || !TakeCell(fresh, image.width, image.height, x, y)) {
            if (fresh.texture != 0) glDeleteTextures(1, &fresh.texture);
            return false;
        }
        r.atlasPages.push_back(fresh);
        page = static_cast<int>(r.atlasPages.size()) - 1;
    }
    r.atlasPages[page].images += 1;
    image.atlasPage = page;
    image.atlasX = x;
    image.atlasY = y;
    RefreshAtlasCell(image);
    return true;
}

void LeaveAtlas(ImageSlot& image) {
    Renderer& r = g_renderer;
    if (image.atlasPage < 0) return;
    if (image.atlasPage < static_cast<int>(r.atlasPages.size())) {
        AtlasPage& page = r.atlasPages[image.atlasPage];
        page.images -= 1;
        if (page.images <= 0) {
            // No cell is in use: fill the page again from its top-left corner (a new cell's
            // pixels are written after the queued quads have gone out).
            page.images = 0;
            page.shelfTop = page.shelfHeight = page.shelfNext = 0;
        }
    }
    image.atlasPage = -1;
}

}  // namespace plat::gl
