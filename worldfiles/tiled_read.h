// Reading Tiled's TMX maps and TSX tilesets into plain records (tile types with their pixels,
// placements on the nine layers), and writing such a result into a world directory.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "platform/images.h"
#include "worldfiles/descriptor.h"

namespace wf {

// Limits that keep a hostile or mistaken file from exhausting memory; beyond them the map is
// refused with a message rather than cut.
inline constexpr int kTiledMaxMapSide = 16384;                // cells across or down a layer
inline constexpr long long kTiledMaxCellsPerLayer = 1LL << 24;  // width x height of one layer
inline constexpr size_t kTiledMaxPlacements = 1u << 20;     // placed tiles in the whole map
inline constexpr size_t kTiledMaxTileTypes = 1u << 16;      // tile types in the whole map
inline constexpr int kTiledEngineLayers = 9;                  // the engine draws layers 0..8

// One frame of a Tiled tile animation: the graphic shown and for how long.
struct TiledAnimationFrame {
    plat::Pixels pixels;
    int durationMs = 0;
};

// One tile type of the result: its graphic, the descriptor keys that differ from the world's
// template descriptor, and the Tiled animation it had (empty when none; the graphic is then
// the tile's own; with an animation the graphic is its first frame).
struct TiledTileType {
    std::string name;                        // the tile's file name without extension
    plat::Pixels pixels;                     // RGBA, rows top to bottom
    std::vector<DescriptorRow> descriptor;   // key -> value overrides, in the order set
    std::vector<TiledAnimationFrame> animation;
    bool hasGraphic = true;                  // false: a type our exporter found without graphic
                                             // (no pixels; no files are written for it)
};

// One placed tile, in the order it stands in the map file.
struct TiledPlacement {
    std::string typeName;
    int x = 0, y = 0;            // map pixels, top-left corner; the map's top-left is (0, 0)
    int width = 0, height = 0;   // map pixels
    int layer = 0;               // engine layer 0..8 (a map of our exporter: its own layer number)
    int libraryIndex = -1;       // a map of our exporter: the record's library index; -1 otherwise
};

// The whole result of reading a map.
struct TiledMap {
    int tileWidth = 0, tileHeight = 0;      // the map's grid, pixels
    int pixelWidth = 0, pixelHeight = 0;    // the map's extent in pixels (infinite maps: the
                                            // bounding box of their chunks)
    int originX = 0, originY = 0;           // Tiled's pixel coordinates of the result's (0, 0)
    int viewX = 0, viewY = 0;               // where the view starts, result coordinates
    int sourceWidth = 1280, sourceHeight = 1024;  // SOURCEWIDTH, SOURCEHEIGHT to set: one Tiled
                                                  // pixel is one screen pixel on such a screen
    bool hasStartMarker = false;            // a type named MAPSTART (worldFTileIDString) is placed
    std::vector<TiledTileType> types;       // every type the placements name, and the other
                                            // non-empty tiles of the tilesets used
    std::vector<TiledPlacement> placements;
    std::vector<std::string> notes;         // one line per Tiled feature read but left out
    bool exported = false;                  // the map carries taskoExport (written by plom): its
                                            // layers and library indices are the builder's own
};

// Reads a .tmx (or .tmx.gz) file with its external tilesets and images. False with one line in
// `problem` naming the file and, where known, the line, when the map cannot be read faithfully;
// `map` is then unspecified. Orthogonal maps only: other orientations are refused by name.
bool ReadTiledMap(const std::string& path, TiledMap& map, std::string& problem);
// The same from map text in memory; `path` names it in messages and locates relative files.
bool ReadTiledMapText(const std::string& text, const std::string& path, TiledMap& map,
                      std::string& problem);

// The layout of a one-sheet tileset (.tsx).
struct TiledSheetLayout {
    std::string name;             // the tileset's name attribute
    std::string imagePath;        // the sheet image, as a path from the working directory
    int tileWidth = 0, tileHeight = 0;
    int margin = 0, spacing = 0;  // pixels
    int columns = 0;              // as the file gives it (0 when missing)
    int tileCount = 0;            // as the file gives it (0 when missing)
    bool hasTransparentColour = false;
    int transparentR = 0, transparentG = 0, transparentB = 0;  // the image's "trans" colour
};
// Reads a .tsx naming one sheet image. False with one line in `problem` for a file that is
// missing, not XML, not a tileset, an image-collection tileset, or has impossible sizes.
bool ReadTiledTileset(const std::string& path, TiledSheetLayout& layout, std::string& problem);

// A tile's graphic under Tiled's flip flags: the diagonal flip swaps the axes, then the
// horizontal and vertical flips mirror the result.
plat::Pixels FlipTiledPixels(const plat::Pixels& in, bool horizontal, bool vertical, bool diagonal);

// Where WriteTiledImport puts things.
struct TiledImportTarget {
    std::string tileDirectory;       // the graphics and descriptors go here (ends with '/')
    std::string templateDescriptor;  // the descriptor every tile type starts from
    std::string mapPath;             // the map file to write
    std::string graphicExtension = ".png";
    bool freshDirectory = false;     // the directory is new and unseen (a staging directory):
                                     // files are written plainly instead of one by one atomically
};
// Writes every type's graphic (PNG) and descriptor (template rows with the overrides) into the
// tile directory and the placements as the map file. Types whose files exist are overwritten.
// False with the file that failed in `problem`.
bool WriteTiledImport(const TiledMap& map, const TiledImportTarget& target, std::string& problem);

// tasko --import-tiled MAP DIR: reads the map, then writes a new world into `directory` (new
// or empty) that plays it as area 0. The world is written into a temporary directory beside
// `directory` and moved into place at the end, so on any failure nothing is left. `notes` gets
// the features that were left out.
bool ImportTiledWorld(const std::string& mapPath, const std::string& directory,
                      std::vector<std::string>& notes, std::string& problem);

}  // namespace wf
