// The cell layout of a Tiled tileset file (.tsx) made from one image: what a sprite-sheet import
// needs to cut that image as Tiled does.
#pragma once
#include <string>

namespace wf {

struct TsxSheet {
    std::string image;                  // the image's source as written (relative to the .tsx)
    int tileWidth = 0, tileHeight = 0;  // pixels
    int margin = 0, spacing = 0;        // pixels
    int columns = 0, tileCount = 0;     // as the file states them; 0 when absent
};

// Reads the tileset's layout; false when the file is not a Tiled tileset of one image.
bool ReadTsxSheet(const std::string& path, TsxSheet& out);

}  // namespace wf
