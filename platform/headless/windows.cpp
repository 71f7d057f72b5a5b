// Headless windows, menus, controls, events and file requesters: everything is recorded for
// tests to assert on, events come from the queue a test fills, requesters answer from a queue.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/dialogs.h"
#include "platform/headless/state.h"
#include "platform/windows.h"

namespace plat::headless {

namespace {

WindowRecord* Window(int number) {
    for (WindowRecord& window : g_headless.windows) {
        if (window.number == number) return &window;
    }
    return nullptr;
}

MenuRecord* Menu(int number) {
    for (MenuRecord& menu : g_headless.menus) {
        if (menu.number == number) return &menu;
    }
    return nullptr;
}

ControlRecord* Control(int window, int control) {
    WindowRecord* record = Window(window);
    if (record == nullptr) return nullptr;
    for (ControlRecord& entry : record->controls) {
        if (entry.number == control) return &entry;
    }
    return nullptr;
}

ControlRecord MakeControl(ControlRecord::Kind kind, int number, int x, int y, int width, int height,
                          const std::string& text) {
    ControlRecord record;
    record.kind = kind;
    record.number = number;
    record.x = x;
    record.y = y;
    record.width = width;
    record.height = height;
    record.text = text;
    return record;
}

// Adds or replaces (in place) a control of an open window.
bool PutControl(int window, const ControlRecord& control) {
    WindowRecord* record = Window(window);
    if (record == nullptr) return false;
    if (ControlRecord* old = Control(window, control.number)) {
        *old = control;
    } else {
        record->controls.push_back(control);
    }
    return true;
}

std::string Request(bool save, const std::string& title, const std::string& startPath,
                    const std::string& pattern) {
    g_headless.requesters.push_back({save, title, startPath, pattern});
    if (g_headless.requesterAnswers.empty()) return "";
    std::string answer = g_headless.requesterAnswers.front();
    g_headless.requesterAnswers.pop_front();
    return answer;
}

}  // namespace

const std::vector<WindowRecord>& Windows() { return g_headless.windows; }
const WindowRecord* FindWindow(int number) { return Window(number); }
const ControlRecord* FindControl(int window, int control) { return Control(window, control); }
const std::vector<int>& ClosedWindows() { return g_headless.closedWindows; }
int ActiveWindow() { return g_headless.activeWindow; }

void SetWindowFails(int number, bool fails) {
    auto& failing = g_headless.failingWindows;
    failing.erase(std::remove(failing.begin(), failing.end(), number), failing.end());
    if (fails) failing.push_back(number);
}

const MenuRecord* FindMenu(int number) { return Menu(number); }

void SetWindowMouse(int window, int x, int y) {
    if (WindowRecord* record = Window(window)) {
        record->nextMouseX = x;
        record->nextMouseY = y;
    }
}

void PushEvent(WindowEvent event) { g_headless.events.push_back(event); }
size_t PendingEvents() { return g_headless.events.size(); }
void PushRequesterAnswer(const std::string& path) { g_headless.requesterAnswers.push_back(path); }
const std::vector<RequesterRecord>& Requesters() { return g_headless.requesters; }
void PushYesNoAnswer(bool yes) { g_headless.yesNoAnswers.push_back(yes); }

}  // namespace plat::headless

namespace plat {

using headless::g_headless;

bool OpenWindow(int number, int x, int y, int width, int height, const std::string& title,
                WindowStyle style, int owner) {
    const auto& failing = g_headless.failingWindows;
    if (std::find(failing.begin(), failing.end(), number) != failing.end()) return false;
    if (headless::Window(number) != nullptr || width <= 0 || height <= 0) return false;
    headless::WindowRecord record;
    record.number = number;
    record.x = x;
    record.y = y;
    record.width = width;
    record.height = height;
    record.title = title;
    record.style = style;
    record.owner = owner;
    g_headless.windows.push_back(record);
    return true;
}

bool WindowExists(int number) { return headless::Window(number) != nullptr; }

void CloseWindow(int number) {
    auto& windows = g_headless.windows;
    auto it = std::find_if(windows.begin(), windows.end(),
                           [number](const headless::WindowRecord& w) { return w.number == number; });
    if (it == windows.end()) return;
    windows.erase(it);
    auto& menus = g_headless.menus;
    menus.erase(std::remove_if(menus.begin(), menus.end(),
                               [number](const headless::MenuRecord& m) { return m.window == number; }),
                menus.end());
    if (g_headless.screenWindow == number) {
        g_headless.screenWindow = 0;
        CloseScreen();
    }
    if (g_headless.activeWindow == number) g_headless.activeWindow = 0;
    g_headless.closedWindows.push_back(number);
}

void ActivateWindow(int number) {
    if (headless::Window(number) != nullptr) g_headless.activeWindow = number;
}

void SetWindowTitle(int number, const std::string& title) {
    if (headless::WindowRecord* window = headless::Window(number)) window->title = title;
}

std::string WindowTitle(int number) {
    const headless::WindowRecord* window = headless::Window(number);
    return window != nullptr ? window->title : "";
}

void ShowWindow(int number, bool shown) {
    if (headless::WindowRecord* window = headless::Window(number)) window->shown = shown;
}

bool WindowShown(int number) {
    const headless::WindowRecord* window = headless::Window(number);
    return window != nullptr && window->shown;
}

int WindowClientWidth(int number) {
    const headless::WindowRecord* window = headless::Window(number);
    return window != nullptr ? window->width : 0;
}

int WindowClientHeight(int number) {
    const headless::WindowRecord* window = headless::Window(number);
    return window != nullptr ? window->height : 0;
}

bool OpenWindowScreen(int number, int x, int y, int width, int height, int rightOffset,
                      int bottomOffset) {
    headless::WindowRecord* window = headless::Window(number);
    if (window == nullptr || g_headless.screenWindow != 0) return false;
    if (!OpenScreen(width, height, g_headless.desktop.depth, window->title)) return false;
    window->hasScreen = true;
    window->screenX = x;
    window->screenY = y;
    g_headless.screenWindow = number;
    return true;
}

bool CreateMenuBar(int menu, int window) {
    if (headless::Window(window) == nullptr || headless::Menu(menu) != nullptr) return false;
    g_headless.menus.push_back(headless::MenuRecord{menu, window, {}});
    return true;
}

bool MenuExists(int menu) { return headless::Menu(menu) != nullptr; }

void AddMenuTitle(int menu, const std::string& title) {
    if (headless::MenuRecord* record = headless::Menu(menu)) {
        record->entries.push_back({headless::MenuEntry::kTitle, 0, title});
    }
}

void AddMenuItem(int menu, int item, const std::string& text) {
    if (headless::MenuRecord* record = headless::Menu(menu)) {
        record->entries.push_back({headless::MenuEntry::kItem, item, text});
    }
}

void AddMenuSeparator(int menu) {
    if (headless::MenuRecord* record = headless::Menu(menu)) {
        record->entries.push_back({headless::MenuEntry::kSeparator, 0, ""});
    }
}

bool AddTextField(int window, int control, int x, int y, int width, int height,
                  const std::string& text, bool centred) {
    headless::ControlRecord record =
        headless::MakeControl(headless::ControlRecord::kTextField, control, x, y, width, height, text);
    record.centred = centred;
    return headless::PutControl(window, record);
}

bool AddButton(int window, int control, int x, int y, int width, int height,
               const std::string& text, bool isDefault) {
    headless::ControlRecord record =
        headless::MakeControl(headless::ControlRecord::kButton, control, x, y, width, height, text);
    record.isDefault = isDefault;
    return headless::PutControl(window, record);
}

bool ControlExists(int window, int control) { return headless::Control(window, control) != nullptr; }

void SetControlTooltip(int window, int control, const std::string& text) {
    if (headless::ControlRecord* record = headless::Control(window, control)) record->tooltip = text;
}

std::string ControlText(int window, int control) {
    const headless::ControlRecord* record = headless::Control(window, control);
    return record != nullptr ? record->text : "";
}

void SetControlText(int window, int control, const std::string& text) {
    if (headless::ControlRecord* record = headless::Control(window, control)) record->text = text;
}

void SetControlBackground(int window, int control, Colour colour) {
    if (headless::ControlRecord* record = headless::Control(window, control)) record->background = colour;
}

void SetControlTextColour(int window, int control, Colour colour) {
    if (headless::ControlRecord* record = headless::Control(window, control)) record->textColour = colour;
}

void FillWindowRect(int number, int x, int y, int width, int height, Colour colour) {
    if (!WindowExists(number)) return;
    headless::DrawRecord record{};
    record.kind = headless::DrawRecord::kWindowFill;
    record.window = number;
    record.x = x;
    record.y = y;
    record.width = width;
    record.height = height;
    record.colour = colour;
    g_headless.draws.push_back(record);
}

void DrawWindowImage(int number, Image image, int x, int y, int width, int height) {
    if (!WindowExists(number) || headless::ImagePath(image).empty()) return;
    headless::DrawRecord record{};
    record.kind = headless::DrawRecord::kWindowImage;
    record.window = number;
    record.image = image.id;
    record.x = x;
    record.y = y;
    record.width = width;
    record.height = height;
    g_headless.draws.push_back(record);
}

void DrawWindowText(int number, int x, int y, const std::string& text, Colour colour, Colour background) {
    if (!WindowExists(number)) return;
    headless::DrawRecord record{};
    record.kind = headless::DrawRecord::kWindowText;
    record.window = number;
    record.x = x;
    record.y = y;
    record.text = text;
    record.colour = colour;
    record.background = background;
    g_headless.draws.push_back(record);
}

// A pending timer runs out before the next scripted event once the clock has reached it, and
// at once (the clock jumping to it) when no scripted event is left.
WindowEvent WaitEvent() {
    if (g_headless.windows.empty()) return WindowEvent{};
    if (g_headless.timerWindow != 0 && (g_headless.events.empty() || g_headless.clock >= g_headless.timerDue)) {
        const WindowEvent timer{kEventTimer, g_headless.timerWindow, 0};
        g_headless.clock = std::max(g_headless.clock, g_headless.timerDue);
        g_headless.timerWindow = 0;
        return timer;
    }
    if (g_headless.events.empty()) {
        std::fprintf(stderr, "headless: WaitEvent with no scripted event left would block for ever\n");
        std::fflush(stderr);
        std::_Exit(86);
    }
    const WindowEvent event = g_headless.events.front();
    g_headless.events.pop_front();
    return event;
}

void StartWindowTimer(int number, int milliseconds) {
    if (!WindowExists(number)) return;
    g_headless.timerWindow = number;
    g_headless.timerDue = g_headless.clock + std::max(milliseconds, 1);
}

bool PointerInWindow(int number, int& x, int& y) {
    const headless::WindowRecord* window = headless::Window(number);
    x = window != nullptr ? window->nextMouseX : -1;
    y = window != nullptr ? window->nextMouseY : -1;
    if (x < 0 || y < 0) x = y = -1;
    return x >= 0;
}

int WindowMouseX(int number) {
    const headless::WindowRecord* window = headless::Window(number);
    return window != nullptr ? window->mouseX : -1;
}

int WindowMouseY(int number) {
    const headless::WindowRecord* window = headless::Window(number);
    return window != nullptr ? window->mouseY : -1;
}

std::string RequestOpenFile(const std::string& title, const std::string& startPath,
                            const std::string& pattern) {
    return headless::Request(false, title, startPath, pattern);
}

std::string RequestSaveFile(const std::string& title, const std::string& startPath,
                            const std::string& pattern) {
    return headless::Request(true, title, startPath, pattern);
}

std::string RequestFolder(const std::string& title, const std::string& startPath) {
    return headless::Request(true, title, startPath, "*");
}

}  // namespace plat
