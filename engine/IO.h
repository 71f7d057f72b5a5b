// IO: area loading: the map file into scaled world objects, animations, view origin, grid, sound.
#pragma once
#include <string>

// Map file name of an area: SIMCORE + "LVL" + n + ".dll"; the start area (APPENTRY) plays the
// map given on the command line instead, when there is one.
std::string MapFileName(int area);
// Sound file name of an area: SOUNDPATH + "#L" + n + SOUNDCODEC.
std::string AreaSoundName(int area);
// Loads the requested area: its map, then its looping sound (a missing sound is a warning).
void LoadArea();
// Looks at the loaded area's map file every 250 ms of the clock; when its modification time
// has changed, loads the area anew (the same steps as LoadArea, the world built afresh). A file
// that cannot be read or is not a whole map leaves the world as it is and writes a warning.
void ReloadChangedMap();
// Clears the world and builds it from the map file, layer 0 to 8.
void LoadMap(const std::string& path);
// Frees every object's drawables and the area's frame images and zeroes the objects.
void ClearWorld();
