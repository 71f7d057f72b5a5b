// BUILDERWORLD: the editing operations on the map: placing a tile at the build cursor, deleting
// the tile under it, resizing the selected tile type, scrolling, stretching and the map zoom.
#pragma once
#include <cstddef>
#include <cstdint>

// Slots of the placed-tile table for a MAXTILES value: slots 0..maxTiles, none for a negative
// value. Computed in 64 bits, so 2,147,483,647 gives 2,147,483,648 slots rather than overflowing.
size_t PlacedTileSlots(int32_t maxTiles);
// Places one tile of the selected type at the build cursor on the actual layer, in the next
// slot; refused silently when the table is full or the type has no sprite. True when placed.
bool PlaceTile();
// Deactivates the first (lowest-slot) active tile of the actual layer whose rectangle, edges
// included, holds the build cursor in work-map coordinates. True when a tile was hit (the
// caller then takes the undo snapshot).
bool DeleteTileAtCursor();
// Grows or shrinks the selected type by `resizeDelta` notches, keeping its aspect ratio; a size
// that would reach 1 pixel or less is refused. Placed tiles keep their size.
void ResizeSelectedType();
// Moves every tile that is not stretched by `scrollStep` pixels and adds it to the scroll sum.
void ScrollHorizontally();
void ScrollVertically();
// Every active stretched tile covers the whole screen from (0, 0).
void StretchTiles();
// 1.0: the work map; 0.1: the minimap. Only drawing uses the zoom.
void SetMapZoom(float zoom);
