// The process in a browser page: one process (emscripten's fixed number), no program files,
// and the program's own directory the root of the page's file system.
#include <unistd.h>

#include "platform/core/system.h"
#include "platform/process.h"

namespace plat {
namespace sys {

long ProcessNumber() { return static_cast<long>(getpid()); }
// Only this page's process exists.
bool ProcessRuns(long number) { return number == ProcessNumber(); }
bool IsExecutableFile(const std::string&) { return false; }
std::vector<std::string> ProgramFileNames(const std::string& name) { return {name}; }
char SearchPathSeparator() { return ':'; }

}  // namespace sys

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::string OwnProgramDirectory() { return "/"; }

}  // namespace plat
