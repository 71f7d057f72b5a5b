// Finding programs: beside this program's own binary first, then along PATH. The system's side
// (posix/process.cpp, win32/process.cpp) says what a program file is; starting programs is the
// backends' (realtime: the system's programs.cpp; headless: recorded).
#include "platform/process.h"

#include <algorithm>
#include <cstdlib>

#include "platform/core/system.h"

namespace plat {
namespace {

// The first of the names a program `base` may have that is a program file; "" when none is.
std::string ProgramFile(const std::string& base) {
    for (const std::string& file : sys::ProgramFileNames(base)) {
        if (sys::IsExecutableFile(file)) return file;
    }
    return "";
}

}  // namespace

std::string FindProgram(const std::string& name) {
    if (name.empty()) return "";
    // A name with a directory part is taken as it is.
    if (sys::RootLength(name) > 0 || std::any_of(name.begin(), name.end(), sys::IsSeparator)) return ProgramFile(name);
    const std::string own = OwnProgramDirectory();
    if (!own.empty()) {
        if (std::string found = ProgramFile(own + name); !found.empty()) return found;
    }
    const char* searchPath = std::getenv("PATH");
    const std::string path = searchPath != nullptr ? searchPath : "";
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(sys::SearchPathSeparator(), start);
        if (end == std::string::npos) end = path.size();
        // An empty entry names the working directory.
        const std::string directory = end > start ? path.substr(start, end - start) : std::string(".");
        const bool separated = sys::IsSeparator(directory.back());
        if (std::string found = ProgramFile(separated ? directory + name : directory + "/" + name); !found.empty())
            return found;
        start = end + 1;
    }
    return "";
}

}  // namespace plat
