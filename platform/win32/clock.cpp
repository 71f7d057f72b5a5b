// The real millisecond clock and sleep of the windowed backends, on Windows. Milliseconds come
// from the performance counter (which starts with the system); each sleep asks for the 1 ms
// timer resolution while it lasts, or Windows would round it up to its 15.6 ms tick.
#include "platform/clock.h"
#include "platform/win32/wide.h"

#include <mmsystem.h>

namespace plat {

int64_t Milliseconds() {
    LARGE_INTEGER frequency {}, counter {};
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !QueryPerformanceCounter(&counter))
        return static_cast<int64_t>(GetTickCount64());
    // Whole seconds and the remainder apart, so the product cannot overflow.
    const int64_t seconds = counter.QuadPart / frequency.QuadPart;
    const int64_t rest = counter.QuadPart % frequency.QuadPart;
    return seconds * 1000 + rest * 1000 / frequency.QuadPart;
}

void SleepMs(int milliseconds) {
    if (milliseconds <= 0) return;
    const bool fine = timeBeginPeriod(1) == TIMERR_NOERROR;
    Sleep(static_cast<DWORD>(milliseconds));
    if (fine) timeEndPeriod(1);
}

}  // namespace plat
