// The real millisecond clock and sleep of the windowed backends, on POSIX systems.
// Milliseconds count from the system's start (CLOCK_MONOTONIC), as the frame-rate stamps expect.
#include <time.h>

#include "platform/clock.h"

namespace plat {

int64_t Milliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void SleepMs(int milliseconds) {
    if (milliseconds <= 0) return;
    timespec ts{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0) {
    }
}

}  // namespace plat
