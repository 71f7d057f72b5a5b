// A new world of one's own: the smallest world both programs start on (engine configuration,
// the builder's configuration chain, floor, wall, player and start marker, a walled start map).
#pragma once
#include <string>

namespace wf {

// Writes the new world into `directory`, which is made when missing and must otherwise be an
// empty directory. False with the reason in `problem` when the directory is refused (then
// nothing is written there) or a file cannot be written.
bool WriteNewWorld(const std::string& directory, std::string& problem);

}  // namespace wf
