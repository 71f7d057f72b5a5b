// Files and directories on POSIX systems: streams, stat, atomic replacement by rename(2),
// directory reading, the working directory.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/core/system.h"
#include "platform/files.h"

namespace plat {
namespace {

bool StatIs(const std::string& path, mode_t type) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == type;
}

}  // namespace

namespace sys {

FILE* OpenStream(const std::string& path, const char* mode) { return fopen(path.c_str(), mode); }

bool IsPlainFile(const std::string& path) { return StatIs(path, S_IFREG); }

bool WriteWholeFile(const std::string& path, const std::string& data) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = WriteFaultFile(FaultFile{fd}, data.data(), data.size()) && fsync(fd) == 0;
    return close(fd) == 0 && ok;
}

bool RenameOver(const std::string& from, const std::string& to) { return rename(from.c_str(), to.c_str()) == 0; }

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

bool DirectoryNames(const std::string& directory, std::vector<std::string>& names) {
    names.clear();
    DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
    if (dir == nullptr) return false;
    while (const dirent* item = readdir(dir)) {
        std::string name = item->d_name;
        if (name != "." && name != "..") names.push_back(std::move(name));
    }
    closedir(dir);
    return true;
}

bool MakeDirectory(const std::string& path) { return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST; }

bool IsSeparator(char c) { return c == '/'; }

size_t RootLength(const std::string& path) { return !path.empty() && path.front() == '/' ? 1 : 0; }

}  // namespace sys

std::string CurrentDirectory() {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20)) return "./";
        buffer.resize(buffer.size() * 2);
    }
    std::string path = buffer.data();
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) { return StatIs(path, S_IFDIR); }

bool ChangeDirectory(const std::string& path) { return !path.empty() && chdir(path.c_str()) == 0; }

}  // namespace plat
