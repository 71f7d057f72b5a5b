// Sprite sheets: cutting a picture into cells and naming them. The column and row counts follow
// Tiled's rule for a one-image tileset, so the ids match the ones a Tiled map uses.
#include "worldfiles/spritesheet.h"

#include <algorithm>
#include <cstdint>

#include "worldfiles/convert.h"

namespace wf {

namespace {

// Whole cells of `size` pixels with `spacing` between them after a margin, in `extent` pixels.
int CellsAlong(int size, int margin, int spacing, int extent) {
    if (size <= 0 || margin < 0 || spacing < 0 || extent <= 0) return 0;
    const int64_t room = static_cast<int64_t>(extent) - margin + spacing;
    if (room < static_cast<int64_t>(size) + spacing) return 0;
    return static_cast<int>(room / (static_cast<int64_t>(size) + spacing));
}

bool WhollyTransparent(const plat::Pixels& pixels) {
    for (size_t i = 3; i < pixels.rgba.size(); i += 4) {
        if (pixels.rgba[i] != 0) return false;
    }
    return true;
}

}  // namespace

int SheetColumns(const SheetLayout& layout, int width) {
    return CellsAlong(layout.tileWidth, layout.margin, layout.spacing, width);
}

int SheetRows(const SheetLayout& layout, int height) {
    return CellsAlong(layout.tileHeight, layout.margin, layout.spacing, height);
}

std::string SheetLayoutProblem(const SheetLayout& layout, int width, int height) {
    if (layout.tileWidth <= 0 || layout.tileHeight <= 0) {
        return "the tile width and height must be 1 pixel or more (they are " + IntText(layout.tileWidth) + " x " +
               IntText(layout.tileHeight) + ")";
    }
    if (layout.margin < 0 || layout.spacing < 0) return "the margin and the spacing cannot be negative";
    const int columns = SheetColumns(layout, width);
    const int rows = SheetRows(layout, height);
    if (columns == 0 || rows == 0) {
        return "not one whole " + IntText(layout.tileWidth) + " x " + IntText(layout.tileHeight) + " cell with a margin of " +
               IntText(layout.margin) + " fits into the picture of " + IntText(width) + " x " + IntText(height) +
               " pixels";
    }
    if (static_cast<int64_t>(columns) * rows > kMaxSheetCells) {
        return "the layout cuts " + IntText(static_cast<int64_t>(columns) * rows) + " cells (" + IntText(columns) + " x " +
               IntText(rows) + "), more than the " + IntText(kMaxSheetCells) + " one sheet may have";
    }
    return "";
}

std::string SheetTileName(const std::string& sheet, int id) { return sheet + "_" + IntText(id); }

std::vector<SheetCell> CutSheet(const plat::Pixels& picture, const SheetLayout& layout, const std::string& sheet) {
    std::vector<SheetCell> cells;
    if (!SheetLayoutProblem(layout, picture.width, picture.height).empty()) return cells;
    if (picture.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4) return cells;
    const int columns = SheetColumns(layout, picture.width);
    const int rows = SheetRows(layout, picture.height);
    const int w = layout.tileWidth;
    const int h = layout.tileHeight;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int x = layout.margin + column * (w + layout.spacing);
            const int y = layout.margin + row * (h + layout.spacing);
            SheetCell cell;
            cell.pixels.width = w;
            cell.pixels.height = h;
            cell.pixels.rgba.resize(static_cast<size_t>(w) * h * 4);
            for (int line = 0; line < h; ++line) {
                const uint8_t* from = picture.rgba.data() + (static_cast<size_t>(y + line) * picture.width + x) * 4;
                std::copy(from, from + static_cast<size_t>(w) * 4, cell.pixels.rgba.begin() + static_cast<size_t>(line) * w * 4);
            }
            if (layout.transparentColour >= 0) {
                const int c = layout.transparentColour;
                plat::MakeColourTransparent(cell.pixels, (c >> 16) & 0xff, (c >> 8) & 0xff, c & 0xff);
            }
            if (WhollyTransparent(cell.pixels)) continue;
            cell.id = row * columns + column;
            cell.column = column;
            cell.row = row;
            cell.x = x;
            cell.y = y;
            cell.name = SheetTileName(sheet, cell.id);
            cells.push_back(std::move(cell));
        }
    }
    return cells;
}

}  // namespace wf
