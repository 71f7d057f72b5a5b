// Run-time fault handling: a routine that runs instead of the program when a fault is trapped.
// SIGSEGV, SIGFPE, SIGBUS, SIGILL and SIGABRT are trapped on an alternate stack.
#pragma once
#include <cstddef>

namespace plat {

// The routine gets the fault's description, the module and the line of the last position mark.
// It must not return. A fault inside the routine ends the process with exit code 0.
using FaultRoutine = void (*)(const char* description, const char* module, int line);

void InstallFaultHandler(FaultRoutine routine);
// Restores the platform's default fault handling.
void RemoveFaultHandler();
// Ends the process with exit code 0 after `seconds`, and at once on any further trapped fault or
// raised fault. A routine calls it as soon as its log entry is on disk, so that nothing it does
// afterwards (a message box, closing windows, releasing GL, possibly inside the very library
// call that faulted) can hang the process or end it with another code. Async-signal-safe.
void ArmFaultWatchdog(unsigned seconds);
// Runs the installed routine directly (used for faults the program detects itself, such as an
// uncaught exception in the main loop). Does nothing when no routine is installed.
void RaiseFault(const char* description);

// --- writing from a fault routine --------------------------------------------------------------
// A routine runs after the fault, possibly inside malloc or with the C library's locks held, so
// it formats into fixed buffers and writes with write(2) only: nothing below allocates or locks.

// A text of fixed capacity; appends beyond it are cut.
struct FaultText {
    static constexpr size_t kCapacity = 4096;
    char data[kCapacity + 1] = {};
    size_t length = 0;
    // Appends at most `limit` characters of the text.
    void Append(const char* text, size_t limit = kCapacity);
    void AppendInt(long long value);
};
// Takes the local time zone's offset from UTC now, for FaultDate. InstallFaultHandler calls it
// the first time it runs (at start-up), so a fault later needs no time zone lookup.
void PrepareFaultClock();
// The current date value (seconds since 1970), from clock_gettime.
long long FaultDateNow();
// Appends a date value as local time by a pattern of "%yyyy", "%mm", "%dd", "%hh", "%ii" and
// "%ss" (other text copied), with the offset PrepareFaultClock took.
void AppendFaultDate(FaultText& text, const char* pattern, long long date);
// Appends the text to the file (created when missing) with open/write/close; false on failure.
bool AppendToFileRaw(const char* path, const char* data, size_t length);

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
