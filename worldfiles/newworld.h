// A new world of one's own: the smallest world both programs start on (engine configuration,
// the builder's configuration chain, floor, wall, player and start marker, a walled start map).
#pragma once
#include <string>

namespace wf {

// Writes the new world into `directory`, which is made when missing and must otherwise be an
// empty directory. False with the reason in `problem` when the directory is refused (then
// nothing is written there) or a file cannot be written.
bool WriteNewWorld(const std::string& directory, std::string& problem);

// The settings that differ between a new world and one made around an imported map.
struct WorldSettings {
    bool starterTiles = true;      // floor, wall, player, start marker and their walled start map
    int maxObjects = 2000;         // MAXOBJECTS
    int maxTiles = 4000;           // the builder's MAXTILES
    bool userScroll = false;       // USRSCROLL: the cursor keys move the view
    bool dynamicScroll = true;     // DYNAMICSCROLL: the view follows the player
    std::string version = "NEW WORLD 1";
};
// Writes the configuration files, the folders and the template descriptor into `root` (ending
// with '/'), and with starterTiles the starter graphics and maps. False with the file in `problem`.
bool WriteWorldFiles(const std::string& root, const WorldSettings& settings, std::string& problem);

}  // namespace wf
