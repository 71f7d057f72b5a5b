// FLTK windows, menus and controls, and the event queue their callbacks fill: numbered
// windows, a menu bar per window, text fields and buttons with numbers, the blocking wait.
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>

#include "platform/fltk/fltk_state.h"

namespace plat::fltk {

Backend g_fltk;

namespace {

Fl_Color ToFl(Colour colour) {
    return fl_rgb_color(static_cast<uchar>(colour.r), static_cast<uchar>(colour.g),
                        static_cast<uchar>(colour.b));
}

// A window's close box: queued as a close request; the window stays (the program decides).
// Escape reaches a window's callback too: it is not a close request.
void OnWindowCallback(Fl_Widget* widget, void*) {
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    Push(kEventCloseRequest, static_cast<NumberedWindow*>(widget)->number, 0);
}

void OnMenuItem(Fl_Widget* widget, void* item) {
    Fl_Window* window = widget->window();
    const int number = window != nullptr ? static_cast<NumberedWindow*>(window)->number : 0;
    Push(kEventMenu, number, static_cast<int>(reinterpret_cast<intptr_t>(item)));
}

// FLTK 1.3's input fields show their text from the left. A centred field draws its text centred
// while it is not being edited (a text wider than the field still shows its start); while it has
// the keyboard focus it is drawn as an ordinary field, with FLTK's cursor and selection.
class CentredInput : public Fl_Input {
public:
    using Fl_Input::Fl_Input;
    void draw() override {
        if (Fl::focus() == this) {
            Fl_Input::draw();
            return;
        }
        draw_box();
        const int left = x() + Fl::box_dx(box()) + 3, top = y() + Fl::box_dy(box());
        const int width = w() - Fl::box_dw(box()) - 6, height = h() - Fl::box_dh(box());
        fl_push_clip(left, top, width, height);
        fl_font(textfont(), textsize());
        fl_color(active_r() ? textcolor() : fl_inactive(textcolor()));
        const bool fits = fl_width(value()) <= width;
        fl_draw(value(), left, top, width, height, fits ? FL_ALIGN_CENTER : FL_ALIGN_LEFT, nullptr, 0);
        fl_pop_clip();
    }
    int handle(int event) override {
        const int used = Fl_Input::handle(event);
        if (event == FL_FOCUS || event == FL_UNFOCUS) redraw();
        return used;
    }
};

void OnControl(Fl_Widget* widget, void* control) {
    Fl_Window* window = widget->window();
    const int number = window != nullptr ? static_cast<NumberedWindow*>(window)->number : 0;
    Push(kEventControl, number, static_cast<int>(reinterpret_cast<intptr_t>(control)));
}

Fl_Widget* Control(int window, int control) {
    NumberedWindow* record = FindWindow(window);
    if (record == nullptr) return nullptr;
    auto it = record->controls.find(control);
    return it != record->controls.end() ? it->second : nullptr;
}

// Puts a new control into the window, replacing one with the same number.
bool PutControl(int window, int control, Fl_Widget* widget) {
    NumberedWindow* record = FindWindow(window);
    if (record == nullptr) {
        delete widget;
        return false;
    }
    if (Fl_Widget* old = Control(window, control)) {
        record->remove(old);
        Fl::delete_widget(old);
    }
    widget->callback(OnControl, reinterpret_cast<void*>(static_cast<intptr_t>(control)));
    record->add(widget);
    record->controls[control] = widget;
    widget->redraw();
    return true;
}

}  // namespace

// Queues the mouse and key events every window reports; wheel notches are kept for the poll.
void PushInputEvent(int event, int window) {
    switch (event) {
        case FL_MOVE:
        case FL_DRAG: Push(kEventMouseMove, window, 0); break;
        case FL_RELEASE: Push(kEventButtonUp, window, 0); break;
        case FL_MOUSEWHEEL:
            // FLTK counts downwards turns as positive; the program counts them as negative.
            g_ui.mouse.pendingWheel -= Fl::event_dy();
            Push(kEventWheel, window, 0);
            break;
        case FL_KEYDOWN: Push(kEventKeyDown, window, 0); break;
        case FL_KEYUP: Push(kEventKeyUp, window, 0); break;
        default: break;
    }
}

NumberedWindow* FindWindow(int number) {
    auto it = g_fltk.windows.find(number);
    return it != g_fltk.windows.end() ? it->second : nullptr;
}

// Marks a shown window as transient for its owner, so that a window manager keeps it above
// the owner (raised, minimised and restored with it). FLTK makes a new X window each time a
// window is shown, so this follows every show; the hint goes out in the same request buffer
// as the map request, before the window manager takes the window in.
void HintOwner(NumberedWindow* window) {
    NumberedWindow* owner = FindWindow(window->owner);
    if (owner == nullptr || owner == window || !owner->shown() || fl_xid(window) == 0) return;
    XSetTransientForHint(fl_display, fl_xid(window), fl_xid(owner));
}

// Asks the window manager (through the standard _NET_ACTIVE_WINDOW message, as an application
// request) to activate the window; without a window manager nobody listens and nothing happens.
void AskToActivate(Window xid) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = xid;
    event.xclient.message_type = XInternAtom(fl_display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // source: an application
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void ShowAndWait(Fl_Window* window) {
    window->show();
    if (auto* numbered = dynamic_cast<NumberedWindow*>(window)) {
        HintOwner(numbered);
        // Windows it owns that are shown already point at its new X window.
        for (auto& [number, owned] : g_fltk.windows) {
            if (owned->owner == numbered->number && owned->shown()) HintOwner(owned);
        }
    }
    Fl::flush();
    for (int tries = 0; tries < 100; ++tries) {
        XWindowAttributes attributes;
        if (fl_xid(window) != 0 && XGetWindowAttributes(fl_display, fl_xid(window), &attributes) != 0 &&
            attributes.map_state == IsViewable) {
            return;
        }
        Fl::wait(0.01);
    }
}

NumberedWindow::NumberedWindow(int number, int x, int y, int width, int height, const char* title)
    : Fl_Window(x, y, width, height, title), number(number) {}

int NumberedWindow::handle(int event) {
    const int used = Fl_Window::handle(event);
    if (event == FL_PUSH && !used) {
        if (Fl::event_button() == FL_LEFT_MOUSE && Fl::event_y() >= clientTop) {
            Push(kEventLeftButton, number, 0);
        } else if (Fl::event_button() == FL_RIGHT_MOUSE) {
            Push(kEventRightButton, number, 0);
        }
        return 1;
    }
    // A child that took the event (the screen, a field) has queued or consumed it.
    if (!used) PushInputEvent(event, number);
    // A wheel turn nobody took is taken here: FLTK would otherwise offer it again to the window
    // (through the focus and the widget below the pointer), and each offer would count it anew.
    if (event == FL_ENTER || event == FL_MOVE || event == FL_KEYUP || event == FL_MOUSEWHEEL) return 1;
    return used;
}

void NumberedWindow::draw() {
    // A repaint request whenever the window's own background was drawn again (an expose, a
    // resize): what the program drew straight into it is gone. Redrawn fields are no request.
    const bool exposed = (damage() & (FL_DAMAGE_EXPOSE | FL_DAMAGE_ALL)) != 0;
    Fl_Window::draw();
    if (exposed) Push(kEventRepaint, number, 0);
}

void NumberedWindow::resize(int x, int y, int width, int height) {
    const bool sized = width != w() || height != h();
    Fl_Window::resize(x, y, width, height);
    if (sized && shown()) Push(kEventResized, number, 0);
}

}  // namespace plat::fltk

namespace plat {

using fltk::g_fltk;
using fltk::NumberedWindow;

bool OpenWindow(int number, int x, int y, int width, int height, const std::string& title,
                WindowStyle style, int owner) {
    if (fltk::FindWindow(number) != nullptr || width <= 0 || height <= 0) return false;
    if (!fltk::OpenDisplay()) return false;
    Fl_Group* current = Fl_Group::current();
    auto* window = new NumberedWindow(number, x, y, width, height, nullptr);
    window->end();
    Fl_Group::current(current);
    window->title = title;
    window->label(window->title.c_str());
    window->owner = owner;
    window->callback(fltk::OnWindowCallback);
    if (style == WindowStyle::kBorderless) {
        window->border(0);
    } else {
        // Resizable without stretching the controls: they keep their places.
        window->size_range(64, 48);
    }
    g_fltk.windows[number] = window;
    fltk::ShowAndWait(window);
    return true;
}

bool WindowExists(int number) { return fltk::FindWindow(number) != nullptr; }

void CloseWindow(int number) {
    NumberedWindow* window = fltk::FindWindow(number);
    if (window == nullptr) return;
    if (g_fltk.screenWindow == number) ui::ReleaseScreen();
    for (auto it = g_fltk.menus.begin(); it != g_fltk.menus.end();) {
        it = it->second.window == number ? g_fltk.menus.erase(it) : std::next(it);
    }
    g_fltk.windows.erase(number);
    window->hide();
    delete window;
    Fl::flush();
}

void ActivateWindow(int number) {
    NumberedWindow* window = fltk::FindWindow(number);
    if (window == nullptr) return;
    window->show();  // raises it
    // Windows it owns stay above it.
    for (auto& [number, owned] : g_fltk.windows) {
        if (owned->owner == window->number && owned->shown()) owned->show();
    }
}

void SetWindowTitle(int number, const std::string& title) {
    NumberedWindow* window = fltk::FindWindow(number);
    if (window == nullptr) return;
    window->title = title;
    window->label(window->title.c_str());
}

std::string WindowTitle(int number) {
    NumberedWindow* window = fltk::FindWindow(number);
    return window != nullptr ? window->title : "";
}

void ShowWindow(int number, bool shown) {
    NumberedWindow* window = fltk::FindWindow(number);
    if (window == nullptr || (window->shown() != 0) == shown) return;
    if (shown) {
        fltk::ShowAndWait(window);
        return;
    }
    // A window manager may leave the keyboard focus nowhere when the focused window goes:
    // it goes back to the owner, as it would on a desktop without one.
    Window focused = 0;
    int revert = 0;
    XGetInputFocus(fl_display, &focused, &revert);
    const bool hadFocus = focused != 0 && focused == fl_xid(window);
    window->hide();
    NumberedWindow* owner = fltk::FindWindow(window->owner);
    if (hadFocus && owner != nullptr && owner->shown()) fltk::AskToActivate(fl_xid(owner));
}

bool WindowShown(int number) {
    NumberedWindow* window = fltk::FindWindow(number);
    return window != nullptr && window->shown() != 0;
}

int WindowClientWidth(int number) {
    NumberedWindow* window = fltk::FindWindow(number);
    return window != nullptr ? window->w() : 0;
}

int WindowClientHeight(int number) {
    NumberedWindow* window = fltk::FindWindow(number);
    return window != nullptr ? window->h() - window->clientTop : 0;
}

bool CreateMenuBar(int menu, int window) {
    NumberedWindow* record = fltk::FindWindow(window);
    if (record == nullptr || g_fltk.menus.count(menu) != 0 || record->clientTop != 0) return false;
    // The bar sits above the client area: the window grows and its controls move down.
    record->clientTop = fltk::kMenuBarHeight;
    for (int i = 0; i < record->children(); ++i) {
        Fl_Widget* child = record->child(i);
        child->position(child->x(), child->y() + fltk::kMenuBarHeight);
    }
    record->size(record->w(), record->h() + fltk::kMenuBarHeight);
    auto* bar = new Fl_Menu_Bar(0, 0, record->w(), fltk::kMenuBarHeight);
    record->add(bar);
    g_fltk.menus[menu] = fltk::MenuBarEntry{bar, window, "", -1};
    record->redraw();
    return true;
}

bool MenuExists(int menu) { return g_fltk.menus.count(menu) != 0; }

void AddMenuTitle(int menu, const std::string& title) {
    auto it = g_fltk.menus.find(menu);
    if (it == g_fltk.menus.end()) return;
    it->second.title = title;
    it->second.bar->add(title.c_str(), 0, nullptr, nullptr, FL_SUBMENU);
}

namespace {
// FLTK reads "/" as a submenu path, "&" as a shortcut mark and a leading "_" as a divider.
std::string MenuPathPart(const std::string& text) {
    std::string part;
    for (char c : text) {
        if (c == '/' || c == '&' || c == '\\' || c == '_') part += '\\';
        part += c;
    }
    return part;
}
}  // namespace

void AddMenuItem(int menu, int item, const std::string& text) {
    auto it = g_fltk.menus.find(menu);
    if (it == g_fltk.menus.end()) return;
    const std::string path = MenuPathPart(it->second.title) + "/" + MenuPathPart(text);
    it->second.lastIndex = it->second.bar->add(path.c_str(), 0, fltk::OnMenuItem,
                                               reinterpret_cast<void*>(static_cast<intptr_t>(item)));
}

void AddMenuSeparator(int menu) {
    auto it = g_fltk.menus.find(menu);
    if (it == g_fltk.menus.end() || it->second.lastIndex < 0) return;
    Fl_Menu_Bar* bar = it->second.bar;
    bar->mode(it->second.lastIndex, bar->mode(it->second.lastIndex) | FL_MENU_DIVIDER);
}

bool AddTextField(int window, int control, int x, int y, int width, int height,
                  const std::string& text, bool centred) {
    NumberedWindow* record = fltk::FindWindow(window);
    if (record == nullptr) return false;
    auto* input = centred ? new fltk::CentredInput(x, y + record->clientTop, width, height)
                          : new Fl_Input(x, y + record->clientTop, width, height);
    input->box(FL_DOWN_BOX);
    input->value(text.c_str());
    input->position(0);  // show the start of a text wider than the field
    input->when(FL_WHEN_RELEASE | FL_WHEN_ENTER_KEY);
    return fltk::PutControl(window, control, input);
}

bool AddButton(int window, int control, int x, int y, int width, int height,
               const std::string& text, bool isDefault) {
    NumberedWindow* record = fltk::FindWindow(window);
    if (record == nullptr) return false;
    Fl_Button* button = isDefault ? new Fl_Return_Button(x, y + record->clientTop, width, height)
                                  : new Fl_Button(x, y + record->clientTop, width, height);
    button->copy_label(text.c_str());
    return fltk::PutControl(window, control, button);
}

bool ControlExists(int window, int control) { return fltk::Control(window, control) != nullptr; }

void SetControlTooltip(int window, int control, const std::string& text) {
    if (Fl_Widget* widget = fltk::Control(window, control)) widget->copy_tooltip(text.c_str());
}

std::string ControlText(int window, int control) {
    Fl_Widget* widget = fltk::Control(window, control);
    if (widget == nullptr) return "";
    if (auto* input = dynamic_cast<Fl_Input*>(widget)) return input->value();
    return widget->label() != nullptr ? widget->label() : "";
}

void SetControlText(int window, int control, const std::string& text) {
    Fl_Widget* widget = fltk::Control(window, control);
    if (widget == nullptr) return;
    if (auto* input = dynamic_cast<Fl_Input*>(widget)) {
        input->value(text.c_str());
        input->position(0);
    } else {
        widget->copy_label(text.c_str());
    }
    widget->redraw();
}

void SetControlBackground(int window, int control, Colour colour) {
    Fl_Widget* widget = fltk::Control(window, control);
    if (widget == nullptr) return;
    widget->color(fltk::ToFl(colour));
    widget->redraw();
}

void SetControlTextColour(int window, int control, Colour colour) {
    Fl_Widget* widget = fltk::Control(window, control);
    if (widget == nullptr) return;
    if (auto* input = dynamic_cast<Fl_Input*>(widget)) {
        input->textcolor(fltk::ToFl(colour));
    } else {
        widget->labelcolor(fltk::ToFl(colour));
    }
    widget->redraw();
}

namespace {
void OnWindowTimer(void* number) {
    fltk::Push(kEventTimer, static_cast<int>(reinterpret_cast<intptr_t>(number)), 0);
}
}  // namespace

void StartWindowTimer(int number, int milliseconds) {
    if (fltk::FindWindow(number) == nullptr) return;
    void* data = reinterpret_cast<void*>(static_cast<intptr_t>(number));
    Fl::remove_timeout(OnWindowTimer, data);
    Fl::add_timeout(std::max(milliseconds, 1) / 1000.0, OnWindowTimer, data);
}

}  // namespace plat

namespace plat::ui {

bool PumpEvent() {
    // Pending redraws first: they may queue repaint requests, and Fl::wait would draw them only
    // on its way into blocking, leaving those requests waiting for an unrelated event.
    Fl::flush();
    if (!g_ui.events.empty()) return true;
    if (fltk::g_fltk.windows.empty()) return false;
    Fl::wait();
    return true;
}

bool DesktopPointInClient(int number, int desktopX, int desktopY, int& x, int& y) {
    fltk::NumberedWindow* window = fltk::FindWindow(number);
    if (window == nullptr || !window->shown()) return false;
    const int cx = desktopX - window->x();
    const int cy = desktopY - window->y() - window->clientTop;
    if (cx < 0 || cy < 0 || cx >= window->w() || cy >= window->h() - window->clientTop) return false;
    x = cx;
    y = cy;
    return true;
}

void DestroyWindows() {
    while (!fltk::g_fltk.windows.empty()) CloseWindow(fltk::g_fltk.windows.rbegin()->first);
}

}  // namespace plat::ui
