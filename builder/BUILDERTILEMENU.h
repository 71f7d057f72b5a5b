// BUILDERTILEMENU: the tile menu in the tile window: the thumbnails of all tile types.
#pragma once

// Fills the tile window's client area with grey and draws each tile type's thumbnail at 48 x 48
// with its number, row by row; records every type's thumbnail position.
void DrawThumbnails();
