// The operating system's side of the core services: what platform/posix and platform/win32 each
// provide (same file names on both sides) to the backend-neutral code of platform/core.
// Paths are UTF-8 everywhere; each side converts them at its system calls.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "platform/fault.h"

struct tiff;  // libtiff's TIFF

namespace plat::sys {

// --- files (posix/files.cpp, win32/files.cpp) ---
// fopen with a C mode string ("rb", "a+b", "w+b").
FILE* OpenStream(const std::string& path, const char* mode);
// True for an existing plain file (links followed).
bool IsPlainFile(const std::string& path);
// Creates or truncates `path`, writes `data` and flushes it to the disk; false on any failure.
bool WriteWholeFile(const std::string& path, const std::string& data);
// Renames `from` over `to`, replacing it in one step.
bool RenameOver(const std::string& from, const std::string& to);
void RemoveFile(const std::string& path);
// The names of every entry of `directory` ("" the working directory) but "." and "..", in the
// system's order; false when the directory cannot be read.
bool DirectoryNames(const std::string& directory, std::vector<std::string>& names);
// Creates one directory; true when it was made or already existed.
bool MakeDirectory(const std::string& path);
// True for a character that separates path components ('/' and, on Windows, '\').
bool IsSeparator(char c);
// The length of the root a path starts with ("/" on both; "C:/", "C:\", "//server/share/" on
// Windows); 0 for a relative path.
size_t RootLength(const std::string& path);

// --- processes (posix/process.cpp, win32/process.cpp) ---
long ProcessNumber();
// True unless the process is known to have ended.
bool ProcessRuns(long number);
// True for a plain file the system would run as a program.
bool IsExecutableFile(const std::string& path);
// The file names a program called `name` may have (on Windows also `name`.exe).
std::vector<std::string> ProgramFileNames(const std::string& name);
// The separator of the directories in PATH.
char SearchPathSeparator();

// --- dates (posix/dates.cpp, win32/dates.cpp) ---
// The local time of a date value; false when it cannot be converted.
bool LocalTime(long long date, struct tm& local);
// The local time zone's offset from UTC now, in seconds east of UTC.
long UtcOffsetNow();

// --- fault traps (posix/fault.cpp, win32/fault.cpp) ---
// Puts the system's traps in place (the routine is kept by core/fault.cpp); called on every
// InstallFaultHandler, so a trap another library replaced is put back.
void InstallFaultTraps();
void RemoveFaultTraps();
// Starts the watchdog that ends the process with exit code 0 after `seconds`.
void StartFaultWatchdog(unsigned seconds);

// --- images (posix/images.cpp, win32/images.cpp) ---
tiff* OpenTiffForReading(const std::string& path);

}  // namespace plat::sys

namespace plat {

// Shared by both sides' traps (core/fault.cpp).
enum class FaultKind { AccessViolation, Arithmetic, BusError, IllegalInstruction, Abort, Unknown };
// The same text for the same kind of fault on every system, so log entries are alike.
const char* DescribeFault(FaultKind kind);
// The routine a trapped fault runs, marking the fatal path as under way. A fault while the fatal
// path is already under way ends the process at once (exit code 0). Null without a routine.
FaultRoutine TakeFaultRoutine();
// The module of the last position mark ("UNKNOWN" when none).
const char* FaultModule();

// Writes `data` to a temporary beside `path` and renames it over `path` (core/files.cpp); false
// on any failure, in which case `path` is untouched.
bool WriteBytesAtomically(const std::string& path, const std::string& data);

}  // namespace plat
