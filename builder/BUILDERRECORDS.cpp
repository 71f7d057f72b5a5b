// BUILDERRECORDS: the map builder's process records (declared in BUILDERRECORDS.h), the selected
// tile type, and the one end of the process; every unit of the builder uses these.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "builder/BUILDERRECORDS.h"
#include "platform/dialogs.h"
#include "platform/windows.h"
#include "worldfiles/convert.h"

BuilderState gBuilder;
BuilderSettings gBuilderSettings;

TileType* SelectedTileType() {
    if (gBuilder.actualTile < 0 || gBuilder.actualTile >= static_cast<int>(gBuilder.tileLibrary.size())) {
        return nullptr;
    }
    return &gBuilder.tileLibrary[gBuilder.actualTile];
}

int TileTypeIndex(const std::string& name) {
    for (size_t i = 0; i < gBuilder.tileLibrary.size(); ++i) {
        if (gBuilder.tileLibrary[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

size_t PlacedTileCount() {
    const int last = std::min(gBuilder.lastTileIndex, static_cast<int>(gBuilder.mapTiles.size()) - 1);
    return static_cast<size_t>(std::max(last + 1, 0));
}

wf::MapTileView PlacedTileView(const void* tiles, size_t index) {
    const MapTile& tile = (*static_cast<const std::vector<MapTile>*>(tiles))[index];
    return wf::MapTileViewOf(tile, tile.name, tile.active != 0, !tile.descriptor.geneseID.empty());
}

void EndBuilder() {
    for (int window : {kTileWindow, kDescriptorWindow, kMainWindow}) {
        if (plat::WindowExists(window)) plat::CloseWindow(window);
    }
    plat::ReleaseAll();  // the tile library's sprites and images with every other resource
    std::exit(0);
}

void ReportConfigFailure(const std::string& path) {
    plat::MessageBox("PLOM ERROR ", path + " Result:   " + wf::IntText(0) + "   FAIL");
    EndBuilder();
}
