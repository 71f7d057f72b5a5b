// The FLTK backend's one record (windows, menus, controls, the GL screen, the event queue, input)
// and the helpers its units share. Internal to platform/fltk.
#pragma once
#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Window.H>

#include <deque>
#include <map>
#include <string>

#include "platform/gl/renderer.h"
#include "platform/handles.h"
#include "platform/keyboard_state.h"
#include "platform/windows.h"

namespace plat::fltk {

constexpr int kMenuBarHeight = 25;  // pixels above a window's client area taken by its menu bar

class NumberedWindow;

// The drawing screen: a GL window inside a numbered window. Any expose repaints the last
// flipped frame, which Flip keeps as a texture.
class ScreenView : public Fl_Gl_Window {
public:
    ScreenView(int number, int x, int y, int width, int height);
    int number;  // the window it belongs to
    void draw() override;
    int handle(int event) override;
};

// A numbered top-level window: turns FLTK's events into queued window events.
class NumberedWindow : public Fl_Window {
public:
    NumberedWindow(int number, int x, int y, int width, int height, const char* title);
    int number;
    int owner = 0;
    int clientTop = 0;  // pixels taken by the menu bar at the top
    std::string title;  // FLTK keeps only a pointer to the label
    std::map<int, Fl_Widget*> controls;  // by control number
    int handle(int event) override;
    void draw() override;
    void resize(int x, int y, int width, int height) override;
};

struct MenuBarEntry {
    Fl_Menu_Bar* bar = nullptr;
    int window = 0;
    std::string title;  // the current drop-down title
    int lastIndex = -1; // index of the last item added (for separators)
};

// The keys and mouse buttons as FLTK knew them when an event was queued. The program's polls
// read the state of the event it is handling, so a press and a release that FLTK took in in
// one go still show as down at the first event and up at the second.
struct InputSnapshot {
    bool keys[kScanCodeCount] = {};  // by scan code
    bool left = false, right = false;
};

struct Backend {
    std::map<int, NumberedWindow*> windows;  // by window number
    std::map<int, MenuBarEntry> menus;       // by menu number
    std::deque<WindowEvent> events;
    std::deque<InputSnapshot> snapshots;  // one per queued event
    InputSnapshot current;                // of the event last handed out
    bool haveCurrent = false;

    ScreenView* screen = nullptr;
    int screenWindow = 0;
    Fl_Window* screenEdges[2] = {};  // strips kept free at the window's right and bottom edges
    gl::KeptFrame kept;              // the last flipped frame, repainted on exposes

    KeyboardState keyboard;
    int keyPlaces[kScanCodeCount] = {};  // X key code at each scan code's place (0: none)
    bool keyPlacesFound = false;
    int mouseX = -1, mouseY = -1;    // desktop pixels at the last poll
    int motionX = 0, motionY = 0;    // since the previous poll
    bool haveLastMouse = false;
    int wheel = 0;                   // notches at the last poll
    int pendingWheel = 0;            // notches seen in events since the last poll
    bool mouseLeft = false, mouseRight = false;
};

extern Backend g_fltk;

void Push(int kind, int window, int item);
// The keys and buttons now, as of the last event FLTK handled.
InputSnapshot TakeInputSnapshot();
// Queues a mouse or key event of FLTK as the window event of window `window`.
void PushInputEvent(int event, int window);
NumberedWindow* FindWindow(int number);
// Makes the screen's GL context current (before any drawing); false without a screen.
bool MakeScreenCurrent();
// Deletes the screen (renderer stopped first).
void DestroyScreen();
// Asks the window manager, if any, to give the X window the focus.
void AskToActivate(unsigned long xid);
// Shows the window (transient for its owner, when it has one) and waits (briefly) until the
// X server has mapped it.
void ShowAndWait(Fl_Window* window);

}  // namespace plat::fltk
