// GFXCORE: the tile library: every graphic of the tile directory with its descriptor.
// Tile names are the file names cut before the graphics extension; lookups are exact.
#include "engine/GFXCORE.h"

#include "engine/DESCRIPTOR.h"
#include "engine/RECORDS.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "platform/files.h"

void LoadTileLibrary() {
    PLAT_MARK("GFXCORE");
    const std::string& codec = gSettings.GFXCODEC;
    const std::vector<std::string> entries = plat::ListDirectory(gSettings.GFX, "*" + codec + "*");
    gWorld.tiles.assign(entries.size(), TileKind{});
    for (size_t i = 0; i < entries.size(); ++i) {
        const size_t cut = entries[i].find(codec);
        gWorld.tiles[i].name = cut == std::string::npos ? std::string() : entries[i].substr(0, cut);
    }
    for (size_t i = 0; i < gWorld.tiles.size(); ++i) {
        TileKind& tile = gWorld.tiles[i];
        tile.sprite = plat::LoadImage(gSettings.GFX + tile.name + codec);
        if (!tile.sprite.Valid()) continue;
        plat::MakeTransparent(tile.sprite, {255, 255, 255});
        tile.width = static_cast<float>(plat::ImageWidth(tile.sprite));
        tile.height = static_cast<float>(plat::ImageHeight(tile.sprite));
        LoadTileDescriptor(static_cast<int>(i));
        gState.lastTileIndex = static_cast<int32_t>(i);
        gState.anyTileLoaded = true;
    }
}

int FindTile(const std::string& name) {
    if (!gState.anyTileLoaded) return -1;
    for (int i = 0; i < gState.lastTileIndex; ++i) {
        if (gWorld.tiles[i].name == name) return i;
    }
    return gState.lastTileIndex;
}
