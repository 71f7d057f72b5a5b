// BUILDERPLAY: playing the map being edited in the engine: the scratch map file of the world,
// finding tasko and starting it there without waiting for it; exporting it as a web page.
#pragma once
#include <string>

// The engine program's file name, looked up beside plom's own binary, then on the search path.
constexpr const char* kEngineProgram = "tasko";

// The scratch map F5 writes: "USER/_PLAYMAP" below the start directory (never the map file
// being edited, never an undo snapshot).
std::string PlayMapPath();
// F5: writes the map to the scratch file; then brings the engine started earlier to the front
// while it still runs (it reloads the changed file itself), or else starts the engine in the
// start directory with "--map" and that file. A map that cannot be written, an engine that
// cannot be found or started: the "MAP BUILDER ERROR:" box says so.
void PlayMapInEngine();
// "Export for Web...": asks for a folder (new or empty) and writes the world being edited there as
// a web page, with the map being edited as the start area's map, beside the web runtime found in
// `runtimeDirectory`. A missing runtime, a refused folder or a failed write: the
// "MAP BUILDER ERROR:" box says so; otherwise a box says where the page is.
void ExportForWebCommand(const std::string& runtimeDirectory);
// Collects the engine started by F5 once it has ended (called every loop turn), so an ended
// engine does not linger as a zombie process while plom waits for events.
void NoteEngineEnd();
