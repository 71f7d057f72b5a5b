// Run-time fault trapping: signal handlers on an alternate stack that hand the fault, with the
// last position mark, to the program's fault routine; the position marker globals.
#include "platform/fault.h"

#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <cstddef>

namespace plat {

const char* g_faultModule = "UNKNOWN";
int g_faultLine = 0;

namespace {

constexpr int kTrappedSignals[] = {SIGSEGV, SIGFPE, SIGBUS, SIGILL, SIGABRT};
constexpr int kSignalCount = sizeof kTrappedSignals / sizeof kTrappedSignals[0];
// Generous: the routine writes a log and shuts the program down while on this stack.
constexpr size_t kAltStackBytes = 1 << 20;

// The fault unit's own record.
struct FaultRecord {
    FaultRoutine routine = nullptr;
    bool installed = false;                  // our handlers are in place
    volatile sig_atomic_t handling = 0;      // a trapped fault is being handled
    struct sigaction previous[kSignalCount];  // dispositions before InstallFaultHandler
    void* altStack = nullptr;                 // allocated once, kept for the whole run
};

FaultRecord g_fault;

const char* DescribeSignal(int signal) {
    switch (signal) {
        case SIGSEGV: return "ACCESS VIOLATION (SIGSEGV)";
        case SIGFPE: return "ARITHMETIC FAULT (SIGFPE)";
        case SIGBUS: return "BUS ERROR (SIGBUS)";
        case SIGILL: return "ILLEGAL INSTRUCTION (SIGILL)";
        case SIGABRT: return "ABORT (SIGABRT)";
        default: return "UNKNOWN FAULT";
    }
}

void OnFault(int signal, siginfo_t*, void*) {
    FaultRoutine routine = g_fault.handling ? nullptr : g_fault.routine;
    g_fault.handling = 1;
    if (routine != nullptr) {
        const char* module = g_faultModule != nullptr ? g_faultModule : "UNKNOWN";
        routine(DescribeSignal(signal), module, g_faultLine);
    }
    // No routine, a fault inside the routine, or a routine that returned against its contract:
    // let the fault take its default course.
    // The signal is blocked here, so the re-raised one arrives when the handler returns.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

bool EnsureAltStack() {
    if (g_fault.altStack == nullptr) {
        size_t size = std::max<size_t>(kAltStackBytes, SIGSTKSZ);
        g_fault.altStack = malloc(size);
        if (g_fault.altStack == nullptr) return false;
        stack_t stack {};
        stack.ss_sp = g_fault.altStack;
        stack.ss_size = size;
        stack.ss_flags = 0;
        if (sigaltstack(&stack, nullptr) != 0) return false;
    }
    return true;
}

}  // namespace

void InstallFaultHandler(FaultRoutine routine) {
    // Re-arming (every frame) only swaps the routine.
    g_fault.routine = routine;
    if (g_fault.installed) return;
    EnsureAltStack();  // without it the handler still runs, on the normal stack

    struct sigaction action {};
    action.sa_sigaction = OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : kTrappedSignals) sigaddset(&action.sa_mask, signal);
    for (int i = 0; i < kSignalCount; ++i) sigaction(kTrappedSignals[i], &action, &g_fault.previous[i]);
    g_fault.installed = true;
}

void RemoveFaultHandler() {
    if (g_fault.installed) {
        for (int i = 0; i < kSignalCount; ++i)
            sigaction(kTrappedSignals[i], &g_fault.previous[i], nullptr);
        g_fault.installed = false;
    }
    g_fault.routine = nullptr;
}

void RaiseFault(const char* description) {
    FaultRoutine routine = g_fault.routine;
    if (routine == nullptr) return;
    const char* module = g_faultModule != nullptr ? g_faultModule : "UNKNOWN";
    routine(description != nullptr ? description : "", module, g_faultLine);
}

}  // namespace plat
