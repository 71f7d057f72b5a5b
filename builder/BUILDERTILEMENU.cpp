// BUILDERTILEMENU: drawing the thumbnails of the tile types into the tile window. The drawing
// is not kept by the window; it is redone after Tab, "Refresh" and every repaint request. When
// the thumbnails need more rows than the window shows, the wheel and a scroll bar drawn at the
// window's right edge move the rows; the cells keep their size and order.
#include "builder/BUILDERTILEMENU.h"

#include <algorithm>

#include "builder/BUILDERDESCRIPTOR.h"
#include "builder/BUILDERENV.h"
#include "platform/fault.h"
#include "platform/windows.h"
#include "worldfiles/convert.h"

namespace {

constexpr int kThumbSize = 48;   // pixels
constexpr int kThumbStep = 50;   // pixels from one cell to the next
constexpr int kRowMargin = 64;   // a new row starts when x passes client width - this
constexpr int kBarWidth = 12;    // pixels: the scroll bar, inside the row margin
constexpr int kBarThumbLeast = 16;  // pixels: the shortest the bar's thumb gets
constexpr int kWheelRows = 2;    // rows per wheel notch

// The rows' geometry of the tile window as it is now.
struct ThumbGrid {
    int width = 0, height = 0;  // pixels: client area
    int perRow = 1;             // cells in one row
    int rows = 0;               // rows all cells take
    int shownRows = 1;          // whole rows the client area holds (at least 1)
    int lastScrollRow = 0;      // highest first row that still fills the window
};

ThumbGrid CurrentGrid() {
    ThumbGrid grid;
    grid.width = plat::WindowClientWidth(kTileWindow);
    grid.height = plat::WindowClientHeight(kTileWindow);
    grid.perRow = grid.width < kRowMargin ? 1 : (grid.width - kRowMargin) / kThumbStep + 1;
    int cells = 0;
    for (const TileType& type : gBuilder.tileLibrary) cells += type.thumbnail.Valid() ? 1 : 0;
    grid.rows = (cells + grid.perRow - 1) / grid.perRow;
    grid.shownRows = std::max(1, grid.height / kThumbStep);
    grid.lastScrollRow = std::max(0, grid.rows - grid.shownRows);
    return grid;
}

bool HasScrollBar(const ThumbGrid& grid) { return grid.lastScrollRow > 0; }

// The bar's thumb: its height and its top for the first row shown.
int BarThumbHeight(const ThumbGrid& grid) {
    return std::min(grid.height, std::max(kBarThumbLeast, grid.height * grid.shownRows / std::max(1, grid.rows)));
}
int BarThumbTop(const ThumbGrid& grid, int scrollRow) {
    return (grid.height - BarThumbHeight(grid)) * scrollRow / std::max(1, grid.lastScrollRow);
}

void DrawScrollBar(const ThumbGrid& grid) {
    if (!HasScrollBar(grid)) return;
    const int left = grid.width - kBarWidth;
    plat::FillWindowRect(kTileWindow, left, 0, kBarWidth, grid.height, plat::Colour{150, 150, 150});
    plat::FillWindowRect(kTileWindow, left + 2, BarThumbTop(grid, gBuilder.tileScrollRow), kBarWidth - 4,
                         BarThumbHeight(grid), plat::Colour{60, 60, 60});
}

// Moves the first row shown to `row` (kept within the rows) and draws again when it changed.
void ScrollTo(int row) {
    const ThumbGrid grid = CurrentGrid();
    const int clamped = std::clamp(row, 0, grid.lastScrollRow);
    if (clamped == gBuilder.tileScrollRow) return;
    gBuilder.tileScrollRow = clamped;
    DrawThumbnails();
}

// The cell row of tile type `index`; -1 for a type without a thumbnail.
int RowOfType(int index, int perRow) {
    int cell = 0;
    for (int i = 0; i < index; ++i) cell += gBuilder.tileLibrary[i].thumbnail.Valid() ? 1 : 0;
    return gBuilder.tileLibrary[index].thumbnail.Valid() ? cell / perRow : -1;
}

}  // namespace

void DrawThumbnails() {
    PLAT_MARK("BUILDERTILEMENU");
    if (!plat::WindowExists(kTileWindow)) return;
    const ThumbGrid grid = CurrentGrid();
    gBuilder.tileScrollRow = std::clamp(gBuilder.tileScrollRow, 0, grid.lastScrollRow);
    plat::FillWindowRect(kTileWindow, 0, 0, grid.width, grid.height, plat::Colour{200, 200, 200});
    int cell = 0;
    for (size_t i = 0; i < gBuilder.tileLibrary.size(); ++i) {
        TileType& type = gBuilder.tileLibrary[i];
        const int x = cell % grid.perRow * kThumbStep;
        const int y = (cell / grid.perRow - gBuilder.tileScrollRow) * kThumbStep;
        type.thumbX = x;
        type.thumbY = y;
        if (!type.thumbnail.Valid()) continue;  // keeps the position but takes no cell
        cell += 1;
        if (y + kThumbSize <= 0 || y >= grid.height) continue;  // scrolled out of the window
        plat::DrawWindowImage(kTileWindow, type.thumbnail, x, y, kThumbSize, kThumbSize);
        plat::DrawWindowText(kTileWindow, x, y, wf::IntText(static_cast<int64_t>(i)), plat::Colour{0, 255, 0},
                             plat::Colour{0, 0, 0});
    }
    DrawScrollBar(grid);
}

void ScrollThumbnails(int notches) {
    PLAT_MARK("BUILDERTILEMENU");
    if (notches == 0 || !plat::WindowExists(kTileWindow)) return;
    ScrollTo(gBuilder.tileScrollRow - notches * kWheelRows);  // a notch up (positive) shows earlier rows
}

void ShowTileTypeThumbnail(int index) {
    if (index < 0 || index >= static_cast<int>(gBuilder.tileLibrary.size()) || !plat::WindowExists(kTileWindow)) return;
    const ThumbGrid grid = CurrentGrid();
    const int row = RowOfType(index, grid.perRow);
    if (row < 0) return;
    if (row < gBuilder.tileScrollRow) {
        ScrollTo(row);
    } else if (row >= gBuilder.tileScrollRow + grid.shownRows) {
        ScrollTo(row - grid.shownRows + 1);
    }
}

void SelectTileAtPointer() {
    PLAT_MARK("BUILDERTILEMENU");
    int mx = -1, my = -1;
    if (!plat::PointerInWindow(kTileWindow, mx, my)) return;
    const ThumbGrid grid = CurrentGrid();
    if (HasScrollBar(grid) && mx >= grid.width - kBarWidth) {
        // A click on the bar brings the middle of its thumb to the pointer.
        const int travel = grid.height - BarThumbHeight(grid);
        const int top = my - BarThumbHeight(grid) / 2;
        ScrollTo(travel <= 0 ? 0 : (top * grid.lastScrollRow + travel / 2) / travel);
        return;
    }
    // Every type is tested; when cells overlap the last hit wins.
    for (size_t i = 0; i < gBuilder.tileLibrary.size(); ++i) {
        const TileType& type = gBuilder.tileLibrary[i];
        if (!type.thumbnail.Valid()) continue;
        if (!(type.thumbX < mx && mx < type.thumbX + kThumbSize && type.thumbY < my && my < type.thumbY + kThumbSize)) {
            continue;
        }
        SelectTileType(static_cast<int>(i));
    }
}

void SelectTileType(int index) {
    if (index < 0 || index >= static_cast<int>(gBuilder.tileLibrary.size())) return;
    const TileType& type = gBuilder.tileLibrary[index];
    gBuilder.actualTile = index;
    gBuilder.descriptorTileName = type.name;
    plat::SetWindowTitle(kTileWindow, "Tile:" + wf::IntText(index) + "MAP: " + gBuilder.currentMapFile);
    LoadDescriptorIntoWindow(gBuilderSettings.GFXPATH + type.name);
    ShowTileTypeThumbnail(index);
}
