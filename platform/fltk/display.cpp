// The drawing screen of the FLTK backend: a GL window inside a numbered window, sharing the
// platform/gl renderer with the engine; the desktop and work-area queries and the buffer flip.
#include <FL/x.H>
#include <X11/Xatom.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/display.h"
#include "platform/windows.h"
#include "platform/fltk/fltk_state.h"
#include "platform/gl/renderer.h"

namespace plat::fltk {

namespace {
constexpr int kDisplayTries = 60;      // 3 s in all
constexpr int kDisplayRetryMs = 50;
}  // namespace

bool OpenDisplay() {
    if (fl_display != nullptr) return true;
    // An X server without a session of its own (a bare Xvfb or Xorg) resets when its last client
    // leaves and refuses connections for a moment while it does. A display that does not exist
    // costs these seconds once before the message.
    const char* name = std::getenv("DISPLAY");
    if (name != nullptr && *name != '\0') {
        for (int tries = 0; tries < kDisplayTries; ++tries) {
            if (Display* display = XOpenDisplay(nullptr)) {
                fl_open_display(display);
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(kDisplayRetryMs));
        }
    }
    fl_open_display();  // says "Can't open display" and ends the program
    return fl_display != nullptr;
}

ScreenView::ScreenView(int number, int x, int y, int width, int height)
    : Fl_Gl_Window(x, y, width, height), number(number) {
    // FL_OPENGL3: a core context of OpenGL 3.x, in which the renderer's shaders run.
    mode(FL_RGB8 | FL_DOUBLE | FL_OPENGL3);
}

// An expose repaints the frame last flipped (the program draws only after events).
void ScreenView::draw() {
    if (!gl::RendererRunning()) return;
    if (!g_ui.kept.drawable.Valid()) {
        ClearScreen(Colour{});
        gl::FinishFrame();
        return;
    }
    Begin3D();
    DrawDrawable(g_ui.kept.drawable, 0, 0, 255);
    End3D();
}

int ScreenView::handle(int event) {
    switch (event) {
        case FL_PUSH:
            if (Fl::event_button() == FL_LEFT_MOUSE) Push(kEventLeftButton, number, 0);
            if (Fl::event_button() == FL_RIGHT_MOUSE) Push(kEventRightButton, number, 0);
            return 1;
        case FL_ENTER:
        case FL_LEAVE:
        case FL_FOCUS:
        case FL_UNFOCUS:
            return 1;
        case FL_KEYDOWN:
        case FL_KEYUP:
            return 1;  // queued by DispatchEvent
        case FL_MOVE:
        case FL_DRAG:
        case FL_RELEASE:
        case FL_MOUSEWHEEL:
            PushInputEvent(event, number);
            return 1;
        default:
            return Fl_Gl_Window::handle(event);
    }
}

namespace {

// Keys pressed over the screen's window belong to it, whichever window or widget holds the
// keyboard focus (a window manager gives it to the window clicked last, and a text field of a
// tool window would take them otherwise): they are queued here, before FLTK hands them to a
// widget. While a box, requester or menu is open, keys are left to it.
int DispatchEvent(int event, Fl_Window* window) {
    const bool key = event == FL_KEYDOWN || event == FL_KEYUP;
    if (key && window != nullptr && g_fltk.screen != nullptr && !ui::ToolkitHasKeys()) {
        Fl_Window* screenTop = g_fltk.screen->top_window();
        Fl_Widget* pointed = Fl::belowmouse();
        const bool overScreen = pointed != nullptr && pointed->top_window() == screenTop;
        if (window->top_window() == screenTop || overScreen) {
            PushInputEvent(event, g_fltk.screenWindow);
            return 1;
        }
    }
    return Fl::handle_(event, window);
}

}  // namespace

}  // namespace plat::fltk

namespace plat::ui {

using fltk::g_fltk;

bool ScreenExists() { return g_fltk.screen != nullptr; }

bool MakeScreenCurrent() {
    if (g_fltk.screen == nullptr || !g_fltk.screen->shown()) return false;
    g_fltk.screen->make_current();
    return true;
}

void SwapScreen() { g_fltk.screen->swap_buffers(); }

void DestroyScreen() {
    if (g_fltk.screen == nullptr) return;
    Fl_Window* parent = g_fltk.screen->window();
    for (Fl_Window*& edge : g_fltk.screenEdges) {
        if (edge == nullptr) continue;
        if (parent != nullptr) parent->remove(edge);
        edge->hide();
        delete edge;
        edge = nullptr;
    }
    if (parent != nullptr) parent->remove(g_fltk.screen);
    g_fltk.screen->hide();
    delete g_fltk.screen;
    g_fltk.screen = nullptr;
    g_fltk.screenWindow = 0;
}

}  // namespace plat::ui

namespace plat {

using fltk::g_fltk;

DesktopInfo QueryDesktop() {
    DesktopInfo info;
    if (!fltk::OpenDisplay()) return info;
    int x = 0, y = 0;
    Fl::screen_xywh(x, y, info.width, info.height, 0);
    info.depth = fl_visual != nullptr ? fl_visual->depth : 24;
    return info;
}

namespace {

// The 32-bit cardinals of a property of the root window; empty when it is missing.
std::vector<long> RootCardinals(const char* name) {
    std::vector<long> values;
    const Atom property = XInternAtom(fl_display, name, True);
    if (property == None) return values;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(fl_display, RootWindow(fl_display, fl_screen), property, 0, 1024, False,
                                          XA_CARDINAL, &type, &format, &count, &remaining, &data);
    if (status == Success && type == XA_CARDINAL && format == 32 && data != nullptr) {
        const long* longs = reinterpret_cast<const long*>(data);  // format 32 arrives as longs
        values.assign(longs, longs + count);
    }
    if (data != nullptr) XFree(data);
    return values;
}

}  // namespace

WorkArea QueryWorkArea() {
    const DesktopInfo desktop = QueryDesktop();
    WorkArea screen{0, 0, desktop.width, desktop.height};
    if (fl_display == nullptr) return screen;
    // One x, y, width, height per virtual desktop; the current desktop's applies.
    const std::vector<long> areas = RootCardinals("_NET_WORKAREA");
    const std::vector<long> current = RootCardinals("_NET_CURRENT_DESKTOP");
    size_t first = current.empty() ? 0 : static_cast<size_t>(current[0]) * 4;
    if (first + 4 > areas.size()) first = 0;
    if (areas.size() < 4) return screen;
    // Kept within the screen: a work area spanning several screens is cut to the first.
    const long left = std::max(areas[first], 0L), top = std::max(areas[first + 1], 0L);
    const long right = std::min(areas[first] + areas[first + 2], static_cast<long>(screen.width));
    const long bottom = std::min(areas[first + 1] + areas[first + 3], static_cast<long>(screen.height));
    if (right <= left || bottom <= top) return screen;
    return WorkArea{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                    static_cast<int>(bottom - top)};
}

bool OpenWindowScreen(int number, int x, int y, int width, int height, int rightOffset,
                      int bottomOffset) {
    fltk::NumberedWindow* window = fltk::FindWindow(number);
    if (window == nullptr || g_fltk.screen != nullptr || width <= 0 || height <= 0) return false;
    auto* view = new fltk::ScreenView(number, x, y + window->clientTop, width, height);
    window->add(view);
    g_fltk.screen = view;
    g_fltk.screenWindow = number;
    Fl::event_dispatch(fltk::DispatchEvent);
    view->show();
    // The offsets stay free at the window's right and bottom edges: two strips in the window's
    // colour are stacked over the screen there. The screen keeps its size and is not stretched,
    // so drawing and grabs are unchanged; only what lies under the strips is not shown.
    const int strips[2][4] = {
        {window->w() - rightOffset, window->clientTop, rightOffset, window->h() - window->clientTop},
        {0, window->h() - bottomOffset, window->w(), bottomOffset}};
    for (int i = 0; i < 2; ++i) {
        if (strips[i][2] <= 0 || strips[i][3] <= 0) continue;
        auto* edge = new Fl_Window(strips[i][0], strips[i][1], strips[i][2], strips[i][3]);
        edge->end();
        edge->box(FL_FLAT_BOX);
        edge->color(window->color());
        window->add(edge);
        edge->show();
        g_fltk.screenEdges[i] = edge;
    }
    Fl::flush();
    return ui::StartScreen(fltk::MakeScreenCurrent() && view->context() != nullptr, width, height);
}

}  // namespace plat
