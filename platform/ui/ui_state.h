// The toolkit-neutral half of the map builder's window backends (platform/fltk on Linux,
// platform/win32ui on Windows): the window event queue with the input state of each event, the
// key and mouse polls, the screen's flip and kept frame, and the release of everything. Its one
// record, and the short list of what only a toolkit can do, which each window backend
// implements. Internal to platform/ui and the window backends.
#pragma once
#include <deque>

#include "platform/gl/renderer.h"
#include "platform/input.h"
#include "platform/keyboard_state.h"
#include "platform/mouse_state.h"
#include "platform/windows.h"

namespace plat::ui {

// The keys (by DirectInput scan code) and mouse buttons as they were when an event was queued.
// The program's polls read the state of the event it is handling, so a press and a release
// that the toolkit took in in one go still show as down at the first event and up at the second.
struct InputSnapshot {
    bool keys[kScanCodeCount] = {};
    bool left = false, right = false;
};

struct Shared {
    std::deque<WindowEvent> events;
    std::deque<InputSnapshot> snapshots;  // one per queued event
    InputSnapshot current;                // of the event last handed out
    InputSnapshot beforeToolkitKeys;      // of the last event queued while the program had the keys
    bool haveCurrent = false;
    KeyboardState keyboard;
    MouseState mouse;                     // x, y: desktop pixels
    gl::KeptFrame kept;                   // the last flipped frame, repainted on exposes
};

extern Shared g_ui;

// Queues a window event with the keys and buttons as the toolkit has them now.
void Push(int kind, int window, int item);
// Starts the renderer on the screen the toolkit has just made (its context usable when
// `contextMade`) and clears it; on failure the screen is released again. False then.
bool StartScreen(bool contextMade, int width, int height);
// Stops the renderer on the screen (its kept frame freed) and has the toolkit delete it.
void ReleaseScreen();

// --- what only a toolkit can do ---------------------------------------------------------------
// Handles what the toolkit has pending and, while no window event is queued, waits for one
// native event and handles it. False when nothing can ever arrive (no window open, or the
// program was asked to quit).
bool PumpEvent();
// The keys and buttons as of the native event being handled (for the event queued with it).
InputSnapshot TakeInputSnapshot();
// The keys and buttons now, for polls made before the first event was handed out.
InputSnapshot InputNow();
// True while a menu, box or requester of the toolkit has the keyboard (its own loop runs).
bool ToolkitHasKeys();
// The pointer on the desktop; false when it cannot be read.
bool PointerOnDesktop(int& x, int& y);
// The desktop point in the client area of shown window `number`; false (x and y untouched)
// when the window is unknown or hidden, or the point lies outside its client area.
bool DesktopPointInClient(int number, int desktopX, int desktopY, int& x, int& y);
// True while a drawing screen exists.
bool ScreenExists();
// Makes the screen's GL context current (before any drawing); false without a screen.
bool MakeScreenCurrent();
// Shows the finished back buffer (the screen's context is current).
void SwapScreen();
// Deletes the screen and its context (the renderer no longer runs on it).
void DestroyScreen();
// Closes every window with its menus and controls, and frees the toolkit's own resources.
void DestroyWindows();

}  // namespace plat::ui
