// Run-time fault handling: a routine that runs instead of the program when a fault is trapped.
// On POSIX systems SIGSEGV, SIGFPE, SIGBUS, SIGILL and SIGABRT are trapped on an alternate stack;
// on Windows unhandled exceptions (access violation, division by zero, illegal instruction,
// stack overflow ...) and abort().
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
// it formats into fixed buffers and writes with the system's plain file calls (write(2),
// WriteFile): nothing below allocates or locks.

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
// The current date value (seconds since 1970), from the system clock.
long long FaultDateNow();
// Appends a date value as local time by a pattern of "%yyyy", "%mm", "%dd", "%hh", "%ii" and
// "%ss" (other text copied), with the offset PrepareFaultClock took.
void AppendFaultDate(FaultText& text, const char* pattern, long long date);
// Appends the text to the file (created when missing); false on failure.
bool AppendToFileRaw(const char* path, const char* data, size_t length);
// A file written from a fault routine: created or truncated on opening, written unbuffered.
struct FaultFile {
    long long id = -1;  // the system's descriptor or handle; -1 when not open
    bool Valid() const { return id != -1; }
};
FaultFile CreateFaultFile(const char* path);
// Writes every byte; false when the file is not open or a write failed.
bool WriteFaultFile(FaultFile file, const char* data, size_t length);
// Closes the file; false when it was not open or closing failed.
bool CloseFaultFile(FaultFile& file);
// Creates one directory (its parent must exist); true when it exists afterwards.
bool MakeDirectoryRaw(const char* path);
// Ends the process at once with exit code 0: no exit handlers, no destructors, no flushing.
[[noreturn]] void EndProcessNow();

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
