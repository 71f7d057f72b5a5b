// The allocator trap (see allocation_trap.h): the replacements forward to glibc's own allocator.
#include "tests/fault/allocation_trap.h"

#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define FAULTTEST_TRAP 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FAULTTEST_TRAP 0
#endif
#endif
#ifndef FAULTTEST_TRAP
#define FAULTTEST_TRAP 1
#endif

namespace faulttest {
namespace {
volatile bool g_armed = false;

void CheckTrap() {
    if (!g_armed) return;
    static const char message[] = "ALLOCATION IN FAULT PATH\n";
    (void)!::write(2, message, sizeof message - 1);
    ::_exit(kAllocationTrapExitCode);
}
}  // namespace

bool kAllocationTrapAvailable = FAULTTEST_TRAP != 0;
void ArmAllocationTrap() { g_armed = true; }

}  // namespace faulttest

#if FAULTTEST_TRAP
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);

void* malloc(size_t size) {
    faulttest::CheckTrap();
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    faulttest::CheckTrap();
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size) {
    faulttest::CheckTrap();
    return __libc_realloc(pointer, size);
}
}

void* operator new(std::size_t size) {
    faulttest::CheckTrap();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    faulttest::CheckTrap();
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* pointer) noexcept { std::free(pointer); }
void operator delete[](void* pointer) noexcept { std::free(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { std::free(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { std::free(pointer); }
#endif
