// BUILDERDESCRIPTOR: tile descriptors in the builder: reading one into the tile library, the
// descriptor window's rows (from the default descriptor or a tile's file) and saving them.
#pragma once
#include <string>

// Reads the descriptor of tile type `index` into its entry; sets the usable flag when the file
// is missing or holds a key the builder does not know.
void ReadTileDescriptor(int index);
// Writes the descriptor window's rows and the trailer to `path` (atomically), then re-reads the
// descriptor of the selected tile type. A file that cannot be written: message 124, nothing changes.
void SaveTileDescriptor(const std::string& path);

// (Re)builds the rows of the descriptor window from the default descriptor: key field 500 + n,
// value field 1000 + n, 16 rows per column, then the buttons SET_DNA (100) and KILL_DNA (101).
// Without the default descriptor: message 119 and 97 placeholder rows.
void BuildDescriptorRows();
// Rebuilds the rows, titles the window, then fills rows by position from basePath + ".dll".
void LoadDescriptorIntoWindow(const std::string& basePath);
// "SET DNA": saves the rows as the selected tile type's descriptor.
void SetTileDna();
// "KILL DNA": shows the default descriptor's rows again; nothing is written.
void ResetTileDna();
