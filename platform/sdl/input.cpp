// Keyboard, mouse and joystick through SDL: DirectInput-style scan codes mapped to SDL
// scancodes, the mouse relative to the screen window, the first joystick.
#include <algorithm>
#include <iterator>

#include "platform/input.h"
#include "platform/sdl/sdl_state.h"

namespace plat::sdl {

namespace {

struct KeyMapping {
    int code;             // DirectInput-style scan code
    SDL_Scancode scancode;
};

constexpr KeyMapping kKeyMap[] = {
    {1, SDL_SCANCODE_ESCAPE},
    {2, SDL_SCANCODE_1}, {3, SDL_SCANCODE_2}, {4, SDL_SCANCODE_3}, {5, SDL_SCANCODE_4},
    {6, SDL_SCANCODE_5}, {7, SDL_SCANCODE_6}, {8, SDL_SCANCODE_7}, {9, SDL_SCANCODE_8},
    {10, SDL_SCANCODE_9}, {11, SDL_SCANCODE_0},
    {12, SDL_SCANCODE_MINUS}, {13, SDL_SCANCODE_EQUALS}, {14, SDL_SCANCODE_BACKSPACE},
    {15, SDL_SCANCODE_TAB},
    {16, SDL_SCANCODE_Q}, {17, SDL_SCANCODE_W}, {18, SDL_SCANCODE_E}, {19, SDL_SCANCODE_R},
    {20, SDL_SCANCODE_T}, {21, SDL_SCANCODE_Y}, {22, SDL_SCANCODE_U}, {23, SDL_SCANCODE_I},
    {24, SDL_SCANCODE_O}, {25, SDL_SCANCODE_P},
    {26, SDL_SCANCODE_LEFTBRACKET}, {27, SDL_SCANCODE_RIGHTBRACKET},
    {28, SDL_SCANCODE_RETURN}, {29, SDL_SCANCODE_LCTRL},
    {30, SDL_SCANCODE_A}, {31, SDL_SCANCODE_S}, {32, SDL_SCANCODE_D}, {33, SDL_SCANCODE_F},
    {34, SDL_SCANCODE_G}, {35, SDL_SCANCODE_H}, {36, SDL_SCANCODE_J}, {37, SDL_SCANCODE_K},
    {38, SDL_SCANCODE_L},
    {39, SDL_SCANCODE_SEMICOLON}, {40, SDL_SCANCODE_APOSTROPHE}, {41, SDL_SCANCODE_GRAVE},
    {42, SDL_SCANCODE_LSHIFT}, {43, SDL_SCANCODE_BACKSLASH},
    {44, SDL_SCANCODE_Z}, {45, SDL_SCANCODE_X}, {46, SDL_SCANCODE_C}, {47, SDL_SCANCODE_V},
    {48, SDL_SCANCODE_B}, {49, SDL_SCANCODE_N}, {50, SDL_SCANCODE_M},
    {51, SDL_SCANCODE_COMMA}, {52, SDL_SCANCODE_PERIOD}, {53, SDL_SCANCODE_SLASH},
    {54, SDL_SCANCODE_RSHIFT}, {55, SDL_SCANCODE_KP_MULTIPLY},
    {56, SDL_SCANCODE_LALT}, {57, SDL_SCANCODE_SPACE}, {58, SDL_SCANCODE_CAPSLOCK},
    {59, SDL_SCANCODE_F1}, {60, SDL_SCANCODE_F2}, {61, SDL_SCANCODE_F3}, {62, SDL_SCANCODE_F4},
    {63, SDL_SCANCODE_F5}, {64, SDL_SCANCODE_F6}, {65, SDL_SCANCODE_F7}, {66, SDL_SCANCODE_F8},
    {67, SDL_SCANCODE_F9}, {68, SDL_SCANCODE_F10},
    {87, SDL_SCANCODE_F11}, {88, SDL_SCANCODE_F12},
    {156, SDL_SCANCODE_KP_ENTER}, {157, SDL_SCANCODE_RCTRL}, {184, SDL_SCANCODE_RALT},
    {199, SDL_SCANCODE_HOME}, {200, SDL_SCANCODE_UP}, {201, SDL_SCANCODE_PAGEUP},
    {203, SDL_SCANCODE_LEFT}, {205, SDL_SCANCODE_RIGHT}, {207, SDL_SCANCODE_END},
    {208, SDL_SCANCODE_DOWN}, {209, SDL_SCANCODE_PAGEDOWN}, {210, SDL_SCANCODE_INSERT},
    {211, SDL_SCANCODE_DELETE},
};

// An axis of -32768..32767 as -1000..1000.
int ScaleAxis(int value) { return (value + 32768) * 2000 / 65535 - 1000; }

}  // namespace

void PumpEvents() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (event.type == SDL_MOUSEWHEEL) {
            const int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y
                                                                                 : event.wheel.y;
            g_sdl.mouse.pendingWheel += notches;
        }
    }
}

void CloseJoystick() {
    if (g_sdl.joystick != nullptr) {
        SDL_JoystickClose(g_sdl.joystick);
        g_sdl.joystick = nullptr;
    }
    g_sdl.joystickX = 0;
    g_sdl.joystickY = 0;
    std::fill(std::begin(g_sdl.joystickButtons), std::end(g_sdl.joystickButtons), false);
}

}  // namespace plat::sdl

namespace plat {

using sdl::g_sdl;

void InitKeyboard() { sdl::StartVideo(); }
void InitMouse() { sdl::StartVideo(); }

void PollKeyboard() {
    sdl::PumpEvents();
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    std::fill(std::begin(g_sdl.keyboard.down), std::end(g_sdl.keyboard.down), false);
    if (state == nullptr) return;
    for (const sdl::KeyMapping& key : sdl::kKeyMap) {
        if (key.scancode < count && state[key.scancode] != 0) g_sdl.keyboard.down[key.code] = true;
    }
}

bool KeyHeld(int code) { return g_sdl.keyboard.Held(code); }
bool KeyReleased(int code) { return g_sdl.keyboard.Released(code); }

void PollMouse() {
    sdl::PumpEvents();
    int globalX = 0;
    int globalY = 0;
    const Uint32 buttons = SDL_GetGlobalMouseState(&globalX, &globalY);
    MouseState& mouse = g_sdl.mouse;
    mouse.left = (buttons & SDL_BUTTON_LMASK) != 0;
    mouse.right = (buttons & SDL_BUTTON_RMASK) != 0;
    mouse.Poll(true, globalX, globalY);

    mouse.x = -1;
    mouse.y = -1;
    if (g_sdl.window == nullptr) return;
    // SDL refreshes the global position only on raw input events, which synthetic pointer
    // motion (XTest, as under Xvfb) need not produce; while the pointer is over the window,
    // the window's own motion events give its position.
    if (SDL_GetMouseFocus() == g_sdl.window) {
        SDL_GetMouseState(&mouse.x, &mouse.y);
        return;
    }
    int windowX = 0;
    int windowY = 0;
    int width = 0;
    int height = 0;
    SDL_GetWindowPosition(g_sdl.window, &windowX, &windowY);
    SDL_GetWindowSize(g_sdl.window, &width, &height);
    const int x = globalX - windowX;
    const int y = globalY - windowY;
    if (x >= 0 && y >= 0 && x < width && y < height) {
        mouse.x = x;
        mouse.y = y;
    }
}

int MouseX() { return g_sdl.mouse.x; }
int MouseY() { return g_sdl.mouse.y; }
int MouseMotionX() { return g_sdl.mouse.motionX; }
int MouseMotionY() { return g_sdl.mouse.motionY; }
int MouseWheel() { return g_sdl.mouse.wheel; }
bool MouseLeft() { return g_sdl.mouse.left; }
bool MouseRight() { return g_sdl.mouse.right; }

bool InitJoystick() {
    sdl::CloseJoystick();
    if (!sdl::StartSubsystem(SDL_INIT_JOYSTICK)) {
        return false;
    }
#ifdef __EMSCRIPTEN__
    // A page learns of a gamepad only once a button on it is pressed: the joystick counts as
    // present, and the first one to appear is opened when it does (until then it reads as
    // centred, with no button held).
    if (SDL_NumJoysticks() > 0) g_sdl.joystick = SDL_JoystickOpen(0);
    return true;
#else
    if (SDL_NumJoysticks() <= 0) return false;
    g_sdl.joystick = SDL_JoystickOpen(0);
    return g_sdl.joystick != nullptr;
#endif
}

void PollJoystick() {
#ifdef __EMSCRIPTEN__
    if (g_sdl.joystick == nullptr && SDL_WasInit(SDL_INIT_JOYSTICK) != 0) {
        SDL_JoystickUpdate();
        if (SDL_NumJoysticks() > 0) g_sdl.joystick = SDL_JoystickOpen(0);
    }
#endif
    if (g_sdl.joystick == nullptr) return;
    SDL_JoystickUpdate();
    g_sdl.joystickX = sdl::ScaleAxis(SDL_JoystickGetAxis(g_sdl.joystick, 0));
    g_sdl.joystickY = sdl::ScaleAxis(SDL_JoystickGetAxis(g_sdl.joystick, 1));
    const int buttons = std::min(SDL_JoystickNumButtons(g_sdl.joystick), sdl::kJoystickButtons);
    for (int i = 0; i < sdl::kJoystickButtons; ++i) {
        g_sdl.joystickButtons[i] = i < buttons && SDL_JoystickGetButton(g_sdl.joystick, i) != 0;
    }
}

int JoystickX() { return g_sdl.joystickX; }
int JoystickY() { return g_sdl.joystickY; }

bool JoystickButton(int button) {
    return button >= 0 && button < sdl::kJoystickButtons && g_sdl.joystickButtons[button];
}

}  // namespace plat
