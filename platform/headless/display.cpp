// The headless display: screen state, images decoded into memory, drawables, and a recording of
// every draw call. There is no frame buffer; a screen grab is filled with the last clear colour.
#include <algorithm>
#include <cstdlib>

#include "platform/headless/state.h"

namespace plat {

using headless::DrawableEntry;
using headless::DrawRecord;
using headless::g_headless;
using headless::ImageEntry;

namespace {

// Fixed line height of the headless default font (pixels).
constexpr int kHeadlessTextLineHeight = 16;

ImageEntry* FindImage(Image image) {
    if (image.id < 0 || image.id >= static_cast<int>(g_headless.images.size())) return nullptr;
    ImageEntry& entry = g_headless.images[image.id];
    return entry.live ? &entry : nullptr;
}

DrawableEntry* FindDrawable(Drawable drawable) {
    if (drawable.id < 0 || drawable.id >= static_cast<int>(g_headless.drawables.size())) {
        return nullptr;
    }
    DrawableEntry& entry = g_headless.drawables[drawable.id];
    return entry.live ? &entry : nullptr;
}

Image AddImage(const std::string& path, Pixels pixels) {
    ImageEntry entry;
    entry.live = true;
    entry.path = path;
    entry.pixels = std::move(pixels);
    g_headless.images.push_back(std::move(entry));
    return Image{static_cast<int>(g_headless.images.size()) - 1};
}

void SetRectangle(DrawableEntry& entry, int width, int height) {
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    entry.width = width;
    entry.height = height;
    entry.corners[0] = Corner{0, 0};
    entry.corners[1] = Corner{w, 0};
    entry.corners[2] = Corner{w, h};
    entry.corners[3] = Corner{0, h};
}

DrawRecord MakeRecord(DrawRecord::Kind kind) {
    DrawRecord record{};
    record.kind = kind;
    return record;
}

void Record(const DrawRecord& record) { g_headless.draws.push_back(record); }

}  // namespace

// --- display ----------------------------------------------------------------------------------

DesktopInfo QueryDesktop() { return g_headless.desktop; }

// A desktop without panels: the work area is the whole desktop.
WorkArea QueryWorkArea() { return WorkArea{0, 0, g_headless.desktop.width, g_headless.desktop.height}; }

void InitSprites() {}

void Init3D() {}

bool OpenScreen(int width, int height, int depth, const std::string& title) {
    if (g_headless.screenFails || width <= 0 || height <= 0) return false;
    g_headless.screenOpen = true;
    g_headless.screenWidth = width;
    g_headless.screenHeight = height;
    g_headless.screenTitle = title;
    return true;
}

void CloseScreen() {
    g_headless.screenOpen = false;
    g_headless.screenWidth = 0;
    g_headless.screenHeight = 0;
}

bool ScreenOpen() { return g_headless.screenOpen; }

int ScreenWidth() { return g_headless.screenWidth; }

int ScreenHeight() { return g_headless.screenHeight; }

void ClearScreen(Colour colour) {
    g_headless.clearColour = colour;
    DrawRecord record = MakeRecord(DrawRecord::kClear);
    record.colour = colour;
    Record(record);
}

// The 3D pass resets blending to 5 with 6; the reset is recorded as a kBlend right after kBegin3D
// so that the blend of every sprite can be read from the recording alone.
void Begin3D() {
    Record(MakeRecord(DrawRecord::kBegin3D));
    g_headless.blendSource = 5;
    g_headless.blendDestination = 6;
    DrawRecord blend = MakeRecord(DrawRecord::kBlend);
    blend.source = 5;
    blend.destination = 6;
    Record(blend);
}

void End3D() { Record(MakeRecord(DrawRecord::kEnd3D)); }

void Flip() { Record(MakeRecord(DrawRecord::kFlip)); }

void RunFrameLoop(bool (*step)(), void (*finish)()) {
    while (step()) {
    }
    finish();
    std::abort();  // `finish` must not return
}

void SetNearestSampling(bool nearest) { g_headless.nearestSampling = nearest; }

// --- images -----------------------------------------------------------------------------------

Image LoadImage(const std::string& path) {
    ++g_headless.imageLoads;
    Pixels pixels;
    if (!DecodeImageFile(path, pixels)) return Image{};
    return AddImage(path, std::move(pixels));
}

void MakeTransparent(Image image, Colour colour) {
    ImageEntry* entry = FindImage(image);
    if (entry == nullptr) return;
    MakeColourTransparent(entry->pixels, colour.r, colour.g, colour.b);
}

int ImageWidth(Image image) {
    const ImageEntry* entry = FindImage(image);
    return entry != nullptr ? entry->pixels.width : 0;
}

int ImageHeight(Image image) {
    const ImageEntry* entry = FindImage(image);
    return entry != nullptr ? entry->pixels.height : 0;
}

Image GrabScreen(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return Image{};
    // Clip in 64 bits so that huge values cannot overflow.
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + width, g_headless.screenWidth);
    const int64_t bottom =
        std::min<int64_t>(static_cast<int64_t>(y) + height, g_headless.screenHeight);
    if (right <= left || bottom <= top) return Image{};

    Pixels pixels;
    pixels.width = static_cast<int>(right - left);
    pixels.height = static_cast<int>(bottom - top);
    pixels.rgba.resize(static_cast<size_t>(pixels.width) * pixels.height * 4);
    const Colour fill = g_headless.clearColour;
    for (size_t i = 0; i < pixels.rgba.size(); i += 4) {
        pixels.rgba[i] = static_cast<uint8_t>(std::clamp(fill.r, 0, 255));
        pixels.rgba[i + 1] = static_cast<uint8_t>(std::clamp(fill.g, 0, 255));
        pixels.rgba[i + 2] = static_cast<uint8_t>(std::clamp(fill.b, 0, 255));
        pixels.rgba[i + 3] = 255;
    }
    return AddImage("", std::move(pixels));
}

bool SaveImagePng(Image image, const std::string& path) {
    const ImageEntry* entry = FindImage(image);
    if (entry == nullptr) return false;
    return WritePngFile(path, entry->pixels);
}

void FreeImage(Image& image) {
    ImageEntry* entry = FindImage(image);
    if (entry != nullptr) {
        entry->live = false;
        entry->pixels = Pixels{};
    }
    image = Image{};
}

// --- drawables --------------------------------------------------------------------------------

Drawable MakeDrawable(Image image) {
    const ImageEntry* source = FindImage(image);
    if (source == nullptr) return Drawable{};
    DrawableEntry entry;
    entry.live = true;
    entry.image = image.id;
    SetRectangle(entry, source->pixels.width, source->pixels.height);
    g_headless.drawables.push_back(entry);
    return Drawable{static_cast<int>(g_headless.drawables.size()) - 1};
}

void ZoomDrawable(Drawable drawable, int width, int height) {
    DrawableEntry* entry = FindDrawable(drawable);
    if (entry == nullptr) return;
    SetRectangle(*entry, width, height);
}

void SetCorners(Drawable drawable, const Corner corners[4]) {
    DrawableEntry* entry = FindDrawable(drawable);
    if (entry == nullptr || corners == nullptr) return;
    std::copy(corners, corners + 4, entry->corners);
}

void SetBlend(int source, int destination) {
    // As on the screen: a factor outside 1..13 leaves the blending as it was, and nothing is
    // recorded, so a recording shows the blending each sprite is really drawn with.
    if (source < 1 || source > 13 || destination < 1 || destination > 13) return;
    g_headless.blendSource = source;
    g_headless.blendDestination = destination;
    DrawRecord record = MakeRecord(DrawRecord::kBlend);
    record.source = source;
    record.destination = destination;
    Record(record);
}

void DrawDrawable(Drawable drawable, int x, int y, int opacity) {
    const DrawableEntry* entry = FindDrawable(drawable);
    if (entry == nullptr) return;
    DrawRecord record = MakeRecord(DrawRecord::kSprite);
    record.drawable = drawable.id;
    record.image = entry->image;
    record.x = x;
    record.y = y;
    record.width = entry->width;
    record.height = entry->height;
    std::copy(entry->corners, entry->corners + 4, record.corners);
    record.opacity = std::clamp(opacity, 0, 255);
    Record(record);
}

void FreeDrawable(Drawable& drawable) {
    DrawableEntry* entry = FindDrawable(drawable);
    if (entry != nullptr) entry->live = false;
    drawable = Drawable{};
}

Image DrawableImage(Drawable drawable) {
    const DrawableEntry* entry = FindDrawable(drawable);
    return entry != nullptr ? Image{entry->image} : Image{};
}

// --- 2D drawing -------------------------------------------------------------------------------

void Begin2D() {}

void End2D() {}

void DrawText(int x, int y, const std::string& text, Colour colour, bool opaque,
              Colour background) {
    DrawRecord record = MakeRecord(DrawRecord::kText);
    record.x = x;
    record.y = y;
    record.text = text;
    record.colour = colour;
    record.filled = opaque;
    Record(record);
}

int TextLineHeight() { return kHeadlessTextLineHeight; }

void DrawBox(int x, int y, int width, int height, Colour colour, bool filled) {
    DrawRecord record = MakeRecord(DrawRecord::kBox);
    record.x = x;
    record.y = y;
    record.width = width;
    record.height = height;
    record.colour = colour;
    record.filled = filled;
    Record(record);
}

void SetPixel(int x, int y, Colour colour) {
    DrawRecord record = MakeRecord(DrawRecord::kPixel);
    record.x = x;
    record.y = y;
    record.colour = colour;
    Record(record);
}

}  // namespace plat
