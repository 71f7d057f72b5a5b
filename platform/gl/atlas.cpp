// Atlas pages: small images (tiles, animation frames) share a few large textures, so that a
// world of many tile kinds draws in a handful of calls instead of one per texture change.
#include <algorithm>

#include "platform/gl/gl_state.h"
#include "platform/gl/renderer.h"

namespace plat::gl {

namespace {

int LargestPageSide() { return std::min(kAtlasPageSide, g_renderer.caps.largestTexture); }

// An empty page texture of side x side pixels; 0 when GL cannot make it.
GLuint MakePageTexture(int side) {
    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    if (texture == 0) return 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // Pages are only sampled pixel for pixel (see DrawDrawable), so always nearest.
    SetTextureFilter(texture, true);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &texture);
        return 0;
    }
    return texture;
}

// A page must take the largest image a cell is for: when GL's textures are smaller, there are no
// pages and every image keeps its own texture.
bool MakePage(AtlasPage& page, int side) {
    page = AtlasPage{};
    page.side = side;
    if (page.side < kAtlasLargestImage) return false;
    page.texture = MakePageTexture(side);
    return page.texture != 0;
}

// Doubles the page's side, keeping every cell where it is; new cells go below the old area.
// Queued quads hold coordinates of the smaller page, so they go out first.
bool GrowPage(int index) {
    Renderer& r = g_renderer;
    AtlasPage& page = r.atlasPages[index];
    if (page.side * 2 > LargestPageSide()) return false;
    FlushBatch();
    const GLuint texture = MakePageTexture(page.side * 2);
    if (texture == 0) return false;
    glDeleteTextures(1, &page.texture);
    page.texture = texture;
    page.shelfTop = page.side;
    page.shelfNext = 0;
    page.shelfHeight = 0;
    page.side *= 2;
    for (const ImageSlot& image : r.images) {
        if (image.used && image.atlasPage == index) RefreshAtlasCell(image);
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

// FNV-1a over the size and the pixels.
uint64_t AtlasKey(const ImageSlot& image) {
    uint64_t hash = 14695981039346656037ull;
    const auto mix = [&hash](uint8_t byte) { hash = (hash ^ byte) * 1099511628211ull; };
    for (const int side : {image.width, image.height}) {
        for (int shift = 0; shift < 32; shift += 8) mix(static_cast<uint8_t>(side >> shift));
    }
    for (const uint8_t byte : image.rgba) mix(byte);
    return hash;
}

using AtlasEntry = std::unordered_multimap<uint64_t, int>::iterator;

// The first image filed in the atlas under `key` that passes `match`, or the map's end.
template <typename Match>
AtlasEntry FindAtlasEntry(uint64_t key, Match match) {
    Renderer& r = g_renderer;
    const auto [first, last] = r.atlasImages.equal_range(key);
    const AtlasEntry found = std::find_if(first, last, [&r, &match](const auto& entry) {
        return match(r.images[static_cast<size_t>(entry.second)]);
    });
    return found != last ? found : r.atlasImages.end();
}

// Another image in the atlas with the same size and pixels, or nullptr.
const ImageSlot* SamePixelsInAtlas(const ImageSlot& image, uint64_t key) {
    const AtlasEntry found = FindAtlasEntry(key, [&image](const ImageSlot& other) {
        return &other != &image && other.atlasPage >= 0 && other.width == image.width &&
               other.height == image.height && other.rgba == image.rgba;
    });
    return found != g_renderer.atlasImages.end() ? &g_renderer.images[static_cast<size_t>(found->second)] : nullptr;
}

// Whether another image uses the image's cell.
bool CellShared(const ImageSlot& image) {
    return FindAtlasEntry(image.atlasKey, [&image](const ImageSlot& other) {
               return &other != &image && other.atlasPage == image.atlasPage && other.atlasX == image.atlasX &&
                      other.atlasY == image.atlasY;
           }) != g_renderer.atlasImages.end();
}

void ForgetAtlasImage(const ImageSlot& image) {
    const AtlasEntry found =
        FindAtlasEntry(image.atlasKey, [&image](const ImageSlot& other) { return &other == &image; });
    if (found != g_renderer.atlasImages.end()) g_renderer.atlasImages.erase(found);
}

int SlotIndex(const ImageSlot& image) { return static_cast<int>(&image - g_renderer.images.data()); }

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
    const uint64_t key = AtlasKey(image);
    if (const ImageSlot* same = SamePixelsInAtlas(image, key)) {
        r.atlasPages[same->atlasPage].images += 1;
        image.atlasPage = same->atlasPage;
        image.atlasX = same->atlasX;
        image.atlasY = same->atlasY;
        image.atlasKey = key;
        r.atlasImages.emplace(key, SlotIndex(image));
        return true;
    }
    int x = 0, y = 0;
    int page = -1;
    for (int i = 0; i < static_cast<int>(r.atlasPages.size()) && page < 0; ++i) {
        if (r.atlasPages[i].texture != 0 && TakeCell(r.atlasPages[i], image.width, image.height, x, y)) {
            page = i;
        }
    }
    // The last page grows before another is made: images drawn in turn from two pages would
    // cost a draw call each.
    const int last = static_cast<int>(r.atlasPages.size()) - 1;
    if (page < 0 && last >= 0 && GrowPage(last) &&
        TakeCell(r.atlasPages[last], image.width, image.height, x, y)) {
        page = last;
    }
    if (page < 0) {
        // The first page starts small, so that a world of few kinds costs little memory.
        AtlasPage fresh;
        const int largest = LargestPageSide();
        const int side = r.atlasPages.empty() ? std::min(kAtlasFirstPageSide, largest) : largest;
        if (!MakePage(fresh, side) || !TakeCell(fresh, image.width, image.height, x, y)) {
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
    image.atlasKey = key;
    r.atlasImages.emplace(key, SlotIndex(image));
    RefreshAtlasCell(image);
    return true;
}

void AtlasPixelsChanged(ImageSlot& image) {
    if (image.atlasPage < 0) return;
    if (CellShared(image)) {
        LeaveAtlas(image);
        PlaceInAtlas(image);
        return;
    }
    ForgetAtlasImage(image);
    image.atlasKey = AtlasKey(image);
    g_renderer.atlasImages.emplace(image.atlasKey, SlotIndex(image));
    RefreshAtlasCell(image);
}

void LeaveAtlas(ImageSlot& image) {
    Renderer& r = g_renderer;
    if (image.atlasPage < 0) return;
    ForgetAtlasImage(image);
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
