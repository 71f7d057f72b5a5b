// BUILDERscreen: the main window's picture, redrawn after every main-window event: the placed
// tiles layer by layer with their blending, the preview of the selected type at the build
// cursor, the screen log, the grid dots and the quick help; and the screenshot of it.
#include "builder/BUILDERscreen.h"

#include <algorithm>
#include <string>
#include <vector>

#include "builder/BUILDERRECORDS.h"
#include "builder/BUILDERTESTROUTINES.h"
#include "builder/BUILDERWORLD.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/windows.h"
#include "worldfiles/convert.h"

namespace {

constexpr plat::Colour kBackground{10, 10, 10};
constexpr plat::Colour kGridDot{0, 255, 0};
constexpr int kGridPreviewGapMs = 50;  // grid-mode redraws with a preview are this far apart

// "SxD": the integers before and after the first "x"; applied only when both are non-zero.
void ApplyPostEffect(const std::string& effect) {
    const size_t x = effect.find('x');
    if (x == std::string::npos) return;
    const int source = wf::ParseInt(effect.substr(0, x));
    const int destination = wf::ParseInt(effect.substr(x + 1));
    if (source != 0 && destination != 0) plat::SetBlend(source, destination);
}

void DrawTile(const MapTile& tile) {
    plat::SetBlend(5, 6);
    ApplyPostEffect(tile.descriptor.postEFFECT);
    plat::ZoomDrawable(tile.sprite, wf::RoundToInt(tile.width * gBuilder.zoomX),
                       wf::RoundToInt(tile.height * gBuilder.zoomY));
    if (tile.descriptor.worldFTilePattern == 1) return;
    plat::DrawDrawable(tile.sprite, wf::RoundToInt(tile.x * gBuilder.zoomX),
                       wf::RoundToInt(tile.y * gBuilder.zoomY), tile.descriptor.worldFTileTransparency);
}

// Layer by layer from 0 up to the highest used one, each layer in slot order. The drawable
// slots are sorted by layer (stably, so slot order holds within a layer) rather than walking
// every layer number: a map may name layer 2,000,000,000, and walking the empty layers up to it
// would hang the builder.
void DrawLayers() {
    const int last = std::min(gBuilder.lastTileIndex, static_cast<int>(gBuilder.mapTiles.size()) - 1);
    std::vector<int> slots;
    for (int slot = 0; slot <= last; ++slot) {
        const MapTile& tile = gBuilder.mapTiles[slot];
        if (tile.sprite.Valid() && tile.active != 0 && tile.layer >= 0 && tile.layer <= gBuilder.maxUsedLayer) {
            slots.push_back(slot);
        }
    }
    std::stable_sort(slots.begin(), slots.end(),
                     [](int a, int b) { return gBuilder.mapTiles[a].layer < gBuilder.mapTiles[b].layer; });
    for (int slot : slots) DrawTile(gBuilder.mapTiles[slot]);
}

const TileType* SelectedWithSprite() {
    const TileType* type = SelectedTileType();
    return type != nullptr && type->sprite.Valid() ? type : nullptr;
}

// The selected type at the build cursor, at its own size (the map zoom does not apply), opaque.
void DrawPreview(const TileType& type) {
    plat::ZoomDrawable(type.sprite, wf::RoundToInt(type.width), wf::RoundToInt(type.height));
    plat::DrawDrawable(type.sprite, gBuilder.mouseX, gBuilder.mouseY, 255);
}

// One green pixel per grid crossing over the whole screen; none without a positive grid size.
void DrawGridDots() {
    const int grid = gBuilder.gridSize;
    if (grid <= 0) return;
    const int columns = wf::RoundToInt(gBuilder.screenWidth / static_cast<float>(grid));
    const int rows = wf::RoundToInt(gBuilder.screenHeight / static_cast<float>(grid));
    for (int i = 0; i <= columns; ++i) {
        for (int j = 0; j <= rows; ++j) plat::SetPixel(i * grid, j * grid, kGridDot);
    }
}

// In grid mode a redraw that shows the preview comes at least 50 ms after the previous one.
// One that comes sooner is not drawn now: a timer event of the main window, due when the gap
// has passed, redraws then. Events go on being handled meanwhile.
bool PostponedForGridPreview(bool preview) {
    if (gBuilder.rasterMode != 2 || !preview) return false;
    const int64_t since = plat::Milliseconds() - gBuilder.lastRedrawMs;
    if (since >= kGridPreviewGapMs) return false;
    plat::StartWindowTimer(kMainWindow, static_cast<int>(kGridPreviewGapMs - since));
    return true;
}

}  // namespace

void RedrawMainWindow() {
    PLAT_MARK("BUILDERscreen");
    if (!plat::ScreenOpen()) return;
    const TileType* selected = SelectedWithSprite();
    const bool preview = selected != nullptr && !plat::MouseRight();
    if (PostponedForGridPreview(preview)) return;
    gBuilder.lastRedrawMs = plat::Milliseconds();

    plat::Begin3D();  // blending 5 with 6
    plat::ClearScreen(kBackground);
    StretchTiles();
    DrawLayers();
    // The preview takes its own postEFFECT, or else the blending the last tile left.
    if (selected != nullptr) ApplyPostEffect(selected->descriptor.postEFFECT);
    if (preview) DrawPreview(*selected);
    plat::End3D();

    plat::Begin2D();
    DrawScreenLog();
    DrawGridDots();
    if (gBuilder.quickHelp != 0) DrawQuickHelp();
    plat::End2D();
    plat::Flip();
}

void TakeScreenshot() {
    PLAT_MARK("BUILDERscreen");
    ApplyToolWindowsHidden();
    const int width = wf::RoundToInt(gBuilder.screenWidth) - 1;
    const int height = wf::RoundToInt(gBuilder.screenHeight) - 1;
    plat::Image copy = plat::GrabScreen(1, 1, width, height);
    if (!copy.Valid()) return;
    // Named by the millisecond count; a second shot in the same millisecond replaces the first.
    plat::SaveImagePng(copy, plat::CurrentDirectory() + wf::IntText(plat::Milliseconds()));
    plat::FreeImage(copy);
}

void ApplyToolWindowsHidden() {
    const bool shown = gBuilder.tileWindowHidden == 0;
    plat::ShowWindow(kTileWindow, shown);
    plat::ShowWindow(kDescriptorWindow, shown);
}
