// Fault traps on POSIX systems: signal handlers on an alternate stack that hand the fault, with
// the last position mark, to the program's fault routine; the fatal path's watchdog (SIGALRM).
// The plain write(2) file calls a routine writes with are in fault_files.cpp.
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>

#include "platform/core/system.h"
#include "platform/fault.h"

namespace plat {
namespace {

constexpr int kTrappedSignals[] = {SIGSEGV, SIGFPE, SIGBUS, SIGILL, SIGABRT};
constexpr int kSignalCount = sizeof kTrappedSignals / sizeof kTrappedSignals[0];
// Generous: the routine writes a log and shuts the program down while on this stack.
constexpr size_t kAltStackBytes = 1 << 20;

// The signal traps' own record.
struct TrapRecord {
    bool installed = false;                   // our handlers are in place
    struct sigaction previous[kSignalCount];  // dispositions before InstallFaultHandler
    void* altStack = nullptr;                 // allocated once, kept for the whole run
};

TrapRecord g_traps;

FaultKind KindOfSignal(int signal) {
    switch (signal) {
        case SIGSEGV: return FaultKind::AccessViolation;
        case SIGFPE: return FaultKind::Arithmetic;
        case SIGBUS: return FaultKind::BusError;
        case SIGILL: return FaultKind::IllegalInstruction;
        case SIGABRT: return FaultKind::Abort;
        default: return FaultKind::Unknown;
    }
}

// The program's fatal path is under way and its watchdog ran out: the log entry is written (or
// cannot be), so the process ends here with exit code 0.
void EndFatalPath(int) { _exit(0); }

// Lets a second fault or the watchdog's alarm reach the process while the routine runs (inside
// the handler they would be blocked, and a blocked fault kills the process with its signal).
void UnblockFaultSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : kTrappedSignals) sigaddset(&signals, signal);
    sigaddset(&signals, SIGALRM);
    sigprocmask(SIG_UNBLOCK, &signals, nullptr);
}

void OnFault(int signal, siginfo_t*, void*) {
    if (FaultRoutine routine = TakeFaultRoutine()) {
        UnblockFaultSignals();
        routine(DescribeFault(KindOfSignal(signal)), FaultModule(), g_faultLine);
    }
    // No routine, or a routine that returned against its contract: let the fault take its
    // default course.
    // The signal is blocked here, so the re-raised one arrives when the handler returns.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

bool EnsureAltStack() {
    if (g_traps.altStack == nullptr) {
        size_t size = std::max<size_t>(kAltStackBytes, SIGSTKSZ);
        g_traps.altStack = malloc(size);
        if (g_traps.altStack == nullptr) return false;
        stack_t stack {};
        stack.ss_sp = g_traps.altStack;
        stack.ss_size = size;
        stack.ss_flags = 0;
        if (sigaltstack(&stack, nullptr) != 0) return false;
    }
    return true;
}

}  // namespace

namespace sys {

void InstallFaultTraps() {
    if (g_traps.installed) return;
    EnsureAltStack();  // without it the handler still runs, on the normal stack

    struct sigaction action {};
    action.sa_sigaction = OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : kTrappedSignals) sigaddset(&action.sa_mask, signal);
    for (int i = 0; i < kSignalCount; ++i) sigaction(kTrappedSignals[i], &action, &g_traps.previous[i]);
    g_traps.installed = true;
}

void RemoveFaultTraps() {
    if (!g_traps.installed) return;
    for (int i = 0; i < kSignalCount; ++i) sigaction(kTrappedSignals[i], &g_traps.previous[i], nullptr);
    g_traps.installed = false;
}

void StartFaultWatchdog(unsigned seconds) {
    struct sigaction action {};
    action.sa_handler = EndFatalPath;
    action.sa_flags = SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, nullptr);
    UnblockFaultSignals();
    alarm(seconds);
}

}  // namespace sys

}  // namespace plat
