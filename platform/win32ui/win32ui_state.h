// The Win32 window backend's one record (numbered windows, menus, controls, the WGL screen, the
// key places) and the helpers its units share; the event queue and the input polls are
// platform/ui's. Internal to platform/win32ui.
#pragma once
#include "platform/win32/wide.h"

#include <map>
#include <string>

#include "platform/handles.h"
#include "platform/ui/ui_state.h"
#include "platform/windows.h"

namespace plat::win32ui {

// A text field or button of a numbered window; its Win32 control id is its number.
struct ControlEntry {
    HWND hwnd = nullptr;
    bool isEdit = false;
    bool isDefault = false;      // a default button: Return presses it
    bool hasBackground = false;  // the caller set a background colour
    COLORREF background = 0;
    HBRUSH backgroundBrush = nullptr;
    bool hasTextColour = false;
    COLORREF textColour = 0;
};

struct WindowEntry {
    HWND hwnd = nullptr;
    int owner = 0;
    bool tool = false;           // title bar and frame (kTool); otherwise borderless
    std::string title;
    HMENU menuBar = nullptr;     // its menu bar, once CreateMenuBar made one
    HWND tooltips = nullptr;     // the tooltip window of its controls, made with the first tip
    int openedWidth = 0, openedHeight = 0;  // client pixels asked for when it was opened
    int clientWidth = 0, clientHeight = 0;  // pixels, as last reported (resize events)
    std::map<int, ControlEntry> controls;   // by control number
};

struct MenuEntry {
    HMENU bar = nullptr;
    HMENU title = nullptr;  // the current drop-down, where items go
    int window = 0;
};

using ui::g_ui;
using ui::MakeScreenCurrent;
using ui::Push;

struct Backend {
    HINSTANCE instance = nullptr;
    bool classesRegistered = false;
    bool inDialogManager = false;  // IsDialogMessageW is handling a message
    void* boxProc = nullptr;       // the Yes/No box's own window procedure while it is open
    bool inMenuLoop = false;       // a menu is open (Windows' own loop runs it)
    int boxesOpen = 0;             // message boxes and file dialogs open
    std::map<int, WindowEntry> windows;  // by window number
    std::map<int, MenuEntry> menus;      // by menu number

    HWND screen = nullptr;        // the window carrying the drawing screen (screenWindow's)
    HDC screenDc = nullptr;       // its own device context (CS_OWNDC)
    HGLRC context = nullptr;
    int screenWindow = 0;
    int edgeRight = 0, edgeBottom = 0;  // pixels kept free at the screen's right and bottom
    HFONT textFont = nullptr;     // of DrawWindowText, made at its first use

    int keyVirtual[kScanCodeCount] = {};  // the virtual key at each scan code's place (0: none)
    bool keyVirtualFound = false;
};

extern Backend g_win;

constexpr wchar_t kWindowClass[] = L"PlomNumberedWindow";

// Registers the window classes once; false when that fails.
bool RegisterClasses();
WindowEntry* FindEntry(int number);
// The number of the numbered window `hwnd` is, or lies inside (a control, the screen); 0 for none.
int WindowNumberOf(HWND hwnd);
// Shows the frame last flipped again, after an expose (display.cpp).
void RepaintScreen();
// Fills `keyVirtual` from the keyboard layout of the thread (input.cpp).
void FindKeyPlaces();

}  // namespace plat::win32ui
