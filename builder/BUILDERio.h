// BUILDERio: map files in the builder: writing and reading the placed-tile table, clearing the
// map, the undo history of numbered snapshot files, and the open/save/redraw/new map commands.
#pragma once
#include <string>
#include <vector>

// Writes the active tiles (map file layout, atomically); false when the file could not be written.
bool WriteMapFile(const std::string& path);
// The lines WriteMapFile writes.
std::vector<std::string> EditedMapLines();
// Clears the map (rebuilding the tile library), then reads the file; a missing file leaves an
// empty map. A name not in the library keeps its name and values (drawn with the last type whose
// graphic loaded); one line per such name, with its tile count, goes to the error output.
// Redraws the main window.
void ReadMapFile(const std::string& path);
// Empties the placed tiles, releases and rebuilds the tile library.
void ClearMap();
// "Refresh": rebuilds the tile library from the tile directory, keeping the map and the undo
// history. Every tile is bound to the new library by its name (new graphics show, changed ones
// are drawn anew); the tiles of a type that has gone keep their name and library index, as
// unknown names of a map do. The selected type stays selected while it exists. Redraws the
// thumbnails and the main window.
void RefreshTileLibrary();

// The log directory's snapshot file of number `number` ("UNDO_" + number).
std::string UndoSnapshotPath(int number);
// Writes snapshot `undoCounter` and advances the history.
void TakeUndoSnapshot();
// One snapshot back (stops at 0).
void StepUndo();
// One snapshot forward (stops at maxUndo).
void StepRedo();

// "MAP *Load*", "MAP *Save*", "Redraw MAP" and "New MAP".
void OpenMapCommand();
void SaveMapCommand();
void RedrawMapCommand();
void NewMapCommand();
