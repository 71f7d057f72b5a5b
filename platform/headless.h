// Test controls of the headless backend: desktop size, manual clock, scripted input and
// message-box answers, and the recording of every draw call.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/windows.h"

namespace plat::headless {

// Resets the whole backend: desktop 1280x1024x32, clock 0, random seed 1, no keys, no joystick,
// no images or drawables, empty recordings.
void Reset();
void SetDesktop(int width, int height, int depth);
// When set, OpenScreen fails.
void SetScreenFails(bool fails);

void SetClock(int64_t milliseconds);
void AdvanceClock(int64_t milliseconds);
// Total of all SleepMs calls since Reset.
int64_t SleptMilliseconds();

// Called at the start of every PollKeyboard with the number of that poll (1 for the first),
// before the key state is taken: a test scripts keys per frame, or injects a fault, from here.
void SetPollHook(std::function<void(int poll)> hook);

// Key state seen by the next PollKeyboard.
void SetKey(int code, bool down);
void SetMouse(int x, int y, bool left, bool right, int wheel);
void SetJoystick(bool present, int x, int y);
// Button state (numbered from 0) seen by the next PollJoystick.
void SetJoystickButton(int button, bool down);

// Sound files "load" when they exist on disk.
struct SoundRecord {
    std::string path;
    bool playing = false;
    bool freed = false;
};
const std::vector<SoundRecord>& Sounds();

// Every message box is recorded and also written to stderr as "MESSAGEBOX title: text", so a
// test of a path that ends the process can still see the boxes.
struct MessageBoxRecord {
    std::string title;
    std::string text;
};
const std::vector<MessageBoxRecord>& MessageBoxes();
// Answer of the next AskYesNo calls (default true).
void SetYesNoAnswer(bool yes);

// Programs "started" through StartProgram are recorded, not run; each counts as running until
// the test ends it.
struct StartRecord {
    std::string path;
    std::vector<std::string> arguments;
    std::string directory;
    bool running = true;
};
const std::vector<StartRecord>& StartedPrograms();
// When set, StartProgram fails (as when the file cannot be executed).
void SetStartFails(bool fails);
// Every recorded program ends.
void EndStartedPrograms();
// The process handles BringProgramToFront was asked for, in order (running programs only).
const std::vector<int>& ProgramsBroughtToFront();

struct DrawRecord {
    enum Kind {
        kClear, kBegin3D, kEnd3D, kSprite, kBlend, kText, kBox, kPixel, kFlip,
        kWindowFill, kWindowImage, kWindowText,  // drawing straight into window `window`
    } kind;
    int window = 0;            // kWindowFill, kWindowImage, kWindowText
    int drawable = -1;         // kSprite
    int image = -1;            // kSprite: the image the drawable shows; kWindowImage: the image
    int x = 0, y = 0;          // position
    int width = 0, height = 0; // kSprite: zoomed size; kBox, kWindowFill, kWindowImage: size
    Corner corners[4];         // kSprite
    int opacity = 0;           // kSprite
    int source = 0, destination = 0;  // kBlend
    std::string text;          // kText, kWindowText
    Colour colour;             // kText, kBox, kPixel, kClear, kWindowFill, kWindowText
    Colour background;         // kWindowText
    bool filled = false;       // kBox; kText: opaque background
};
const std::vector<DrawRecord>& Draws();
void ClearDraws();

// Images are decoded for real; these report what is alive.
int LiveImages();
int LiveDrawables();
// Number of LoadImage calls since Reset (decodes from disk).
int ImageLoads();
std::string ImagePath(Image image);
bool NearestSampling();

// --- windows, menus, controls, events and requesters (map builder) ---------------------------------
struct ControlRecord {
    enum Kind { kTextField, kButton } kind = kTextField;
    int number = 0;
    int x = 0, y = 0, width = 0, height = 0;  // pixels in the window's client area
    std::string text;
    bool centred = false;       // text field: centred text
    bool isDefault = false;     // button: default button
    std::string tooltip;
    Colour background{255, 255, 255};
    Colour textColour{0, 0, 0};
};
struct WindowRecord {
    int number = 0;
    int x = 0, y = 0, width = 0, height = 0;  // pixels
    std::string title;
    WindowStyle style = WindowStyle::kTool;
    int owner = 0;
    bool shown = true;
    bool hasScreen = false;                    // OpenWindowScreen succeeded
    int screenX = 0, screenY = 0;              // the drawing screen's place in the client area
    std::vector<ControlRecord> controls;       // in creation order; a replaced control keeps its place
    int nextMouseX = -1, nextMouseY = -1;      // seen by the next PollMouse
    int mouseX = -1, mouseY = -1;              // at the last PollMouse
};
struct MenuEntry {
    enum Kind { kTitle, kItem, kSeparator } kind = kTitle;
    int item = 0;  // kItem
    std::string text;
};
struct MenuRecord {
    int number = 0;
    int window = 0;
    std::vector<MenuEntry> entries;  // in creation order
};
struct RequesterRecord {
    bool save = false;  // save-file or folder requester, else open-file
    std::string title;
    std::string startPath;
    std::string pattern;
};

// The open windows in opening order; nullptr for a number that is not open.
const std::vector<WindowRecord>& Windows();
const WindowRecord* FindWindow(int number);
const ControlRecord* FindControl(int window, int control);
// Numbers of the windows closed since Reset, in closing order.
const std::vector<int>& ClosedWindows();
int ActiveWindow();
// When set, OpenWindow of this number fails.
void SetWindowFails(int number, bool fails);
const MenuRecord* FindMenu(int number);
// Pointer position in a window's client area seen by the next PollMouse (-1 outside).
void SetWindowMouse(int window, int x, int y);

// Events handed out by WaitEvent in order. WaitEvent with no event left while windows are open
// would block for ever: the backend reports it on stderr and ends the process with exit code 86.
// A timer started with StartWindowTimer is handed out as a kEventTimer event once the clock
// reaches it, or (advancing the clock) when no scripted event is left.
void PushEvent(WindowEvent event);
size_t PendingEvents();
// Answers of the next file requesters, in order ("" cancels); without one the requester cancels.
void PushRequesterAnswer(const std::string& path);
const std::vector<RequesterRecord>& Requesters();
// Yes/No answers of the next AskYesNo calls, in order; when none is queued SetYesNoAnswer's holds.
void PushYesNoAnswer(bool yes);

}  // namespace plat::headless
