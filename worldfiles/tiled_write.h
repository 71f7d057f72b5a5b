// Writing a map as a Tiled map (TMX): one embedded image-collection tileset holding the tile
// types with their descriptor values as properties, one object layer per used layer.
#pragma once
#include <string>
#include <vector>

#include "worldfiles/descriptor.h"
#include "worldfiles/mapfile.h"

namespace wf {

// Map property that marks a map written here; layer property holding the layer number; object
// property holding the record's library index; tile property naming a type that has no graphic.
inline constexpr const char* kTiledExportProperty = "taskoExport";
inline constexpr const char* kTiledLayerProperty = "taskoLayer";
inline constexpr const char* kTiledLibraryIndexProperty = "taskoLibraryIndex";
inline constexpr const char* kTiledNameProperty = "taskoName";

// One tile of the tileset.
struct TiledExportTile {
    std::string name;              // the tile type's name
    std::string imageSource;       // path from the map file's directory, "/" separated; "" for none
    int imageWidth = 0, imageHeight = 0;      // pixels of the image
    std::vector<DescriptorRow> properties;    // descriptor pairs, each key once, in file order
};

// What goes into the TMX file. Record names that no type carries are refused by TiledMapText.
struct TiledMapDocument {
    int gridWidth = 32, gridHeight = 32;      // Tiled's grid cell, pixels
    std::vector<TiledExportTile> types;         // tile ids 0.. in this order
    std::vector<BuilderMapRecord> records;    // in map file order: objects get ids 1.. in it
};

// The TMX text (UTF-8, LF line ends; the file is written with CR LF). Layers come in rising layer number; each object is a tile
// object whose y is its bottom edge, as Tiled has it. Empty when a record names no type.
std::string TiledMapText(const TiledMapDocument& document);

// The tile library's names: the graphics of `directory` whose name holds `extension`, cut
// before it, whose descriptor (name + ".dll") opens, in listing order.
std::vector<std::string> TileDirectoryNames(const std::string& directory, const std::string& extension);

// `target` as a path from the directory `from` (both taken from the working directory when
// relative), "/" separated; `target` itself, made absolute, when no relative path leads there.
std::string RelativePath(const std::string& from, const std::string& target);

// Where the tiles of the exported map come from.
struct TiledExportWorld {
    std::string tileDirectory;     // graphics and descriptors, ending with a separator
    std::string graphicsExtension; // with its dot, e.g. ".png"
    int gridSize = 0;              // Tiled's grid cell, pixels; 32 when not positive
};

struct TiledExportResult {
    bool written = false;
    std::string problem;                    // one line when nothing was written
    int types = 0, objects = 0, layers = 0;
    int keyedCopies = 0;                    // graphics written as copies with white transparent
    std::vector<std::string> missingTypes;  // names the map holds that have no graphic
};

// The image directory of an export to `mapPath`: its name without ".tmx" and "-images".
std::string TiledImageDirectory(const std::string& mapPath);

// Writes the map (map file lines) as `mapPath`. Every tile type of the library goes into the
// tileset, its graphic referenced where it is; a graphic holding pure white (drawn transparent by
// both programs, but opaque by Tiled) is copied with white made transparent into the image
// directory. A name the library lacks, or whose graphic does not decode, becomes a tile without
// an image that keeps its name in a property. The TMX file is written through a temporary, so a
// failed write leaves an older file whole.
TiledExportResult ExportTiledMap(const TiledExportWorld& world, const std::vector<std::string>& mapLines,
                                 const std::string& mapPath);

}  // namespace wf
