// The few POSIX calls the tests use that MinGW's C library lacks, for the Windows build of the
// tests (getpid, raise and the signal numbers come with MinGW itself).
#pragma once
#include <cstdlib>

#if defined(_WIN32)
#include <direct.h>
#include <io.h>

inline int setenv(const char* name, const char* value, int /*overwrite*/) { return _putenv_s(name, value); }
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }  // an empty value removes it
// Windows has no super-user whom permissions do not bind.
inline int geteuid() { return 1; }
inline char* mkdtemp(char* pattern) {
    return _mktemp(pattern) != nullptr && _mkdir(pattern) == 0 ? pattern : nullptr;
}
#endif
