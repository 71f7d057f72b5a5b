// The window event queue of the map builder's window backends: each event is queued with the
// keys and buttons of its moment; the blocking wait hands them out in order and makes the
// screen current, since the program draws right after each event.
#include <algorithm>
#include <iterator>

#include "platform/ui/ui_state.h"

namespace plat::ui {

Shared g_ui;

// The keys a menu, box or requester takes are its own: events queued while one is open (the
// repaints its opening and closing cause) carry the keys as they were before, so that a cursor
// key walking a menu does not also scroll the map.
void Push(int kind, int window, int item) {
    InputSnapshot snapshot = TakeInputSnapshot();
    if (ToolkitHasKeys()) {
        std::copy(std::begin(g_ui.beforeToolkitKeys.keys), std::end(g_ui.beforeToolkitKeys.keys), snapshot.keys);
    } else {
        g_ui.beforeToolkitKeys = snapshot;
    }
    g_ui.events.push_back(WindowEvent{kind, window, item});
    g_ui.snapshots.push_back(snapshot);
}

}  // namespace plat::ui

namespace plat {

using ui::g_ui;

WindowEvent WaitEvent() {
    do {
        if (!ui::PumpEvent()) return WindowEvent{};
    } while (g_ui.events.empty());
    const WindowEvent event = g_ui.events.front();
    g_ui.events.pop_front();
    if (!g_ui.snapshots.empty()) {
        g_ui.current = g_ui.snapshots.front();
        g_ui.snapshots.pop_front();
        g_ui.haveCurrent = true;
    }
    ui::MakeScreenCurrent();  // the program draws right after the event
    return event;
}

// --- keys and mouse, as of the event being handled --------------------------------------------

// Before the first event, the keys now.
void PollKeyboard() {
    const ui::InputSnapshot state = g_ui.haveCurrent ? g_ui.current : ui::InputNow();
    for (int code = 0; code < kScanCodeCount; ++code) g_ui.keyboard.down[code] = state.keys[code];
}

bool KeyHeld(int code) { return g_ui.keyboard.Held(code); }
bool KeyReleased(int code) { return g_ui.keyboard.Released(code); }

void PollMouse() {
    int x = -1, y = -1;
    const bool known = ui::PointerOnDesktop(x, y);
    g_ui.mouse.Poll(known, x, y);
    g_ui.mouse.x = known ? x : -1;
    g_ui.mouse.y = known ? y : -1;
    const ui::InputSnapshot state = g_ui.haveCurrent ? g_ui.current : ui::InputNow();
    g_ui.mouse.left = state.left;
    g_ui.mouse.right = state.right;
}

int MouseX() { return g_ui.mouse.x; }
int MouseY() { return g_ui.mouse.y; }
int MouseMotionX() { return g_ui.mouse.motionX; }
int MouseMotionY() { return g_ui.mouse.motionY; }
int MouseWheel() { return g_ui.mouse.wheel; }
bool MouseLeft() { return g_ui.mouse.left; }
bool MouseRight() { return g_ui.mouse.right; }

// The map builder has no joystick.
bool InitJoystick() { return false; }
void PollJoystick() {}
int JoystickX() { return 0; }
int JoystickY() { return 0; }
bool JoystickButton(int) { return false; }

// --- the pointer in a window ---------------------------------------------------------------------

int WindowMouseX(int number) {
    int x = -1, y = -1;
    return g_ui.mouse.x >= 0 && ui::DesktopPointInClient(number, g_ui.mouse.x, g_ui.mouse.y, x, y) ? x : -1;
}

int WindowMouseY(int number) {
    int x = -1, y = -1;
    return g_ui.mouse.x >= 0 && ui::DesktopPointInClient(number, g_ui.mouse.x, g_ui.mouse.y, x, y) ? y : -1;
}

bool PointerInWindow(int number, int& x, int& y) {
    x = y = -1;
    int desktopX = 0, desktopY = 0;
    return ui::PointerOnDesktop(desktopX, desktopY) && ui::DesktopPointInClient(number, desktopX, desktopY, x, y);
}

}  // namespace plat
