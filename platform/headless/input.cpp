// Headless keyboard, mouse and joystick: each poll copies the state the test set with
// SetKey / SetMouse / SetJoystick(Button), so input changes only at poll time, as on real devices.
#include <algorithm>
#include <iterator>

#include "platform/headless/state.h"

namespace plat {

using headless::g_headless;
using headless::kJoystickButtonCount;

void InitKeyboard() {}

void InitMouse() {}

void PollKeyboard() {
    g_headless.keyboardPolls += 1;
    if (g_headless.pollHook) g_headless.pollHook(g_headless.keyboardPolls);
    std::copy(std::begin(g_headless.nextKeys), std::end(g_headless.nextKeys),
              std::begin(g_headless.keyboard.down));
}

bool KeyHeld(int code) { return g_headless.keyboard.Held(code); }

bool KeyReleased(int code) { return g_headless.keyboard.Released(code); }

// Motion is the change of position between two polls that both saw the pointer on the screen;
// the wheel notches set by the test are consumed by the poll that reports them.
void PollMouse() {
    const headless::MouseState previous = g_headless.mouse;
    g_headless.mouse = g_headless.nextMouse;
    g_headless.nextMouse.wheel = 0;
    const bool bothInside = previous.x >= 0 && previous.y >= 0 && g_headless.mouse.x >= 0 &&
                            g_headless.mouse.y >= 0;
    g_headless.mouseMotionX = bothInside ? g_headless.mouse.x - previous.x : 0;
    g_headless.mouseMotionY = bothInside ? g_headless.mouse.y - previous.y : 0;
    for (headless::WindowRecord& window : g_headless.windows) {
        window.mouseX = window.nextMouseX;
        window.mouseY = window.nextMouseY;
    }
}

int MouseX() { return g_headless.mouse.x; }

int MouseY() { return g_headless.mouse.y; }

int MouseMotionX() { return g_headless.mouseMotionX; }

int MouseMotionY() { return g_headless.mouseMotionY; }

int MouseWheel() { return g_headless.mouse.wheel; }

bool MouseLeft() { return g_headless.mouse.left; }

bool MouseRight() { return g_headless.mouse.right; }

bool InitJoystick() {
    g_headless.joystickOpen = g_headless.joystickPresent;
    return g_headless.joystickOpen;
}

// Without an initialised joystick the axes read 0 and no button is down.
void PollJoystick() {
    const bool active = g_headless.joystickOpen && g_headless.joystickPresent;
    g_headless.joystickX = active ? std::clamp(g_headless.nextJoystickX, -1000, 1000) : 0;
    g_headless.joystickY = active ? std::clamp(g_headless.nextJoystickY, -1000, 1000) : 0;
    for (int i = 0; i < kJoystickButtonCount; ++i) {
        g_headless.joystickButtons[i] = active && g_headless.nextJoystickButtons[i];
    }
}

int JoystickX() { return g_headless.joystickX; }

int JoystickY() { return g_headless.joystickY; }

bool JoystickButton(int button) {
    if (button < 0 || button >= kJoystickButtonCount) return false;
    return g_headless.joystickButtons[button];
}

}  // namespace plat
