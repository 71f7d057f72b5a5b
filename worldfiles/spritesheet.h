// Sprite sheets: one picture holding a grid of tiles, cut into cells by tile size, margin and
// spacing as Tiled cuts a one-image tileset, each cell named after the sheet and its tile id.
#pragma once
#include <string>
#include <vector>

#include "platform/images.h"

namespace wf {

// The cell layout of a sheet, in pixels. Cells start `margin` pixels from the top-left corner
// and are `spacing` pixels apart; a part at the right or bottom edge too small for a whole cell
// is left out.
struct SheetLayout {
    int tileWidth = 0, tileHeight = 0;  // pixels, 1 and up
    int margin = 0;                     // pixels, 0 and up
    int spacing = 0;                    // pixels, 0 and up
    int transparentColour = -1;         // 0xRRGGBB: pixels of exactly this colour are made
                                        // transparent (Tiled's "trans" colour); -1 for none
};

// The most cells one sheet may have (the tile types of one import).
constexpr int kMaxSheetCells = 16384;

// Columns and rows of whole cells that fit into a picture of width x height pixels; 0 when the
// layout's sizes are not positive or not even one cell fits.
int SheetColumns(const SheetLayout& layout, int width);
int SheetRows(const SheetLayout& layout, int height);
// Why the layout cannot cut a picture of width x height pixels (sizes of 0, a negative margin or
// spacing, no whole cell inside the picture, more than kMaxSheetCells cells); "" when it can.
std::string SheetLayoutProblem(const SheetLayout& layout, int width, int height);

// The tile type name of tile `id` of the sheet named `sheet`: "<sheet>_<id>".
std::string SheetTileName(const std::string& sheet, int id);

// One cell that is not wholly transparent.
struct SheetCell {
    int id = 0;             // Tiled's tile id: cells counted row by row from 0, empty ones included
    int column = 0, row = 0;
    int x = 0, y = 0;       // pixels: the cell's top-left in the picture
    std::string name;       // SheetTileName(sheet, id)
    plat::Pixels pixels;    // the cell's pixels, tileWidth x tileHeight
};
// Cuts the picture into its cells (the transparent colour, if any, made transparent) and keeps
// those with at least one pixel whose alpha is not 0, in id order. Nothing for a layout SheetLayoutProblem refuses.
std::vector<SheetCell> CutSheet(const plat::Pixels& picture, const SheetLayout& layout, const std::string& sheet);

}  // namespace wf
