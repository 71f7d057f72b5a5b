// Keyboard and mouse of the Win32 backend: keys held by DirectInput-style scan code and the
// mouse buttons as they were at the event being handled (the thread's keyboard state, taken
// when the event was queued); the pointer on the desktop and in each window; wheel notches
// gathered from the messages. Keys are told apart by their place on the keyboard, not by their
// labels: each scan code's virtual key comes from the keyboard layout (MapVirtualKeyW), so the
// key where a US keyboard has U acts as U on every layout.
#include <algorithm>
#include <iterator>

#include "platform/input.h"
#include "platform/win32ui/win32ui_state.h"

namespace plat::win32ui {

namespace {

// Extended keys (the E0-prefixed scan codes, 0x80 and up in DirectInput's numbering) are the
// same keys on every layout.
struct ExtendedKey {
    int code;
    int virtualKey;
};
constexpr ExtendedKey kExtendedKeys[] = {
    {156, VK_RETURN}, {157, VK_RCONTROL}, {181, VK_DIVIDE}, {184, VK_RMENU}, {199, VK_HOME},
    {200, VK_UP},     {201, VK_PRIOR},    {203, VK_LEFT},   {205, VK_RIGHT}, {207, VK_END},
    {208, VK_DOWN},   {209, VK_NEXT},     {210, VK_INSERT}, {211, VK_DELETE},
};

}  // namespace

void FindKeyPlaces() {
    if (g_win.keyVirtualFound) return;
    g_win.keyVirtualFound = true;
    for (int code = 1; code < 0x80; ++code) {
        // Scan codes of the first set, as Windows numbers them: left and right Ctrl, Alt and
        // Shift come back as their own virtual keys with MAPVK_VSC_TO_VK_EX.
        g_win.keyVirtual[code] = static_cast<int>(MapVirtualKeyW(static_cast<UINT>(code), MAPVK_VSC_TO_VK_EX));
    }
    for (const ExtendedKey& key : kExtendedKeys) g_win.keyVirtual[key.code] = key.virtualKey;
}

InputSnapshot TakeInputSnapshot() {
    InputSnapshot snapshot;
    FindKeyPlaces();
    BYTE state[256] = {};
    if (!GetKeyboardState(state)) return snapshot;
    for (int code = 0; code < kScanCodeCount; ++code) {
        const int virtualKey = g_win.keyVirtual[code];
        snapshot.keys[code] = virtualKey > 0 && virtualKey < 256 && (state[virtualKey] & 0x80) != 0;
    }
    snapshot.left = (state[VK_LBUTTON] & 0x80) != 0;
    snapshot.right = (state[VK_RBUTTON] & 0x80) != 0;
    return snapshot;
}

}  // namespace plat::win32ui

namespace plat {

using win32ui::g_win;

void InitKeyboard() { win32ui::FindKeyPlaces(); }
void InitMouse() {}

// The keys as of the event being handled; before the first event, the keys now.
void PollKeyboard() {
    const win32ui::InputSnapshot state = g_win.haveCurrent ? g_win.current : win32ui::TakeInputSnapshot();
    std::copy(std::begin(state.keys), std::end(state.keys), std::begin(g_win.keyboard.down));
}

bool KeyHeld(int code) { return g_win.keyboard.Held(code); }
bool KeyReleased(int code) { return g_win.keyboard.Released(code); }

void PollMouse() {
    POINT point{-1, -1};
    const bool known = GetCursorPos(&point) != FALSE;
    if (!known) point = POINT{-1, -1};
    g_win.motionX = g_win.haveLastMouse && known ? point.x - g_win.mouseX : 0;
    g_win.motionY = g_win.haveLastMouse && known ? point.y - g_win.mouseY : 0;
    g_win.haveLastMouse = known;
    g_win.mouseX = point.x;
    g_win.mouseY = point.y;
    g_win.wheel = g_win.pendingWheel;
    g_win.pendingWheel = 0;
    // The buttons as of the event being handled.
    const win32ui::InputSnapshot state = g_win.haveCurrent ? g_win.current : win32ui::TakeInputSnapshot();
    g_win.mouseLeft = state.left;
    g_win.mouseRight = state.right;
}

int MouseX() { return g_win.mouseX; }
int MouseY() { return g_win.mouseY; }
int MouseMotionX() { return g_win.motionX; }
int MouseMotionY() { return g_win.motionY; }
int MouseWheel() { return g_win.wheel; }
bool MouseLeft() { return g_win.mouseLeft; }
bool MouseRight() { return g_win.mouseRight; }

// The map builder has no joystick.
bool InitJoystick() { return false; }
void PollJoystick() {}
int JoystickX() { return 0; }
int JoystickY() { return 0; }
bool JoystickButton(int) { return false; }

}  // namespace plat
