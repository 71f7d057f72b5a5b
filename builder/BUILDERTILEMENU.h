// BUILDERTILEMENU: the tile menu in the tile window: the thumbnails of all tile types and
// choosing one by clicking it.
#pragma once

// Fills the tile window's client area with grey and draws each tile type's thumbnail at 48 x 48
// with its number, row by row from the first row shown (the scroll row); records every type's
// thumbnail position (rows above the window get negative ones). When the rows do not all fit, a
// scroll bar is drawn at the right edge, in the room the rows leave free.
void DrawThumbnails();
// Moves the rows shown by the wheel's notches (positive: towards the first row), two rows a
// notch, kept between the first row and the last one that still fills the window.
void ScrollThumbnails(int notches);
// Scrolls the least that shows the row of tile type `index`'s thumbnail.
void ShowTileTypeThumbnail(int index);
// Selects the tile type whose thumbnail holds the pointer (edges excluded), as SelectTileType.
// A click on the scroll bar scrolls instead: the middle of the bar's thumb goes to the pointer.
void SelectTileAtPointer();
// Selects tile type `index`, titles the tile window "Tile:<n>MAP: <map file>" and loads the
// type's descriptor into the descriptor window, scrolling its thumbnail into view. An index
// outside the library does nothing.
void SelectTileType(int index);
