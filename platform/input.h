// Keyboard, mouse and joystick, polled.
#pragma once

namespace plat {

// Scan codes used by the programs (DirectInput numbering).
enum ScanCode : int {
    kKeyEscape = 1,
    kKeyTab = 15,
    kKeyR = 19,
    kKeyU = 22,
    kKeyP = 25,
    kKeyLeftCtrl = 29,
    kKeyD = 32,
    kKeyG = 34,
    kKeyH = 35,
    kKeyK = 37,
    kKeyC = 46,
    kKeyM = 50,
    kKeyLeftAlt = 56,
    kKeyF5 = 63,
    kKeyUp = 200,
    kKeyPageUp = 201,
    kKeyLeft = 203,
    kKeyRight = 205,
    kKeyDown = 208,
    kKeyPageDown = 209,
};
constexpr int kScanCodeCount = 256;

void InitKeyboard();
void InitMouse();
// Reads the state of every key.
void PollKeyboard();
// True when the key was down at the last poll.
bool KeyHeld(int code);
// True at the first test after the key went up, if an earlier test of that key saw it down.
// Each key's mark changes only by tests of that key.
bool KeyReleased(int code);

void PollMouse();
int MouseX();           // screen pixels, -1 outside
int MouseY();
int MouseMotionX();     // pixels since the previous poll
int MouseMotionY();
int MouseWheel();       // notches since the previous poll
bool MouseLeft();
bool MouseRight();

// True when a joystick was found.
bool InitJoystick();
void PollJoystick();
int JoystickX();        // -1000..1000
int JoystickY();
bool JoystickButton(int button);  // numbered from 0

}  // namespace plat
