// Processes on POSIX systems: this program's own directory (from /proc/self/exe), the process
// number and whether another one still runs, and what counts as a program file.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/core/system.h"
#include "platform/process.h"

namespace plat {

namespace sys {

long ProcessNumber() { return static_cast<long>(getpid()); }

bool ProcessRuns(long number) { return kill(static_cast<pid_t>(number), 0) == 0 || errno != ESRCH; }

bool IsExecutableFile(const std::string& path) {
    return !path.empty() && IsPlainFile(path) && access(path.c_str(), X_OK) == 0;
}

std::vector<std::string> ProgramFileNames(const std::string& name) { return {name}; }

char SearchPathSeparator() { return ':'; }

}  // namespace sys

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::string OwnProgramDirectory() {
    std::string buffer(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) return "";
    buffer.resize(static_cast<size_t>(length));
    const size_t slash = buffer.rfind('/');
    return slash == std::string::npos ? "" : buffer.substr(0, slash + 1);
}

}  // namespace plat
