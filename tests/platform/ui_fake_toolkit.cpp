// The scripted toolkit of ui_fake_toolkit.h: the list of toolkit operations the shared half
// of the window backends calls.
#include "tests/platform/ui_fake_toolkit.h"

namespace fake {

Toolkit g_toolkit;

void Reset() {
    g_toolkit = Toolkit{};
    plat::ui::g_ui = plat::ui::Shared{};
}

}  // namespace fake

namespace plat::ui {

using fake::g_toolkit;

bool PumpEvent() {
    if (!g_ui.events.empty()) return true;
    if (!g_toolkit.windowsOpen || g_toolkit.native.empty()) return false;
    const std::function<void()> event = g_toolkit.native.front();
    g_toolkit.native.pop_front();
    ++g_toolkit.pumps;
    event();
    return true;
}

InputSnapshot TakeInputSnapshot() { return g_toolkit.atEvent; }
InputSnapshot InputNow() { return g_toolkit.now; }
bool ToolkitHasKeys() { return g_toolkit.menuOpen; }

bool PointerOnDesktop(int& x, int& y) {
    if (!g_toolkit.pointerKnown) return false;
    x = g_toolkit.pointerX;
    y = g_toolkit.pointerY;
    return true;
}

bool DesktopPointInClient(int number, int desktopX, int desktopY, int& x, int& y) {
    for (const fake::ClientArea& area : g_toolkit.windows) {
        if (area.number != number || !area.shown) continue;
        const int cx = desktopX - area.x, cy = desktopY - area.y;
        if (cx < 0 || cy < 0 || cx >= area.width || cy >= area.height) return false;
        x = cx;
        y = cy;
        return true;
    }
    return false;
}

bool ScreenExists() { return g_toolkit.screen; }

bool MakeScreenCurrent() {
    if (!g_toolkit.screen) return false;
    ++g_toolkit.madeCurrent;
    return true;
}

void SwapScreen() { ++g_toolkit.swaps; }

void DestroyScreen() {
    if (g_toolkit.screen) ++g_toolkit.screensDestroyed;
    g_toolkit.screen = false;
}

void DestroyWindows() {
    ++g_toolkit.windowsDestroyed;
    g_toolkit.windows.clear();
    g_toolkit.windowsOpen = false;
}

}  // namespace plat::ui
