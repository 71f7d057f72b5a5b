// Numbered windows, the drawing screen inside a window, menus, controls and the window events
// of the map builder. Implemented by platform/ui (events, the pointer in a window) with
// platform/fltk (Linux) or platform/win32ui (Windows), and by platform/headless (the engine has
// none).
#pragma once
#include <string>

#include "platform/handles.h"

namespace plat {

// --- the desktop's work area ------------------------------------------------------------------
struct WorkArea {
    int x = 0, y = 0;           // pixels: top-left on the screen
    int width = 0, height = 0;  // pixels
};
// The part of the screen the desktop's panels leave free (the window manager's _NET_WORKAREA of
// the current desktop, within the screen); the whole screen when there is none.
WorkArea QueryWorkArea();

// --- windows ------------------------------------------------------------------------------------
enum class WindowStyle {
    kBorderless,  // no title bar, no border
    kTool,        // title bar with system menu, minimise and maximise buttons, resizable border
};
// Opens window `number` (chosen by the caller) with its outer top-left at (x, y); `owner` is the
// number of the window it belongs to, or 0 for none. False when it cannot be opened or the number
// is taken.
bool OpenWindow(int number, int x, int y, int width, int height, const std::string& title,
                WindowStyle style, int owner);
bool WindowExists(int number);
// Closes the window with its menus, controls and drawing screen. Unknown numbers are ignored.
void CloseWindow(int number);
// Raises the window and gives it the keyboard focus.
void ActivateWindow(int number);
void SetWindowTitle(int number, const std::string& title);
std::string WindowTitle(int number);
void ShowWindow(int number, bool shown);
bool WindowShown(int number);
int WindowClientWidth(int number);   // pixels, 0 for an unknown window
int WindowClientHeight(int number);

// Opens the drawing screen inside window `number` at (x, y) of its client area, width x height
// pixels, not stretched; rightOffset and bottomOffset are kept free at the window's right and
// bottom edges when the window is smaller. The display services (ClearScreen, Begin3D, sprites,
// text, Flip) then draw into it. False when it cannot be opened.
bool OpenWindowScreen(int number, int x, int y, int width, int height, int rightOffset,
                      int bottomOffset);

// --- drawing straight into a window's client area ---------------------------------------------------
// Not kept by the window: a repaint event asks the program to draw again.
void FillWindowRect(int number, int x, int y, int width, int height, Colour colour);
// Draws the image scaled to width x height with its top-left at (x, y).
void DrawWindowImage(int number, Image image, int x, int y, int width, int height);
// Text in the default font with its box filled with `background`, top-left at (x, y).
void DrawWindowText(int number, int x, int y, const std::string& text, Colour colour, Colour background);

// --- menus ----------------------------------------------------------------------------------------
// A menu bar numbered `menu` across the top of window `window`.
bool CreateMenuBar(int menu, int window);
bool MenuExists(int menu);
// A drop-down title; the following items go below it.
void AddMenuTitle(int menu, const std::string& title);
// An item of the last title; choosing it sends a menu event with `item`.
void AddMenuItem(int menu, int item, const std::string& text);
// A separator line after the last item.
void AddMenuSeparator(int menu);

// --- controls --------------------------------------------------------------------------------------
// Controls are numbered per window; adding one with a number in use replaces the old control.
// A sunken single-line text field that scrolls horizontally; its text optionally centred.
bool AddTextField(int window, int control, int x, int y, int width, int height,
                  const std::string& text, bool centred);
// A push button; `isDefault` makes it the default button (drawn as such, Return presses it).
bool AddButton(int window, int control, int x, int y, int width, int height,
               const std::string& text, bool isDefault);
bool ControlExists(int window, int control);
void SetControlTooltip(int window, int control, const std::string& text);
std::string ControlText(int window, int control);
void SetControlText(int window, int control, const std::string& text);
void SetControlBackground(int window, int control, Colour colour);
void SetControlTextColour(int window, int control, Colour colour);

// --- events ------------------------------------------------------------------------------------------
enum EventKind : int {
    kEventNone = 0,
    kEventResized = 5,
    kEventRepaint = 15,
    kEventCloseRequest = 16,
    kEventKeyDown = 256,
    kEventTimer = 275,        // a timer started with StartWindowTimer ran out
    kEventKeyUp = 257,
    kEventMouseMove = 512,
    kEventLeftButton = 513,   // left button pressed in a client area
    kEventButtonUp = 514,
    kEventRightButton = 516,
    kEventWheel = 522,
    kEventControl = 13100,    // `item` is the control number
    kEventMenu = 13101,       // `item` is the menu item number
};
struct WindowEvent {
    int kind = kEventNone;  // EventKind
    int window = 0;         // number of the window the event belongs to
    int item = 0;           // control or menu item number, 0 for other events
};
// Waits, blocking and without time-out, for the next event of any window of the process.
// Gives kEventNone when no window is open (nothing could ever arrive).
WindowEvent WaitEvent();
// Sends one kEventTimer event to window `number` after `milliseconds` (at least 1); a timer
// still pending for that window is replaced. The wait for events goes on meanwhile.
void StartWindowTimer(int number, int milliseconds);

// --- mouse per window ----------------------------------------------------------------------------------
// The pointer position of the last PollMouse in the client area of window `number`; -1 outside.
int WindowMouseX(int number);
int WindowMouseY(int number);
// The pointer position now (not as of the last poll) in the client area of window `number`;
// false, with -1 in both, when the pointer is outside it.
bool PointerInWindow(int number, int& x, int& y);

}  // namespace plat
