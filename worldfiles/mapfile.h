// The map file: "0", "0", eight-line "TILE" records, "ENGINETILEINFOEND"; lines end with CR LF.
// Written by the map builder, read by the builder (slots started by "TILE") and by the engine.
#pragma once
#include <string>
#include <vector>

namespace wf {

inline constexpr const char* kMapTileMarker = "TILE";
inline constexpr const char* kMapEndMarker = "ENGINETILEINFOEND";

// One placed tile as the writer sees it.
struct MapFileTile {
    std::string tileName;
    int libraryIndex = 0;       // index in the writer's tile library; informational
    float x = 0, y = 0;         // map pixels, rounded to the nearest integer (halves to even) when written
    float width = 0, height = 0;
    int layer = 0;
    bool active = true;         // inactive (deleted) tiles are not written
    bool hasGeneseID = false;   // tiles with a geneseID are written after all others
};

// One tile of a caller's table as the map file's layout reads it; the name is borrowed.
struct MapTileView {
    const char* name = "";
    size_t nameLength = 0;
    int libraryIndex = 0;
    float x = 0, y = 0, width = 0, height = 0;  // as in MapFileTile
    int layer = 0;
    bool active = true;
    bool hasGeneseID = false;
};
// The view of a caller's tile record with the fields of MapFileTile (libraryIndex, x, y, width,
// height, layer); `name` stays the caller's.
template <typename Tile>
MapTileView MapTileViewOf(const Tile& tile, const std::string& name, bool active, bool hasGeneseID) {
    MapTileView view;
    view.name = name.data();
    view.nameLength = name.size();
    view.libraryIndex = tile.libraryIndex;
    view.x = tile.x;
    view.y = tile.y;
    view.width = tile.width;
    view.height = tile.height;
    view.layer = tile.layer;
    view.active = active;
    view.hasGeneseID = hasGeneseID;
    return view;
}
// Tile `index` of the caller's table `tiles`.
using MapTileSource = MapTileView (*)(const void* tiles, size_t index);
// Takes one line of the file (without its line end) for the caller's `sink`.
using MapLineSink = void (*)(void* sink, const char* text, size_t length);

// The map file's layout, the one place it is spelled: "0", "0", first the active tiles without
// geneseID, then those with one, each group in table order, then the end marker; each line goes
// to `line`. Allocates nothing (numbers are formatted in fixed buffers), so a fault routine can
// write a map with it.
void WriteMapLines(const void* tiles, size_t count, MapTileSource tileAt, void* sink, MapLineSink line);

// The lines of a map file of these tiles (WriteMapLines).
std::vector<std::string> MapFileLines(const std::vector<MapFileTile>& tiles);
std::vector<std::string> MapFileLines(const void* tiles, size_t count, MapTileSource tileAt);
// Writes MapFileLines atomically; false when the file could not be written (the old one survives).
bool WriteMapFile(const std::string& path, const std::vector<MapFileTile>& tiles);
bool WriteMapFile(const std::string& path, const void* tiles, size_t count, MapTileSource tileAt);

// --- the engine's reading -------------------------------------------------------------------
struct EngineMapRecord {
    std::string tileName;
    float x = 0, y = 0, width = 0, height = 0;  // decimal numbers, a fraction is accepted
    int layer = 0;
};
struct EngineMap {
    float offsetX = 0, offsetY = 0;  // lines 1 and 2, read as integers
    std::vector<EngineMapRecord> records;  // in file order
};
// Records are eight lines whose first line is only tested against the end marker. Reading stops
// after the end marker or at the end of the lines; a record cut off by the end of the file
// (fewer than eight lines left) is dropped.
EngineMap ParseEngineMap(const std::vector<std::string>& lines);
// True when the lines hold a whole map as the builder writes it: the two offset lines, whole
// eight-line records, then the end marker. A map cut off anywhere (a write in progress, a broken
// copy) is not whole, although ParseEngineMap would take what is there.
bool EngineMapComplete(const std::vector<std::string>& lines);

// --- the map builder's reading ----------------------------------------------------------------
struct BuilderMapRecord {
    std::string tileName;
    int libraryIndex = 0;
    float x = 0, y = 0, width = 0, height = 0;  // read as integers
    int layer = 0;
};
struct BuilderMap {
    int scrollX = 0, scrollY = 0;  // lines 1 and 2
    std::vector<BuilderMapRecord> records;  // one per "TILE" slot, in file order
};
// A "TILE" line starts a slot and its seven lines fill it; missing lines of a truncated record
// read as empty (0, ""). A record that does not start with "TILE" is read and skipped.
BuilderMap ParseBuilderMap(const std::vector<std::string>& lines);

}  // namespace wf
