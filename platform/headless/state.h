// The headless backend's one static record: screen, images, drawables, input, sound, dialogs,
// the manual clock and the draw recording. Shared by the units of platform/headless only.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/headless.h"
#include "platform/images.h"
#include "platform/keyboard_state.h"

namespace plat::headless {

constexpr int kJoystickButtonCount = 32;

struct ImageEntry {
    bool live = false;
    std::string path;  // "" for grabbed images
    Pixels pixels;
};

struct DrawableEntry {
    bool live = false;
    int image = -1;               // index into images
    int width = 0, height = 0;    // pixels, the zoomed size
    Corner corners[4];            // top-left, top-right, bottom-right, bottom-left
};

struct MouseState {
    int x = -1, y = -1;           // screen pixels, -1 outside
    bool left = false, right = false;
    int wheel = 0;                // notches
};

struct HeadlessState {
    // display
    DesktopInfo desktop{1280, 1024, 32};
    bool screenFails = false;
    bool screenOpen = false;
    int screenWidth = 0, screenHeight = 0;  // pixels, 0 while closed
    std::string screenTitle;
    Colour clearColour;                     // last ClearScreen colour, the grab fill
    bool nearestSampling = true;
    int blendSource = 5, blendDestination = 6;  // current blend factors, 1..13

    // images and drawables: a handle is an index; entries are never reused, so stale handles stay invalid
    std::vector<ImageEntry> images;
    std::vector<DrawableEntry> drawables;
    int imageLoads = 0;                     // LoadImage calls since Reset

    // manual clock
    int64_t clock = 0;                      // milliseconds
    int64_t slept = 0;                      // milliseconds, sum of SleepMs

    // input: the "next" values are set by tests and copied by the polls
    std::function<void(int)> pollHook;      // called at the start of every PollKeyboard
    int keyboardPolls = 0;                  // PollKeyboard calls since Reset
    bool nextKeys[kScanCodeCount] = {};
    KeyboardState keyboard;
    MouseState nextMouse;
    MouseState mouse;                       // at the last poll
    int mouseMotionX = 0, mouseMotionY = 0; // pixels since the previous poll
    bool joystickPresent = false;
    int nextJoystickX = 0, nextJoystickY = 0;
    bool nextJoystickButtons[kJoystickButtonCount] = {};
    bool joystickOpen = false;              // InitJoystick found one
    int joystickX = 0, joystickY = 0;       // -1000..1000 at the last poll
    bool joystickButtons[kJoystickButtonCount] = {};

    // sound and dialogs
    std::vector<SoundRecord> sounds;        // a sound handle is an index
    std::vector<MessageBoxRecord> messageBoxes;
    bool yesNoAnswer = true;

    std::vector<DrawRecord> draws;

    // windows (map builder)
    std::vector<WindowRecord> windows;      // open windows in opening order
    std::vector<int> closedWindows;         // in closing order
    std::vector<int> failingWindows;        // numbers whose OpenWindow fails
    int activeWindow = 0;
    int screenWindow = 0;                   // window holding the drawing screen, 0 for none
    std::vector<MenuRecord> menus;
    std::deque<WindowEvent> events;
    std::deque<std::string> requesterAnswers;
    std::vector<RequesterRecord> requesters;
    std::deque<bool> yesNoAnswers;
    int timerWindow = 0;                    // window of the pending timer, 0 for none
    int64_t timerDue = 0;                   // clock value at which it runs out

    // started programs: a process handle is an index
    std::vector<StartRecord> started;
    bool startFails = false;
    std::vector<int> broughtToFront;        // process handles, in the order of the requests
};

extern HeadlessState g_headless;

}  // namespace plat::headless
