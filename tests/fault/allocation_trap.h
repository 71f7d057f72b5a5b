// A test-only allocator trap: while it is armed, any call of operator new, malloc, calloc or
// realloc writes "ALLOCATION IN FAULT PATH" to stderr and ends the process with exit code 86.
// Linking allocation_trap.cpp replaces the program's allocation functions (not under
// AddressSanitizer, which owns them; kAllocationTrapAvailable is false there).
#pragma once

namespace faulttest {

extern bool kAllocationTrapAvailable;
inline constexpr int kAllocationTrapExitCode = 86;
void ArmAllocationTrap();

}  // namespace faulttest
