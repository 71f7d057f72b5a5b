// BUILDERINIODA: the builder's tile library, built from the graphics directory: every graphic
// with a descriptor beside it, with sprite, thumbnail, size and descriptor values.
#pragma once

// Scans GFXPATH, loads every tile type's graphic and descriptor, selects the last type and
// gives every type its graphic's size. Releases the previous library first.
void BuildTileLibrary();
// Frees every sprite and image of the library and empties it.
void ReleaseTileLibrary();
