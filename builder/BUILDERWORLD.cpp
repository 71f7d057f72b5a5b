// BUILDERWORLD: the map being edited holds its tiles in screen coordinates, so scrolling moves
// every tile rather than a camera. Slots are used in order and never reused while the map
// lives: a deleted tile only loses its active flag.
#include "builder/BUILDERWORLD.h"

#include <algorithm>

#include "builder/BUILDERRECORDS.h"
#include "platform/fault.h"
#include "worldfiles/convert.h"

namespace {

// Last slot that exists in the table (a map file may have left lastTileIndex beyond it).
int LastSlot() { return std::min(gBuilder.lastTileIndex, static_cast<int>(gBuilder.mapTiles.size()) - 1); }

// The values a placed tile takes from its type. Those a map file carries beside the
// descriptor (pattern flag, shadow offsets and zoom, the genese id, ...) stay at zero until the
// map is next read from a file.
void FillPlacedTile(MapTile& tile, const TileType& type) {
    tile = MapTile{};
    tile.name = type.name;
    tile.sprite = type.sprite;
    tile.libraryIndex = gBuilder.actualTile;
    tile.x = tile.startX = static_cast<float>(gBuilder.mouseX);
    tile.y = tile.startY = static_cast<float>(gBuilder.mouseY);
    tile.width = type.width;
    tile.height = type.height;
    tile.zoom = type.zoom;
    tile.layer = gBuilder.actualLayer;
    tile.active = type.usable;
    tile.descriptor = type.descriptor;
    wf::BuilderTileDescriptor& d = tile.descriptor;
    d.worldFTileShadowOffsetX = d.worldFTileShadowOffsetY = d.worldFTileShadowZoom = 0;
    d.worldFTileNoStopOnCollision = 0;
    d.worldFTileCollisionSize = d.worldFTileSuperRotate = d.worldFTileLook = d.worldFTileLookAngle = 0;
    d.geneseID.clear();
    d.worldFTilePattern = 0;
}

bool CursorOnTile(const MapTile& tile) {
    const int x = gBuilder.mouseX;
    const int y = gBuilder.mouseY;
    return wf::RoundToInt(tile.x) <= x && x <= wf::RoundToInt(tile.x + tile.width) &&
           wf::RoundToInt(tile.y) <= y && y <= wf::RoundToInt(tile.y + tile.height);
}

}  // namespace

size_t PlacedTileSlots(int32_t maxTiles) {
    return maxTiles < 0 ? 0 : static_cast<size_t>(static_cast<int64_t>(maxTiles) + 1);
}

bool PlaceTile() {
    PLAT_MARK("BUILDERWORLD");
    const TileType* type = SelectedTileType();
    if (type == nullptr || !type->sprite.Valid() || gBuilder.lastTileIndex >= gBuilder.maxTiles) return false;
    const int slot = gBuilder.lastTileIndex + 1;
    if (slot >= static_cast<int>(gBuilder.mapTiles.size())) gBuilder.mapTiles.resize(static_cast<size_t>(slot) + 1);
    FillPlacedTile(gBuilder.mapTiles[slot], *type);
    gBuilder.lastTileIndex = slot;
    return true;
}

bool DeleteTileAtCursor() {
    PLAT_MARK("BUILDERWORLD");
    const int last = LastSlot();
    for (int slot = 0; slot <= last; ++slot) {
        MapTile& tile = gBuilder.mapTiles[slot];
        if (tile.layer != gBuilder.actualLayer || tile.active == 0 || !CursorOnTile(tile)) continue;
        tile.active = 0;
        return true;
    }
    return false;
}

void ResizeSelectedType() {
    TileType* type = SelectedTileType();
    if (type == nullptr || !type->sprite.Valid()) return;
    const float d = static_cast<float>(gBuilder.resizeDelta);
    if (d == 0 || type->width <= 0 || type->height <= 0) return;
    const float heightPerWidth = type->height / type->width;
    const float widthPerHeight = type->width / type->height;
    if (type->height + d > 1 && type->width + d > 1) {
        type->height += d * heightPerWidth;
        type->width += d * widthPerHeight;
    }
}

namespace {

// Moves every tile that is not stretched, deleted ones too, along one axis by `scrollStep`.
void ScrollAxis(float MapTile::*position, float MapTile::*start, int& sum) {
    const int last = LastSlot();
    for (int slot = 0; slot <= last; ++slot) {
        MapTile& tile = gBuilder.mapTiles[slot];
        if (tile.descriptor.worldFStretch != 0) continue;
        tile.*position += static_cast<float>(gBuilder.scrollStep);
        tile.*start = tile.*position;
    }
    sum += gBuilder.scrollStep;
}

}  // namespace

void ScrollHorizontally() { ScrollAxis(&MapTile::x, &MapTile::startX, gBuilder.scrollX); }

void ScrollVertically() { ScrollAxis(&MapTile::y, &MapTile::startY, gBuilder.scrollY); }

void StretchTiles() {
    const int last = LastSlot();
    for (int slot = 0; slot <= last; ++slot) {
        MapTile& tile = gBuilder.mapTiles[slot];
        if (tile.active == 0 || tile.descriptor.worldFStretch == 0) continue;
        tile.x = 0;
        tile.y = 0;
        tile.width = gBuilder.screenWidth;
        tile.height = gBuilder.screenHeight;
    }
}

void SetMapZoom(float zoom) {
    gBuilder.zoomX = zoom;
    gBuilder.zoomY = zoom;
}
