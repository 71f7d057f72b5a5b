// Other programs: finding one beside this program's binary or on the search path, starting it
// in a directory without waiting for it, and asking whether it still runs.
#pragma once
#include <string>
#include <vector>

#include "platform/handles.h"

namespace plat {

// The directory of this program's own binary, ending with a separator; "" when unknown.
// Backend-neutral (platform_core).
std::string OwnProgramDirectory();
// The program file `name`: beside this program's own binary first, then in the directories of
// the search path (PATH, in its order); only executable plain files count. "" when none is found.
// Backend-neutral (platform_core).
std::string FindProgram(const std::string& name);
// The command line's arguments (argv[1] ...) in UTF-8. On Windows they are read from the wide
// command line, since argv holds them in the ANSI code page. Backend-neutral (platform_core).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Starts the program file `path` with `arguments` (argv[1]...), its working directory
// `directory`, and returns at once. An invalid handle when it could not be started (no such
// file, not executable, directory missing). Each backend provides it; the headless one
// records the request.
Process StartProgram(const std::string& path, const std::vector<std::string>& arguments,
                     const std::string& directory);
// True while the started program runs. An ended program is reaped here and the handle made
// invalid; an invalid handle is not running.
bool ProgramRunning(Process& process);

}  // namespace plat
