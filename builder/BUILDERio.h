// BUILDERio: map files in the builder: writing and reading the placed-tile table, clearing the
// map, the undo history of numbered snapshot files, and the open/save/redraw/new map commands.
#pragma once
#include <string>

// Writes the active tiles (map file layout, atomically); false when the file could not be written.
bool WriteMapFile(const std::string& path);
// Clears the map (rebuilding the tile library), then reads the file; a missing file leaves an
// empty map. A name not in the library keeps its name and values (drawn with the last type whose
// graphic loaded); one line per such name, with its tile count, goes to the error output.
// Redraws the main window.
void ReadMapFile(const std::string& path);
// Empties the placed tiles, releases and rebuilds the tile library.
void ClearMap();

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
