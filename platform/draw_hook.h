// Test-only hook into drawing on the GL backends: the end-to-end fault tests use it to raise a
// fault from inside a frame, with the GL context current and quads half handed to GL.
#pragma once

namespace plat {

// The function is called at every flush that hands a batch of quads to GL; nullptr removes it.
// Neither program ever sets it: only the fault test programs built beside them do, so it cannot
// be triggered in normal use.
void SetDrawHook(void (*hook)());

}  // namespace plat
