// Keyboard and mouse of the FLTK backend: keys held by DirectInput-style scan code, read from
// the X server's key map (whichever window has the focus); the pointer on the desktop and in
// each window; wheel notches gathered from the window events.
#include <FL/x.H>

#include <algorithm>
#include <iterator>

#include "platform/fltk/fltk_state.h"
#include "platform/input.h"

namespace plat::fltk {

namespace {

struct KeyMapping {
    int code;    // DirectInput-style scan code
    int keysym;  // FLTK key (X keysym)
};

constexpr KeyMapping kKeyMap[] = {
    {1, FL_Escape}, {2, '1'}, {3, '2'}, {4, '3'}, {5, '4'}, {6, '5'}, {7, '6'}, {8, '7'},
    {9, '8'}, {10, '9'}, {11, '0'}, {12, '-'}, {13, '='}, {14, FL_BackSpace}, {15, FL_Tab},
    {16, 'q'}, {17, 'w'}, {18, 'e'}, {19, 'r'}, {20, 't'}, {21, 'y'}, {22, 'u'}, {23, 'i'},
    {24, 'o'}, {25, 'p'}, {26, '['}, {27, ']'}, {28, FL_Enter}, {29, FL_Control_L},
    {30, 'a'}, {31, 's'}, {32, 'd'}, {33, 'f'}, {34, 'g'}, {35, 'h'}, {36, 'j'}, {37, 'k'},
    {38, 'l'}, {39, ';'}, {40, '\''}, {41, '`'}, {42, FL_Shift_L}, {43, '\\'},
    {44, 'z'}, {45, 'x'}, {46, 'c'}, {47, 'v'}, {48, 'b'}, {49, 'n'}, {50, 'm'},
    {51, ','}, {52, '.'}, {53, '/'}, {54, FL_Shift_R}, {56, FL_Alt_L}, {57, ' '},
    {58, FL_Caps_Lock}, {59, FL_F + 1}, {60, FL_F + 2}, {61, FL_F + 3}, {62, FL_F + 4},
    {63, FL_F + 5}, {64, FL_F + 6}, {65, FL_F + 7}, {66, FL_F + 8}, {67, FL_F + 9},
    {68, FL_F + 10}, {87, FL_F + 11}, {88, FL_F + 12}, {156, FL_KP_Enter},
    {157, FL_Control_R}, {184, FL_Alt_R}, {199, FL_Home}, {200, FL_Up}, {201, FL_Page_Up},
    {203, FL_Left}, {205, FL_Right}, {207, FL_End}, {208, FL_Down}, {209, FL_Page_Down},
    {210, FL_Insert}, {211, FL_Delete},
};

}  // namespace

}  // namespace plat::fltk

namespace plat {

using fltk::g_fltk;

void InitKeyboard() {
    if (fl_display == nullptr) fl_open_display();
}

void InitMouse() {
    if (fl_display == nullptr) fl_open_display();
}

// One query of the whole key map per poll.
void PollKeyboard() {
    std::fill(std::begin(g_fltk.keyboard.down), std::end(g_fltk.keyboard.down), false);
    if (fl_display == nullptr) return;
    char keys[32] = {};
    XQueryKeymap(fl_display, keys);
    for (const fltk::KeyMapping& key : fltk::kKeyMap) {
        const KeyCode keycode = XKeysymToKeycode(fl_display, static_cast<KeySym>(key.keysym));
        if (keycode != 0 && (keys[keycode / 8] & (1 << (keycode % 8))) != 0) {
            g_fltk.keyboard.down[key.code] = true;
        }
    }
}

bool KeyHeld(int code) { return g_fltk.keyboard.Held(code); }
bool KeyReleased(int code) { return g_fltk.keyboard.Released(code); }

void PollMouse() {
    int x = -1, y = -1;
    if (fl_display != nullptr) Fl::get_mouse(x, y);
    g_fltk.motionX = g_fltk.haveLastMouse ? x - g_fltk.mouseX : 0;
    g_fltk.motionY = g_fltk.haveLastMouse ? y - g_fltk.mouseY : 0;
    g_fltk.haveLastMouse = fl_display != nullptr;
    g_fltk.mouseX = x;
    g_fltk.mouseY = y;
    g_fltk.wheel = g_fltk.pendingWheel;
    g_fltk.pendingWheel = 0;
    // The buttons as of the last event FLTK handled (the wait runs right before every poll).
    g_fltk.mouseLeft = (Fl::event_state() & FL_BUTTON1) != 0;
    g_fltk.mouseRight = (Fl::event_state() & FL_BUTTON3) != 0;
}

int MouseX() { return g_fltk.mouseX; }
int MouseY() { return g_fltk.mouseY; }
int MouseMotionX() { return g_fltk.motionX; }
int MouseMotionY() { return g_fltk.motionY; }
int MouseWheel() { return g_fltk.wheel; }
bool MouseLeft() { return g_fltk.mouseLeft; }
bool MouseRight() { return g_fltk.mouseRight; }

// The map builder has no joystick.
bool InitJoystick() { return false; }
void PollJoystick() {}
int JoystickX() { return 0; }
int JoystickY() { return 0; }
bool JoystickButton(int) { return false; }

}  // namespace plat
