// Fault traps on Windows: an unhandled-exception filter hands access violations, divisions by
// zero, illegal instructions and the like to the program's fault routine on the faulting thread;
// a stack overflow leaves too little stack for that, so a vectored handler hands it to a standby
// thread with a stack of its own; abort() (and raise()) arrive as C runtime signals. The fatal
// path's watchdog is a second standby thread. Both threads are made when the traps are first
// installed, so nothing is created, and nothing allocated, once a fault struck.
#include <csignal>
#include <cstdint>

#include "platform/core/system.h"
#include "platform/fault.h"
#include "platform/win32/wide.h"

namespace plat {
namespace {

// The C runtime's signals for the faults it reports itself (abort(), raise()).
constexpr int kTrappedSignals[] = {SIGSEGV, SIGFPE, SIGILL, SIGABRT};
constexpr int kSignalCount = sizeof kTrappedSignals / sizeof kTrappedSignals[0];
// The routine of a stack overflow runs on the standby thread: a generous stack, as on the
// alternate signal stack of other systems.
constexpr SIZE_T kStandbyStackBytes = 1 << 20;
// Started when a trapped fault reaches the routine, so that a routine stuck before it arms the
// watchdog itself (inside a lock the fault left held) still ends the process.
constexpr unsigned kBackstopSeconds = 30;
// Some of the C runtime's status codes for floating-point traps of SSE code.
constexpr DWORD kFloatMultipleFaults = 0xC00002B4;
constexpr DWORD kFloatMultipleTraps = 0xC00002B5;
// Room for a UTF-16 path in a fault routine's stack buffer.
constexpr int kPathCapacity = 4096;

using SignalHandler = void (*)(int);

// The traps' own record.
struct TrapRecord {
    bool installed = false;  // our filter, handler and signals are in place
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
    void* overflowHandler = nullptr;  // the vectored handler's registration
    SignalHandler previousSignals[kSignalCount] = {};
    // The stack-overflow standby thread: `overflowGo` starts the routine, `overflowDone` says it
    // returned (against its contract).
    HANDLE overflowGo = nullptr, overflowDone = nullptr;
    FaultRoutine overflowRoutine = nullptr;
    // The watchdog thread: `watchdogArmed` starts (or moves) the deadline, a GetTickCount64 value.
    HANDLE watchdogArmed = nullptr;
    volatile LONG64 watchdogDeadline = 0;
    bool threadsStarted = false;
};

TrapRecord g_traps;

FaultKind KindOfException(DWORD code) {
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION:
        case EXCEPTION_STACK_OVERFLOW:
        case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
        case EXCEPTION_GUARD_PAGE: return FaultKind::AccessViolation;
        case EXCEPTION_IN_PAGE_ERROR:
        case EXCEPTION_DATATYPE_MISALIGNMENT: return FaultKind::BusError;
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
        case EXCEPTION_INT_OVERFLOW:
        case EXCEPTION_FLT_DENORMAL_OPERAND:
        case EXCEPTION_FLT_DIVIDE_BY_ZERO:
        case EXCEPTION_FLT_INEXACT_RESULT:
        case EXCEPTION_FLT_INVALID_OPERATION:
        case EXCEPTION_FLT_OVERFLOW:
        case EXCEPTION_FLT_STACK_CHECK:
        case EXCEPTION_FLT_UNDERFLOW:
        case kFloatMultipleFaults:
        case kFloatMultipleTraps: return FaultKind::Arithmetic;
        case EXCEPTION_ILLEGAL_INSTRUCTION:
        case EXCEPTION_PRIV_INSTRUCTION: return FaultKind::IllegalInstruction;
        default: return FaultKind::Unknown;
    }
}

FaultKind KindOfSignal(int signal) {
    switch (signal) {
        case SIGSEGV: return FaultKind::AccessViolation;
        case SIGFPE: return FaultKind::Arithmetic;
        case SIGILL: return FaultKind::IllegalInstruction;
        case SIGABRT: return FaultKind::Abort;
        default: return FaultKind::Unknown;
    }
}

void RunRoutine(FaultRoutine routine, FaultKind kind) {
    sys::StartFaultWatchdog(kBackstopSeconds);
    routine(DescribeFault(kind), FaultModule(), g_faultLine);
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
    if (FaultRoutine routine = TakeFaultRoutine()) RunRoutine(routine, KindOfException(info->ExceptionRecord->ExceptionCode));
    // No routine, or one that returned against its contract: the system's default course.
    return EXCEPTION_CONTINUE_SEARCH;
}

// Sees every exception first; takes only the stack overflow, whose routine cannot run here.
LONG WINAPI OnVectoredException(EXCEPTION_POINTERS* info) {
    if (info->ExceptionRecord->ExceptionCode != EXCEPTION_STACK_OVERFLOW) return EXCEPTION_CONTINUE_SEARCH;
    if (FaultRoutine routine = TakeFaultRoutine()) {
        g_traps.overflowRoutine = routine;
        SetEvent(g_traps.overflowGo);
        WaitForSingleObject(g_traps.overflowDone, INFINITE);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

DWORD WINAPI StandbyForOverflow(void*) {
    WaitForSingleObject(g_traps.overflowGo, INFINITE);
    RunRoutine(g_traps.overflowRoutine, FaultKind::AccessViolation);
    SetEvent(g_traps.overflowDone);
    return 0;
}

DWORD WINAPI StandbyWatchdog(void*) {
    WaitForSingleObject(g_traps.watchdogArmed, INFINITE);
    for (;;) {
        const LONG64 remaining = g_traps.watchdogDeadline - static_cast<LONG64>(GetTickCount64());
        if (remaining <= 0) EndProcessNow();
        // Woken early when the deadline moved.
        WaitForSingleObject(g_traps.watchdogArmed, static_cast<DWORD>(remaining));
    }
}

void OnSignal(int signal) {
    if (FaultRoutine routine = TakeFaultRoutine()) RunRoutine(routine, KindOfSignal(signal));
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void StartStandbyThreads() {
    if (g_traps.threadsStarted) return;
    g_traps.overflowGo = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    g_traps.overflowDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_traps.watchdogArmed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (g_traps.overflowGo == nullptr || g_traps.overflowDone == nullptr || g_traps.watchdogArmed == nullptr) return;
    const HANDLE overflow = CreateThread(nullptr, kStandbyStackBytes, StandbyForOverflow, nullptr,
                                         STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    const HANDLE watchdog = CreateThread(nullptr, 64 * 1024, StandbyWatchdog, nullptr,
                                         STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (overflow != nullptr) CloseHandle(overflow);
    if (watchdog != nullptr) CloseHandle(watchdog);
    g_traps.threadsStarted = overflow != nullptr && watchdog != nullptr;
}

// Opens `path` for writing without allocating: the wide path lives on the stack.
FaultFile OpenFaultFile(const char* path, DWORD access, DWORD disposition) {
    wchar_t wide[kPathCapacity];
    if (!win32::WideInto(path, wide, kPathCapacity)) return {};
    const HANDLE file = CreateFileW(wide, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? FaultFile{} : FaultFile{reinterpret_cast<intptr_t>(file)};
}

HANDLE HandleOf(FaultFile file) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(file.id)); }

}  // namespace

namespace sys {

void InstallFaultTraps() {
    // Put back at every call: a library may have set a filter of its own since.
    const LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(OnUnhandledException);
    if (g_traps.installed) return;
    g_traps.previousFilter = previous;
    StartStandbyThreads();
    g_traps.overflowHandler = AddVectoredExceptionHandler(1, OnVectoredException);
    for (int i = 0; i < kSignalCount; ++i) g_traps.previousSignals[i] = std::signal(kTrappedSignals[i], OnSignal);
    g_traps.installed = true;
}

void RemoveFaultTraps() {
    if (!g_traps.installed) return;
    SetUnhandledExceptionFilter(g_traps.previousFilter);
    if (g_traps.overflowHandler != nullptr) RemoveVectoredExceptionHandler(g_traps.overflowHandler);
    g_traps.overflowHandler = nullptr;
    for (int i = 0; i < kSignalCount; ++i) {
        const SignalHandler previous = g_traps.previousSignals[i];
        std::signal(kTrappedSignals[i], previous == SIG_ERR ? SIG_DFL : previous);
    }
    g_traps.installed = false;
}

void StartFaultWatchdog(unsigned seconds) {
    g_traps.watchdogDeadline = static_cast<LONG64>(GetTickCount64()) + static_cast<LONG64>(seconds) * 1000;
    if (g_traps.threadsStarted) SetEvent(g_traps.watchdogArmed);
}

}  // namespace sys

void EndProcessNow() {
    TerminateProcess(GetCurrentProcess(), 0);
    ExitProcess(0);  // not reached: TerminateProcess on the own process does not return
}

long long FaultDateNow() {
    FILETIME now {};
    GetSystemTimeAsFileTime(&now);
    // 100-nanosecond steps since 1601-01-01; 11644473600 seconds lie between 1601 and 1970.
    const unsigned long long steps = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<long long>(steps / 10000000ULL) - 11644473600LL;
}

FaultFile CreateFaultFile(const char* path) { return OpenFaultFile(path, GENERIC_WRITE, CREATE_ALWAYS); }

bool WriteFaultFile(FaultFile file, const char* data, size_t length) {
    if (!file.Valid()) return false;
    while (length > 0) {
        const DWORD chunk = length > (1u << 30) ? (1u << 30) : static_cast<DWORD>(length);
        DWORD written = 0;
        if (!WriteFile(HandleOf(file), data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        length -= written;
    }
    return true;
}

bool CloseFaultFile(FaultFile& file) {
    if (!file.Valid()) return false;
    const bool ok = CloseHandle(HandleOf(file)) != 0;
    file = FaultFile{};
    return ok;
}

bool AppendToFileRaw(const char* path, const char* data, size_t length) {
    // Opened for appending only: every write goes to the end, whoever else writes the file.
    FaultFile file = OpenFaultFile(path, FILE_APPEND_DATA, OPEN_ALWAYS);
    const bool written = WriteFaultFile(file, data, length);
    return CloseFaultFile(file) && written;
}

bool MakeDirectoryRaw(const char* path) {
    wchar_t wide[kPathCapacity];
    if (!win32::WideInto(path, wide, kPathCapacity)) return false;
    CreateDirectoryW(wide, nullptr);
    const DWORD attributes = GetFileAttributesW(wide);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace plat
