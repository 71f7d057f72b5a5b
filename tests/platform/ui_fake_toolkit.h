// A scripted toolkit under the window backends' shared half: native events are functions run
// when the shared wait pumps, the keys, buttons and pointer are set by the test, and every
// screen and window operation is counted.
#pragma once
#include <deque>
#include <functional>
#include <vector>

#include "platform/ui/ui_state.h"

namespace fake {

struct ClientArea {
    int number = 0;
    int x = 0, y = 0, width = 0, height = 0;  // desktop pixels
    bool shown = true;
};

struct Toolkit {
    std::deque<std::function<void()>> native;  // native events not yet handled
    int pumps = 0;                             // native events handled
    bool windowsOpen = true;
    plat::ui::InputSnapshot atEvent;           // what TakeInputSnapshot sees
    plat::ui::InputSnapshot now;               // what InputNow sees
    bool menuOpen = false;                     // what ToolkitHasKeys says
    bool pointerKnown = true;
    int pointerX = 0, pointerY = 0;
    std::vector<ClientArea> windows;
    bool screen = false;
    int madeCurrent = 0, swaps = 0, screensDestroyed = 0, windowsDestroyed = 0;
};

extern Toolkit g_toolkit;

// Starts every case from an empty toolkit and an empty shared record.
void Reset();

}  // namespace fake
