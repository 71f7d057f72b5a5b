// BUILDERTILED: Tiled maps in the builder: "Export Tiled Map..." writes the map being edited as a
// TMX map with its tileset, and plom --export-tiled does the same for a map file without a window.
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
