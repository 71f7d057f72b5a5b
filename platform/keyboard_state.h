// The held/released bookkeeping shared by the backends: the backend fills `down` at each poll.
#pragma once
#include "platform/input.h"

namespace plat {

struct KeyboardState {
    bool down[kScanCodeCount] = {};  // down at the last poll
    bool mark[kScanCodeCount] = {};  // a released test of this key saw it down

    bool Held(int code) const { return code >= 0 && code < kScanCodeCount && down[code]; }
    bool Released(int code) {
        if (code < 0 || code >= kScanCodeCount) return false;
        if (down[code]) {
            mark[code] = true;
            return false;
        }
        if (mark[code]) {
            mark[code] = false;
            return true;
        }
        return false;
    }
};

}  // namespace plat
