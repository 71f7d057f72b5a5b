// The keys and buttons of the Win32 backend for platform/ui's polls: keys by DirectInput-style
// scan code and the mouse buttons as the thread's keyboard state has them when an event is
// queued, the pointer on the desktop. Keys are told apart by their place on the keyboard, not
// by their labels: each scan code's virtual key comes from the keyboard layout
// (MapVirtualKeyW), so the key where a US keyboard has U acts as U on every layout.

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

}  // namespace plat::win32ui

namespace plat::ui {

using win32ui::g_win;

// The thread's keyboard state follows the messages taken from the queue so far.
InputSnapshot TakeInputSnapshot() {
    InputSnapshot snapshot;
    win32ui::FindKeyPlaces();
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

InputSnapshot InputNow() { return TakeInputSnapshot(); }

bool ToolkitHasKeys() { return g_win.inMenuLoop || g_win.boxesOpen > 0; }

bool PointerOnDesktop(int& x, int& y) {
    POINT point;
    if (!GetCursorPos(&point)) return false;
    x = point.x;
    y = point.y;
    return true;
}

}  // namespace plat::ui

namespace plat {

void InitKeyboard() { win32ui::FindKeyPlaces(); }
void InitMouse() {}

}  // namespace plat
