// The millisecond clock in a browser page, and its sleep. A page must not block: the browser
// paces the frames (one step per animation frame), so a sleep between frames is left out.
#include <emscripten.h>

#include "platform/clock.h"

namespace plat {

int64_t Milliseconds() { return static_cast<int64_t>(emscripten_get_now()); }

void SleepMs(int) {}

}  // namespace plat
