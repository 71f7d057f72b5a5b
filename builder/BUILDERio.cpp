// BUILDERio: map files, the undo history and the map commands. Every read of a map clears the
// table and rebuilds the tile library first; snapshots are complete map files numbered from 0.
#include "builder/BUILDERio.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "builder/BUILDERENV.h"
#include "builder/BUILDERINIODA.h"
#include "builder/BUILDERMESSAGE.h"
#include "builder/BUILDERTILEMENU.h"
#include "builder/BUILDERscreen.h"
#include "platform/dialogs.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "worldfiles/convert.h"
#include "worldfiles/mapfile.h"

namespace {

// The library entry of a map record's name: the first type of that name whose graphic loaded;
// -1 when there is none (an unknown name, or a type whose graphic failed to load).
int TileTypeForName(const std::string& name) {
    const std::vector<TileType>& library = gBuilder.tileLibrary;
    for (size_t i = 0; i < library.size(); ++i) {
        if (library[i].name == name) return library[i].sprite.Valid() ? static_cast<int>(i) : -1;
    }
    return -1;
}

// Ties a tile to the library by its name: a type whose graphic loaded gives its sprite, index,
// descriptor and zoom. A name the library cannot show keeps its own name, library index and
// place, so the next save writes the record back unchanged. It is drawn like the last type whose
// graphic loaded (nothing when there is none) but takes none of that type's other values: a
// geneseID would move the record on saving, a stretch its position.
void BindTileToLibrary(MapTile& tile) {
    const int typeIndex = TileTypeForName(tile.name);
    if (typeIndex >= 0) {
        const TileType& type = gBuilder.tileLibrary[typeIndex];
        tile.sprite = type.sprite;
        tile.libraryIndex = typeIndex;
        tile.descriptor = type.descriptor;
        tile.zoom = type.zoom;
        return;
    }
    tile.sprite = plat::Drawable{};
    tile.descriptor = wf::BuilderTileDescriptor{};
    tile.zoom = 0;
    if (gBuilder.lastLibraryIndex >= 0) {
        const TileType& shown = gBuilder.tileLibrary[gBuilder.lastLibraryIndex];
        tile.sprite = shown.sprite;
        tile.zoom = shown.zoom;
        tile.descriptor.worldFTileTransparency = shown.descriptor.worldFTileTransparency;
        tile.descriptor.postEFFECT = shown.descriptor.postEFFECT;
        tile.descriptor.worldFTilePattern = shown.descriptor.worldFTilePattern;
    }
}

void PlaceRecord(const wf::BuilderMapRecord& record) {
    gBuilder.lastTileIndex += 1;
    // A map may hold more records than the table has slots: the table grows to keep them all.
    if (gBuilder.lastTileIndex >= static_cast<int>(gBuilder.mapTiles.size())) {
        gBuilder.mapTiles.resize(static_cast<size_t>(gBuilder.lastTileIndex) + 1);
    }
    MapTile& tile = gBuilder.mapTiles[gBuilder.lastTileIndex];
    tile = MapTile{};
    tile.name = record.tileName;
    tile.libraryIndex = record.libraryIndex;
    BindTileToLibrary(tile);
    // A record of the map stays in it even when its type is not usable (a descriptor of known
    // keys only, whose new tiles are not kept): it is drawn and saved as it was read.
    tile.active = 1;
    tile.x = tile.startX = tile.spawnX = record.x;
    tile.y = tile.startY = tile.spawnY = record.y;
    tile.width = record.width;
    tile.height = record.height;
    tile.layer = record.layer;
    gBuilder.maxUsedLayer = std::max(gBuilder.maxUsedLayer, record.layer);
    // A stretched tile always starts at the top-left corner of the screen.
    if (tile.descriptor.worldFStretch == 1.0f) {
        tile.x = 0;
        tile.y = 0;
    }
}

bool IsLibraryName(const std::string& name) {
    for (const TileType& type : gBuilder.tileLibrary) {
        if (type.name == name) return true;
    }
    return false;
}

// One line per name of the map's tiles that is not in the library, with its tile count, on the
// error output; `source` says where the map came from.
void ReportUnknownNames(const std::string& source) {
    std::map<std::string, int> unknownNames;  // name -> tiles carrying it
    const int last = std::min(gBuilder.lastTileIndex, static_cast<int>(gBuilder.mapTiles.size()) - 1);
    for (int slot = 0; slot <= last; ++slot) {
        const MapTile& tile = gBuilder.mapTiles[slot];
        if (tile.active != 0 && !IsLibraryName(tile.name)) unknownNames[tile.name] += 1;
    }
    for (const auto& [name, count] : unknownNames) {
        std::fprintf(stderr, "plom: %s: %d tile(s) named \"%s\", which is not in the tile library\n",
                     source.c_str(), count, name.c_str());
    }
}

std::vector<wf::MapFileTile> EditedMapTiles() {
    std::vector<wf::MapFileTile> tiles;
    const int last = std::min(gBuilder.lastTileIndex, static_cast<int>(gBuilder.mapTiles.size()) - 1);
    tiles.reserve(static_cast<size_t>(std::max(last + 1, 0)));
    for (int slot = 0; slot <= last; ++slot) {
        const MapTile& tile = gBuilder.mapTiles[slot];
        wf::MapFileTile record;
        record.tileName = tile.name;
        record.libraryIndex = tile.libraryIndex;
        record.x = tile.x;
        record.y = tile.y;
        record.width = tile.width;
        record.height = tile.height;
        record.layer = tile.layer;
        record.active = tile.active != 0;
        record.hasGeneseID = !tile.descriptor.geneseID.empty();
        tiles.push_back(record);
    }
    return tiles;
}

}  // namespace

std::vector<std::string> EditedMapLines() { return wf::MapFileLines(EditedMapTiles()); }

bool WriteMapFile(const std::string& path) {
    PLAT_MARK("BUILDERio");
    return wf::WriteMapFile(path, EditedMapTiles());
}

void ClearMap() {
    PLAT_MARK("BUILDERio");
    for (MapTile& tile : gBuilder.mapTiles) {
        tile.name.clear();
        tile.sprite = plat::Drawable{};
    }
    gBuilder.lastTileIndex = -1;
    BuildTileLibrary();
}

void ReadMapFile(const std::string& path) {
    PLAT_MARK("BUILDERio");
    ClearMap();
    gBuilder.maxUsedLayer = 0;
    std::vector<std::string> lines;
    if (plat::ReadAllLines(path, lines)) {
        const wf::BuilderMap map = wf::ParseBuilderMap(lines);
        gBuilder.scrollX = map.scrollX;
        gBuilder.scrollY = map.scrollY;
        for (const wf::BuilderMapRecord& record : map.records) PlaceRecord(record);
        ReportUnknownNames(path);
    }
    RedrawMainWindow();
}

void RefreshTileLibrary() {
    PLAT_MARK("BUILDERio");
    const TileType* selected = SelectedTileType();
    const std::string selectedName = selected != nullptr ? selected->name : "";
    BuildTileLibrary();  // frees the sprites every tile shows: each one is bound anew below
    const int last = std::min(gBuilder.lastTileIndex, static_cast<int>(gBuilder.mapTiles.size()) - 1);
    for (int slot = 0; slot < static_cast<int>(gBuilder.mapTiles.size()); ++slot) {
        MapTile& tile = gBuilder.mapTiles[slot];
        if (slot <= last) {
            BindTileToLibrary(tile);
        } else {
            tile.sprite = plat::Drawable{};
        }
    }
    ReportUnknownNames("Refresh");
    // The selection stays with its type while that type is still there.
    const int stillThere = TileTypeIndex(selectedName);
    if (stillThere >= 0) gBuilder.actualTile = stillThere;
    DrawThumbnails();
    RedrawMainWindow();
}

std::string UndoSnapshotPath(int number) {
    return gBuilderSettings.LOGFILE + "UNDO_" + wf::IntText(number);
}

void TakeUndoSnapshot() {
    gBuilder.undoPos = gBuilder.undoCounter;
    WriteMapFile(UndoSnapshotPath(gBuilder.undoCounter));  // a failed snapshot is skipped silently
    if (gBuilder.maxUndo < gBuilder.undoCounter) gBuilder.maxUndo = gBuilder.undoCounter;
    gBuilder.undoCounter += 1;
}

void StepUndo() {
    gBuilder.undoPos -= 1;
    if (gBuilder.undoPos < 0) {
        gBuilder.undoPos = 0;
        return;
    }
    ReadMapFile(UndoSnapshotPath(gBuilder.undoPos));
}

void StepRedo() {
    gBuilder.undoPos += 1;
    if (gBuilder.undoPos > gBuilder.maxUndo) {
        gBuilder.undoPos = gBuilder.maxUndo;
        return;
    }
    ReadMapFile(UndoSnapshotPath(gBuilder.undoPos));
}

void OpenMapCommand() {
    if (gBuilder.currentMapFile.empty()) gBuilder.currentMapFile = plat::CurrentDirectory();
    const std::string chosen = plat::RequestOpenFile("MAP-BUILDER: Open MAP File:", gBuilder.currentMapFile, "*");
    if (chosen.empty()) return;
    ReadMapFile(chosen);
    gBuilder.currentMapFile = chosen;
    WriteMapFile(UndoSnapshotPath(gBuilder.undoCounter));
}

void SaveMapCommand() {
    const std::string chosen = plat::RequestSaveFile("MAP-BUILDER: Save MAP File:", "", "*");
    if (chosen.empty()) return;
    if (!WriteMapFile(chosen)) ShowMapWriteError(chosen);
}

void RedrawMapCommand() {
    // Reading back a file that could not be written would throw away every edit since.
    if (!WriteMapFile(gBuilder.currentMapFile)) {
        ShowMapWriteError(gBuilder.currentMapFile);
        return;
    }
    ReadMapFile(gBuilder.currentMapFile);
}

void NewMapCommand() {
    if (!AskNewMap()) return;
    gBuilder.lastTileIndex = -1;
    gBuilder.scrollX = 0;
    gBuilder.scrollY = 0;
    RedrawMainWindow();
}
