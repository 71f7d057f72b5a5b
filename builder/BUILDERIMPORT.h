// BUILDERIMPORT: "Import Tile...": a picture of any format the codecs read becomes a tile type of
// its own (graphic and descriptor in the tile directory), shown at once with the map kept.
#pragma once
#include <string>
#include <vector>

#include "worldfiles/descriptor.h"

// True when the graphics extension (GFXCODEC) is PNG's, whatever its case: imports write PNG.
bool IsPngExtension(const std::string& extension);
// The default descriptor's pairs as descriptor rows (its ";" trailer left out); false when it
// cannot be read. Imported tile types start from them.
bool TemplateRows(std::vector<wf::DescriptorRow>& rows);
// The tile type name a picture gives: its file name without the directory and the last extension.
std::string TileNameOfPicture(const std::string& picturePath);
// Why `name` cannot name a tile in this world's tile directory; "" when it can.
std::string TileNameProblem(const std::string& name);
// Imports the picture: writes it as GFXPATH + name + GFXCODEC (asking first when that graphic
// exists), writes the descriptor from the default descriptor when the tile has none (an existing
// one is kept), refreshes the tile library keeping the map and selects the new type with its
// descriptor shown. A name the tile directory cannot hold, a world whose graphics are not PNG, a
// missing default descriptor or a file the codecs cannot read is refused before anything is
// written; every failure shows a box saying what went wrong. True when the tile was imported.
bool ImportTile(const std::string& picturePath);
// The menu item: the open-file requester, then ImportTile with the chosen file.
void ImportTileCommand();
