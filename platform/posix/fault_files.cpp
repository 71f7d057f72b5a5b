// The file calls a fault routine writes with on POSIX systems and in the browser page: plain
// open(2)/write(2), nothing allocated, so they are safe inside a signal handler.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

#include "platform/fault.h"

namespace plat {

void EndProcessNow() { _exit(0); }

long long FaultDateNow() {
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec);
}

namespace {

FaultFile OpenFaultFile(const char* path, int mode) {
    if (path == nullptr || *path == '\0') return {};
    return FaultFile{::open(path, O_WRONLY | O_CREAT | O_CLOEXEC | mode, 0644)};
}

}  // namespace

FaultFile CreateFaultFile(const char* path) { return OpenFaultFile(path, O_TRUNC); }

bool WriteFaultFile(FaultFile file, const char* data, size_t length) {
    if (!file.Valid()) return false;
    while (length > 0) {
        const ssize_t n = ::write(static_cast<int>(file.id), data, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

bool CloseFaultFile(FaultFile& file) {
    if (!file.Valid()) return false;
    const bool ok = ::close(static_cast<int>(file.id)) == 0;
    file = FaultFile{};
    return ok;
}

bool AppendToFileRaw(const char* path, const char* data, size_t length) {
    FaultFile file = OpenFaultFile(path, O_APPEND);
    const bool written = WriteFaultFile(file, data, length);
    return CloseFaultFile(file) && written;
}

bool MakeDirectoryRaw(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    struct stat info {};
    return (::mkdir(path, 0755) == 0 || errno == EEXIST) && ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace plat
