// BUILDERSHEET: "Import Tileset...": a sprite sheet becomes one tile type per cell that is not
// wholly transparent, named <sheet>_<tile id>; its layout is entered in (or read from a Tiled
// tileset into) the layout window, which shows the sheet's grid before anything is written.
#pragma once
#include <string>

#include "platform/windows.h"
#include "worldfiles/spritesheet.h"

// Control numbers of the layout window (kSheetWindow).
constexpr int kSheetWidthField = 1;
constexpr int kSheetHeightField = 2;
constexpr int kSheetMarginField = 3;
constexpr int kSheetSpacingField = 4;
constexpr int kSheetGridButton = 5;
constexpr int kSheetImportButton = 6;
constexpr int kSheetCancelButton = 7;

// Imports the sheet with the layout: every cell not wholly transparent is written as a PNG graphic
// GFXPATH + <sheet>_<id> + GFXCODEC, with a descriptor from the default descriptor when it has
// none (an existing one is kept); when some of these names exist already, one question asks
// whether to replace their graphics. Then the tile library is rebuilt keeping the map and the
// undo history, and the first new type is selected. A picture that does not decode, a layout
// that does not fit it (sizes of 0, no whole cell, more cells than one sheet may have), a sheet
// without a visible cell, names the tile directory cannot hold, a world whose graphics are not
// PNG or a missing default descriptor is refused with a box before anything is written. True
// when the tiles were imported.
bool ImportSheet(const std::string& picturePath, const wf::SheetLayout& layout);

// The layout of a Tiled tileset (.tsx) in the picture's directory whose image is the picture,
// the first in name order, with its transparent colour; false when there is none.
bool FindSheetTileset(const std::string& picturePath, wf::SheetLayout& layout);

// Opens the layout window for the picture, its fields filled from a Tiled tileset beside it or
// with 32 x 32 cells, no margin and no spacing, and the grid drawn over the picture. A picture
// that does not decode gets a box and no window. A window already open is closed first.
void OpenSheetWindow(const std::string& picturePath);
// The layout the window's fields hold now, with the transparent colour of the tileset it came
// from; false (with `problem` saying which field and why) when
// one is not a whole number of 0 or more.
bool SheetWindowLayout(wf::SheetLayout& layout, std::string& problem);
// Events of the layout window: "Grid" draws the grid of the fields' layout, "Import" imports
// with it (the window closes once the tiles are in), "Cancel" and the close box close it
// without writing anything, a repaint draws it again.
void HandleSheetWindowEvent(const plat::WindowEvent& event);
// Closes the layout window and frees its picture; nothing when it is not open.
void CloseSheetWindow();

// The menu item: the open-file requester, then the layout window for the chosen picture.
void ImportTilesetCommand();
