// Faults in a browser page: wasm has no signals. A trap of the wasm code (an access out of
// bounds, "unreachable", a division by zero) ends the running step with a JavaScript error;
// the page catches it and calls TaskoWebFault, which runs the installed routine as a trap
// handler would. Fault routines write with the plain file calls; each entry is also shown in
// the browser's console.
#include <emscripten.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

#include "platform/core/system.h"
#include "platform/fault.h"

namespace plat {
namespace sys {

// Nothing to put in place: the page reports traps (TaskoWebFault).
void InstallFaultTraps() {}
void RemoveFaultTraps() {}
// The page runs nothing after the step that faulted: there is nothing that could hang.
void StartFaultWatchdog(unsigned) {}

}  // namespace sys

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

// Called by the page after a trap of the wasm code ended a step: `kind` is the FaultKind the
// page made of the error's message. Runs the routine with the last position mark, as a signal
// would; without a routine (or when it returns) the process ends.
extern "C" EMSCRIPTEN_KEEPALIVE void TaskoWebFault(int kind) {
    const plat::FaultKind fault =
        kind >= 0 && kind <= static_cast<int>(plat::FaultKind::Unknown) ? static_cast<plat::FaultKind>(kind)
                                                                      : plat::FaultKind::Unknown;
    if (plat::FaultRoutine routine = plat::TakeFaultRoutine()) {
        routine(plat::DescribeFault(fault), plat::FaultModule(), plat::g_faultLine);
    }
    plat::EndProcessNow();
}
