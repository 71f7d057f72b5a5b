// Bringing a started program's window forward on X11: its top-level window is the one whose
// _NET_WM_PID names the process; a window manager is asked to activate it, without one the
// window is raised and given the keyboard directly.
#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "platform/fltk/fltk_state.h"
#include "platform/process.h"

namespace plat {
namespace {

// The process number a window names in _NET_WM_PID; -1 when it names none.
long WindowProcess(Window window, Atom pidAtom) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(fl_display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &left, &data) == Success &&
        data != nullptr && type == XA_CARDINAL && format == 32 && count == 1) {
        pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data != nullptr) XFree(data);
    return pid;
}

// A viewable window of the process below `parent`, looked for two levels deep: a window
// manager puts each top-level window into a frame of its own.
Window FindProcessWindow(Window parent, long pid, Atom pidAtom, int depth) {
    Window rootReturn = 0, parentReturn = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(fl_display, parent, &rootReturn, &parentReturn, &children, &count) == 0) return 0;
    Window found = 0;
    // The topmost windows come last; any window of the process will do.
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(fl_display, children[i], &attributes) == 0 || attributes.map_state != IsViewable) {
            continue;
        }
        if (WindowProcess(children[i], pidAtom) == pid) {
            found = children[i];
        } else if (depth > 1) {
            found = FindProcessWindow(children[i], pid, pidAtom, depth - 1);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

bool WindowManagerRuns() {
    const Atom check = XInternAtom(fl_display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    const bool present = XGetWindowProperty(fl_display, RootWindow(fl_display, fl_screen), check, 0, 1, False,
                                            XA_WINDOW, &type, &format, &count, &left, &data) == Success &&
                         data != nullptr && count == 1;
    if (data != nullptr) XFree(data);
    return present;
}

}  // namespace

bool BringProgramToFront(const Process& process) {
    Process running = process;
    if (!ProgramRunning(running)) return false;
    if (!fltk::OpenDisplay()) return false;
    const Atom pidAtom = XInternAtom(fl_display, "_NET_WM_PID", False);
    const Window window = FindProcessWindow(RootWindow(fl_display, fl_screen), process.id, pidAtom, 2);
    if (window == 0) return false;
    if (WindowManagerRuns()) {
        // The user asked for it (F5), so the request says so: source 2, the time of the key.
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(fl_display, "_NET_ACTIVE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2;
        event.xclient.data.l[1] = static_cast<long>(fl_event_time);
        XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        XRaiseWindow(fl_display, window);
        XSetInputFocus(fl_display, window, RevertToPointerRoot, CurrentTime);
    }
    XFlush(fl_display);
    return true;
}

}  // namespace plat
