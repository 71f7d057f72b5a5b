// GFXCORE: the tile library: every graphic of the tile directory with its descriptor.
#pragma once
#include <string>

// Lists GFX for "*" + GFXCODEC + "*", loads each graphic (pure white made transparent) and its
// descriptor. The last tile index becomes the highest index whose graphic loaded.
void LoadTileLibrary();
// The tile kind for a map record's name: the first exact match among indices 0 .. last tile index,
// else the last tile index; -1 when no tile graphic loaded at all.
int FindTile(const std::string& name);
