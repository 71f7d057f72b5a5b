// BUILDERTILED: Tiled maps in the builder: "Export Tiled Map..." writes the map being edited as a
// TMX map with its tileset, plom --export-tiled does the same for a map file without a window,
// and "Import Tiled Map..." brings a TMX map's tiles and map into the world being edited.
#pragma once
#include <ostream>
#include <string>

// Writes the map being edited to `tmxPath` from the tile library's directory; a box says what
// was written (and which names have no graphic) or why nothing was. True when it was written.
bool ExportTiledMap(const std::string& tmxPath);
// The menu item: the save-file requester, then ExportTiledMap with the chosen file.
void ExportTiledMapCommand();
// plom --export-tiled: in the world directory (the working directory), reads the configuration
// chain and exports `mapFile` ("" for the start-up map "1") to `tmxPath`, one line on `out`
// saying what was written, problems on `err`. Returns the exit code: 0 written, 1 not.
int ExportTiledMapFile(const std::string& tmxPath, const std::string& mapFile, std::ostream& out,
                       std::ostream& err);

// The scratch map file an import is written to before it is read as the edited map: the log
// directory's "_TILEDMAP".
std::string TiledImportMapPath();
// Reads the TMX map, asks once before replacing the tile types whose graphics exist, writes its
// tile types into the tile directory (graphics as PNG, descriptors from the default descriptor
// with the map's values) and its map into TiledImportMapPath(), then reads that map as the map
// being edited: the library rebuilt, the undo history kept, the import one more snapshot. A map
// that cannot be read, a world whose graphics are not PNG, a name the tile directory cannot hold
// or a failed write is refused with a box, the edited map untouched. True when imported.
bool ImportTiledMap(const std::string& tmxPath);
// The menu item: the open-file requester, then ImportTiledMap with the chosen file.
void ImportTiledMapCommand();
