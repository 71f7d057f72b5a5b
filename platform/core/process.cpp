// Finding programs: this program's own directory (from /proc/self/exe) and the lookup beside
// it, then along PATH. Starting them is the backends' (realtime: fork and exec; headless: recorded).
#include "platform/process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace plat {
namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string OwnProgramDirectory() {
    std::string buffer(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) return "";
    buffer.resize(static_cast<size_t>(length));
    const size_t slash = buffer.rfind('/');
    return slash == std::string::npos ? "" : buffer.substr(0, slash + 1);
}

std::string FindProgram(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : "";
    const std::string own = OwnProgramDirectory();
    if (!own.empty() && IsExecutableFile(own + name)) return own + name;
    const char* searchPath = std::getenv("PATH");
    const std::string path = searchPath != nullptr ? searchPath : "";
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        // An empty entry names the working directory.
        const std::string candidate = (end > start ? path.substr(start, end - start) : std::string(".")) + "/" + name;
        if (IsExecutableFile(candidate)) return candidate;
        start = end + 1;
    }
    return "";
}

}  // namespace plat
