// The FLTK backend's one record (windows, menus, controls, the GL screen, the key places) and
// the helpers its units share; the event queue and the input polls are platform/ui's.
// Internal to platform/fltk.
#pragma once
#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Window.H>

#include <map>
#include <string>

#include "platform/handles.h"
#include "platform/ui/ui_state.h"
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

using ui::g_ui;
using ui::MakeScreenCurrent;
using ui::Push;

struct Backend {
    std::map<int, NumberedWindow*> windows;  // by window number
    std::map<int, MenuBarEntry> menus;       // by menu number

    ScreenView* screen = nullptr;
    int screenWindow = 0;
    Fl_Window* screenEdges[2] = {};  // strips kept free at the window's right and bottom edges

    int keyPlaces[kScanCodeCount] = {};  // X key code at each scan code's place (0: none)
    bool keyPlacesFound = false;
};

extern Backend g_fltk;

// Queues a mouse or key event of FLTK as the window event of window `window`.
void PushInputEvent(int event, int window);
NumberedWindow* FindWindow(int number);
// Asks the window manager, if any, to give the X window the focus.
void AskToActivate(unsigned long xid);
// Connects to the X server of DISPLAY once; true when connected. A server that is resetting
// refuses connections for a moment: it is asked again for a few seconds before FLTK's own
// "Can't open display" ends the program, as it did before.
bool OpenDisplay();
// Shows the window (transient for its owner, when it has one) and waits (briefly) until the
// X server has mapped it.
void ShowAndWait(Fl_Window* window);

}  // namespace plat::fltk
