// Other programs: finding one beside this program's binary or on the search path, starting it
// in a directory without waiting for it, asking whether it still runs, bringing its window forward.
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
// command line, since argv holds them in the ANSI code page; and a windowed program started from
// a console, which Windows gives no output streams, writes its standard output and error output
// (help, version, usage errors) to that console. Backend-neutral (platform_core).
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
// Brings the window of a started program to the front and gives it the keyboard: through the
// window manager when there is one, directly otherwise. False when the program shows no window
// (yet). The windowed backend of the map builder provides it; the headless one records the call.
bool BringProgramToFront(const Process& process);

}  // namespace plat
