// BUILDERTILEMENU: the tile menu in the tile window: the thumbnails of all tile types and
// choosing one by clicking it.
#pragma once

// Fills the tile window's client area with grey and draws each tile type's thumbnail at 48 x 48
// with its number, row by row; records every type's thumbnail position.
void DrawThumbnails();
// Selects the tile type whose thumbnail holds the pointer (edges excluded), as SelectTileType.
void SelectTileAtPointer();
// Selects tile type `index`, titles the tile window "Tile:<n>MAP: <map file>" and loads the
// type's descriptor into the descriptor window. An index outside the library does nothing.
void SelectTileType(int index);
