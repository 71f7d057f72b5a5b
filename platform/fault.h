// Run-time fault handling: a routine that runs instead of the program when a fault is trapped.
// SIGSEGV, SIGFPE, SIGBUS, SIGILL and SIGABRT are trapped on an alternate stack.
#pragma once

namespace plat {

// The routine gets the fault's description, the module and the line of the last position mark.
// It must not return.
using FaultRoutine = void (*)(const char* description, const char* module, int line);

void InstallFaultHandler(FaultRoutine routine);
// Restores the platform's default fault handling.
void RemoveFaultHandler();
// Runs the installed routine directly (used for faults the program detects itself, such as an
// uncaught exception in the main loop). Does nothing when no routine is installed.
void RaiseFault(const char* description);

// Position marker: the unit name and line of the last marked step, read by the fault handler.
extern const char* g_faultModule;
extern int g_faultLine;

}  // namespace plat

// Marks the current position for fault reports: PLAT_MARK("ENV");
#define PLAT_MARK(unit)                     \
    do {                                    \
        ::plat::g_faultModule = (unit);     \
        ::plat::g_faultLine = __LINE__;     \
    } while (0)
