// Win32 windows, menus and controls, and the event queue their messages fill: numbered windows
// (CreateWindowExW, tool windows owned by the main window), an HMENU bar per window with the
// caller's item numbers, EDIT fields and BUTTONs with numbers and tooltips, the blocking wait.
#include <algorithm>

#include "platform/win32ui/win32ui_state.h"
// After windows.h, which the state header brings.
#include <commctrl.h>

namespace plat::win32ui {

Backend g_win;

namespace {

constexpr DWORD kToolStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kBorderlessStyle = WS_POPUP | WS_CLIPCHILDREN;
constexpr UINT_PTR kEventTimerId = 1;

COLORREF ToColorRef(Colour colour) {
    return RGB(std::clamp(colour.r, 0, 255), std::clamp(colour.g, 0, 255), std::clamp(colour.b, 0, 255));
}

ControlEntry* FindControl(int window, int control) {
    WindowEntry* entry = FindEntry(window);
    if (entry == nullptr) return nullptr;
    auto it = entry->controls.find(control);
    return it != entry->controls.end() ? &it->second : nullptr;
}

ControlEntry* ControlByHandle(HWND parent, HWND control) {
    WindowEntry* entry = FindEntry(WindowNumberOf(parent));
    if (entry == nullptr) return nullptr;
    for (auto& [number, record] : entry->controls) {
        if (record.hwnd == control) return &record;
    }
    return nullptr;
}

// Sizes the window so that its client area is as large as when it was opened, whatever its
// frame and menu bar take (a menu bar wider than the window takes more than one row).
void KeepClientSize(const WindowEntry& entry) {
    RECT client, outer;
    GetClientRect(entry.hwnd, &client);
    GetWindowRect(entry.hwnd, &outer);
    const int width = outer.right - outer.left + entry.openedWidth - client.right;
    const int height = outer.bottom - outer.top + entry.openedHeight - client.bottom;
    SetWindowPos(entry.hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DestroyControl(WindowEntry& entry, ControlEntry& control) {
    if (entry.tooltips != nullptr) {
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = entry.hwnd;
        tool.uId = reinterpret_cast<UINT_PTR>(control.hwnd);
        SendMessageW(entry.tooltips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    DestroyWindow(control.hwnd);
    if (control.backgroundBrush != nullptr) DeleteObject(control.backgroundBrush);
}

// The colours of a text field (or a button, where the system lets it) the caller set.
LRESULT ControlColours(HWND parent, HDC dc, HWND control, UINT message) {
    ControlEntry* record = ControlByHandle(parent, control);
    const LRESULT plain = DefWindowProcW(parent, message, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(control));
    if (record == nullptr) return plain;
    if (record->hasTextColour) SetTextColor(dc, record->textColour);
    if (!record->hasBackground) return plain;
    SetBkColor(dc, record->background);
    return reinterpret_cast<LRESULT>(record->backgroundBrush);
}

// The default button of a window: Return presses it (IsDialogMessage asks with DM_GETDEFID).
LRESULT DefaultButton(int number) {
    WindowEntry* entry = FindEntry(number);
    if (entry == nullptr) return 0;
    for (auto& [control, record] : entry->controls) {
        if (record.isDefault) return MAKELRESULT(control, DC_HASDEFID);
    }
    return 0;
}

// Called when a menu has closed. Wine's X11 driver confines the pointer to the desktop through
// a full-screen input window whenever the foreground window covers the screen (plom's main
// window does), and its menus take the pointer for themselves meanwhile: once the menu is
// closed that input window is still in front of everything but holds the pointer no more, so
// every later click lands on it and is dropped (the next menu title clicked does not open), or
// the pointer stays clipped to the closed popup. Releasing a clip that Wine takes for the whole
// desktop does nothing, as the clip is the desktop already; a clip one pixel smaller, around
// the pointer, makes it take the pointer anew, and the release then settles on a working
// full-screen clip or on none. On Windows this is a clip of one pixel for an instant.
void SettlePointerClip() {
    POINT pointer{};
    GetCursorPos(&pointer);
    RECT desktop{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    desktop.right = desktop.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    desktop.bottom = desktop.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    RECT smaller = desktop;
    if (pointer.x > smaller.left) {
        smaller.left += 1;
    } else {
        smaller.right -= 1;
    }
    if (smaller.right > smaller.left) ClipCursor(&smaller);
    ClipCursor(nullptr);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const int number = WindowNumberOf(hwnd);
    switch (message) {
        case WM_CLOSE:
            // A close request only: the program decides what happens to the window.
            Push(kEventCloseRequest, number, 0);
            return 0;
        case WM_PAINT: {
            // What the program drew straight into the window is gone: it is asked to draw again.
            PAINTSTRUCT paint;
            BeginPaint(hwnd, &paint);
            EndPaint(hwnd, &paint);
            if (hwnd == g_win.screen) RepaintScreen();
            Push(kEventRepaint, number, 0);
            return 0;
        }
        case WM_ERASEBKGND:
            if (hwnd == g_win.screen) return 1;  // GL paints every pixel
            break;
        case WM_SIZE: {
            WindowEntry* entry = FindEntry(number);
            const int width = LOWORD(lParam), height = HIWORD(lParam);
            if (entry == nullptr || wParam == SIZE_MINIMIZED) break;
            const bool sized = width != entry->clientWidth || height != entry->clientHeight;
            entry->clientWidth = width;
            entry->clientHeight = height;
            if (sized && IsWindowVisible(hwnd)) Push(kEventResized, number, 0);
            return 0;
        }
        case WM_TIMER:
            if (wParam != kEventTimerId) break;
            KillTimer(hwnd, kEventTimerId);
            Push(kEventTimer, number, 0);
            return 0;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (lParam == 0 && code == 0) {
                // The dialog manager's Return and Escape (IDOK, IDCANCEL) are no menu items.
                if (g_win.inDialogManager && (id == IDOK || id == IDCANCEL)) return 0;
                Push(kEventMenu, number, id);
            } else if (lParam != 0) {
                ControlEntry* control = ControlByHandle(hwnd, reinterpret_cast<HWND>(lParam));
                if (control == nullptr) break;
                if (!control->isEdit && code == BN_CLICKED) Push(kEventControl, number, id);
                // A field reports an edit when the user leaves it (as Return does, below).
                if (control->isEdit && code == EN_KILLFOCUS &&
                    SendMessageW(control->hwnd, EM_GETMODIFY, 0, 0) != 0) {
                    SendMessageW(control->hwnd, EM_SETMODIFY, FALSE, 0);
                    Push(kEventControl, number, id);
                }
            }
            return 0;
        }
        case DM_GETDEFID:
            return DefaultButton(number);
        case WM_ENTERMENULOOP:
            g_win.inMenuLoop = true;
            break;
        case WM_EXITMENULOOP:
            g_win.inMenuLoop = false;
            SettlePointerClip();
            break;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return ControlColours(hwnd, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message);
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// True for a key or mouse message, turned into window events here rather than by the windows.
// Keys while the pointer is over the main window's screen belong to it, whichever window or
// field holds the keyboard focus (a field of a tool window would take them otherwise): they
// are queued for the screen's window and not handed on. Returns true when the message is used up.
bool TakeInputMessage(const MSG& message) {
    const int number = WindowNumberOf(message.hwnd);
    switch (message.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
            POINT pointer;
            GetCursorPos(&pointer);
            const int pointed = WindowNumberOf(WindowFromPoint(pointer));
            if (g_win.screen != nullptr && pointed == g_win.screenWindow) {
                Push(down ? kEventKeyDown : kEventKeyUp, g_win.screenWindow, 0);
                return true;
            }
            // A field takes Return itself: it reports its edit, as when it is left.
            ControlEntry* control = ControlByHandle(GetParent(message.hwnd), message.hwnd);
            if (down && message.wParam == VK_RETURN && control != nullptr && control->isEdit) {
                SendMessageW(control->hwnd, EM_SETMODIFY, FALSE, 0);
                Push(kEventControl, WindowNumberOf(message.hwnd), GetDlgCtrlID(message.hwnd));
                return true;
            }
            if (number != 0) Push(down ? kEventKeyDown : kEventKeyUp, number, 0);
            return false;
        }
        case WM_MOUSEMOVE:
            if (number != 0) Push(kEventMouseMove, number, 0);
            return false;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: {
            // Presses on the window itself or its screen; a control takes its own.
            WindowEntry* entry = FindEntry(number);
            if (entry == nullptr || message.hwnd != entry->hwnd) return false;
            Push(message.message == WM_LBUTTONDOWN ? kEventLeftButton : kEventRightButton, number, 0);
            return false;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (number != 0) Push(kEventButtonUp, number, 0);
            return false;
        case WM_MOUSEWHEEL: {
            // The wheel goes to the window under the pointer (Windows sends it to the focus).
            POINT pointer{static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
            const int pointed = WindowNumberOf(WindowFromPoint(pointer));
            g_ui.mouse.pendingWheel += GET_WHEEL_DELTA_WPARAM(message.wParam) / WHEEL_DELTA;
            if (pointed != 0 || number != 0) Push(kEventWheel, pointed != 0 ? pointed : number, 0);
            return true;
        }
        default:
            return false;
    }
}

// One message: input becomes events first; a tool window's keys then go through the dialog
// manager (Tab between fields, Return for the default button, Escape).
void HandleMessage(MSG& message) {
    if (TakeInputMessage(message)) return;
    WindowEntry* entry = FindEntry(WindowNumberOf(message.hwnd));
    if (entry != nullptr && entry->tool) {
        g_win.inDialogManager = true;
        const bool used = IsDialogMessageW(entry->hwnd, &message) != FALSE;
        g_win.inDialogManager = false;
        if (used) return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void EnsureTooltips(WindowEntry& entry) {
    if (entry.tooltips != nullptr) return;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    entry.tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, entry.hwnd,
                                     nullptr, g_win.instance, nullptr);
    if (entry.tooltips != nullptr) SendMessageW(entry.tooltips, TTM_SETMAXTIPWIDTH, 0, 600);
}

// Puts a new control into the window, replacing one with the same number.
bool PutControl(int window, int control, const wchar_t* className, DWORD style, DWORD exStyle, int x, int y,
                int width, int height, const std::string& text, ControlEntry record) {
    WindowEntry* entry = FindEntry(window);
    if (entry == nullptr || control < 0 || control > 0xFFFF) return false;
    if (ControlEntry* old = FindControl(window, control)) {
        DestroyControl(*entry, *old);
        entry->controls.erase(control);
    }
    record.hwnd = CreateWindowExW(exStyle, className, win32::Wide(text).c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, width, height, entry->hwnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(control)), g_win.instance, nullptr);
    if (record.hwnd == nullptr) return false;
    SendMessageW(record.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    entry->controls[control] = record;
    return true;
}

// A menu text as Win32 shows it: "&" marks a mnemonic, so a literal one is doubled.
std::wstring MenuText(const std::string& text) {
    std::wstring shown;
    for (wchar_t c : win32::Wide(text)) {
        if (c == L'&') shown += L'&';
        shown += c;
    }
    return shown;
}

}  // namespace

bool RegisterClasses() {
    if (g_win.classesRegistered) return true;
    g_win.instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    // Its own device context: the window carrying the screen keeps the GL pixel format on it.
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = g_win.instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hIcon = LoadIconW(g_win.instance, MAKEINTRESOURCEW(1));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExW(&windowClass) == 0) return false;
    g_win.classesRegistered = true;
    return true;
}

WindowEntry* FindEntry(int number) {
    auto it = g_win.windows.find(number);
    return it != g_win.windows.end() ? &it->second : nullptr;
}

int WindowNumberOf(HWND hwnd) {
    if (hwnd == nullptr) return 0;
    const HWND root = GetAncestor(hwnd, GA_ROOT);
    for (const auto& [number, entry] : g_win.windows) {
        if (entry.hwnd == root) return number;
    }
    return 0;
}

}  // namespace plat::win32ui

namespace plat {

using win32ui::g_win;
using win32ui::WindowEntry;

// The work area Windows keeps free of the taskbar and docked bars.
WorkArea QueryWorkArea() {
    RECT area{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0) || area.right <= area.left || area.bottom <= area.top) {
        area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return WorkArea{area.left, area.top, area.right - area.left, area.bottom - area.top};
}

bool OpenWindow(int number, int x, int y, int width, int height, const std::string& title,
                WindowStyle style, int owner) {
    if (win32ui::FindEntry(number) != nullptr || width <= 0 || height <= 0 || !win32ui::RegisterClasses()) {
        return false;
    }
    WindowEntry entry;
    entry.owner = owner;
    entry.tool = style == WindowStyle::kTool;
    entry.title = title;
    entry.clientWidth = entry.openedWidth = width;
    entry.clientHeight = entry.openedHeight = height;
    WindowEntry* ownerEntry = win32ui::FindEntry(owner);
    // An owned window stays above its owner and is minimised and restored with it.
    entry.hwnd = CreateWindowExW(0, win32ui::kWindowClass, win32::Wide(title).c_str(),
                                 entry.tool ? win32ui::kToolStyle : win32ui::kBorderlessStyle, x, y, width,
                                 height, ownerEntry != nullptr ? ownerEntry->hwnd : nullptr, nullptr,
                                 g_win.instance, nullptr);
    if (entry.hwnd == nullptr) return false;
    const HWND hwnd = entry.hwnd;
    win32ui::KeepClientSize(entry);
    g_win.windows[number] = entry;
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    return true;
}

bool WindowExists(int number) { return win32ui::FindEntry(number) != nullptr; }

void CloseWindow(int number) {
    WindowEntry* entry = win32ui::FindEntry(number);
    if (entry == nullptr) return;
    if (g_win.screenWindow == number) ui::ReleaseScreen();
    for (auto it = g_win.menus.begin(); it != g_win.menus.end();) {
        it = it->second.window == number ? g_win.menus.erase(it) : std::next(it);
    }
    for (auto& [control, record] : entry->controls) {
        if (record.backgroundBrush != nullptr) DeleteObject(record.backgroundBrush);
    }
    const HWND hwnd = entry->hwnd;
    g_win.windows.erase(number);
    DestroyWindow(hwnd);  // its menu bar, controls and tooltip window go with it
    // Events still queued for it name a window that is gone; the program ignores those.
}

void ActivateWindow(int number) {
    WindowEntry* entry = win32ui::FindEntry(number);
    if (entry == nullptr) return;
    // Raising a window raises the windows it owns with it.
    SetForegroundWindow(entry->hwnd);
    SetActiveWindow(entry->hwnd);
    SetFocus(entry->hwnd);
}

void SetWindowTitle(int number, const std::string& title) {
    WindowEntry* entry = win32ui::FindEntry(number);
    if (entry == nullptr || entry->title == title) return;
    entry->title = title;
    SetWindowTextW(entry->hwnd, win32::Wide(title).c_str());
}

std::string WindowTitle(int number) {
    WindowEntry* entry = win32ui::FindEntry(number);
    return entry != nullptr ? entry->title : "";
}

void ShowWindow(int number, bool shown) {
    WindowEntry* entry = win32ui::FindEntry(number);
    if (entry == nullptr || (IsWindowVisible(entry->hwnd) != FALSE) == shown) return;
    if (shown) {
        ::ShowWindow(entry->hwnd, SW_SHOWNOACTIVATE);
        return;
    }
    // The focus goes back to the owner when the focused window goes, as on a desktop.
    const bool hadFocus = GetActiveWindow() == entry->hwnd;
    ::ShowWindow(entry->hwnd, SW_HIDE);
    WindowEntry* owner = win32ui::FindEntry(entry->owner);
    if (hadFocus && owner != nullptr && IsWindowVisible(owner->hwnd)) ActivateWindow(entry->owner);
}

bool WindowShown(int number) {
    WindowEntry* entry = win32ui::FindEntry(number);
    return entry != nullptr && IsWindowVisible(entry->hwnd) != FALSE;
}

int WindowClientWidth(int number) {
    WindowEntry* entry = win32ui::FindEntry(number);
    if (entry == nullptr) return 0;
    RECT client;
    GetClientRect(entry->hwnd, &client);
    return client.right;
}

int WindowClientHeight(int number) {
    WindowEntry* entry = win32ui::FindEntry(number);
    if (entry == nullptr) return 0;
    RECT client;
    GetClientRect(entry->hwnd, &client);
    return client.bottom;
}

bool CreateMenuBar(int menu, int window) {
    WindowEntry* entry = win32ui::FindEntry(window);
    if (entry == nullptr || g_win.menus.count(menu) != 0 || entry->menuBar != nullptr) return false;
    entry->menuBar = CreateMenu();
    if (entry->menuBar == nullptr) return false;
    // The bar sits above the client area: the window grows, its client area keeps its size.
    SetMenu(entry->hwnd, entry->menuBar);
    win32ui::KeepClientSize(*entry);
    g_win.menus[menu] = win32ui::MenuEntry{entry->menuBar, nullptr, window};
    return true;
}

bool MenuExists(int menu) { return g_win.menus.count(menu) != 0; }

void AddMenuTitle(int menu, const std::string& title) {
    auto it = g_win.menus.find(menu);
    if (it == g_win.menus.end()) return;
    HMENU dropDown = CreatePopupMenu();
    if (dropDown == nullptr) return;
    AppendMenuW(it->second.bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(dropDown),
                win32ui::MenuText(title).c_str());
    it->second.title = dropDown;
    if (WindowEntry* entry = win32ui::FindEntry(it->second.window)) {
        DrawMenuBar(entry->hwnd);
        win32ui::KeepClientSize(*entry);
    }
}

void AddMenuItem(int menu, int item, const std::string& text) {
    auto it = g_win.menus.find(menu);
    if (it == g_win.menus.end() || it->second.title == nullptr) return;
    AppendMenuW(it->second.title, MF_STRING, static_cast<UINT_PTR>(item), win32ui::MenuText(text).c_str());
}

void AddMenuSeparator(int menu) {
    auto it = g_win.menus.find(menu);
    if (it == g_win.menus.end() || it->second.title == nullptr) return;
    AppendMenuW(it->second.title, MF_SEPARATOR, 0, nullptr);
}

bool AddTextField(int window, int control, int x, int y, int width, int height,
                  const std::string& text, bool centred) {
    win32ui::ControlEntry record;
    record.isEdit = true;
    return win32ui::PutControl(window, control, L"EDIT", ES_AUTOHSCROLL | (centred ? ES_CENTER : ES_LEFT),
                               WS_EX_CLIENTEDGE, x, y, width, height, text, record);
}

bool AddButton(int window, int control, int x, int y, int width, int height,
               const std::string& text, bool isDefault) {
    win32ui::ControlEntry record;
    record.isDefault = isDefault;
    return win32ui::PutControl(window, control, L"BUTTON", isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 0, x, y,
                               width, height, text, record);
}

bool ControlExists(int window, int control) { return win32ui::FindControl(window, control) != nullptr; }

void SetControlTooltip(int window, int control, const std::string& text) {
    WindowEntry* entry = win32ui::FindEntry(window);
    win32ui::ControlEntry* record = win32ui::FindControl(window, control);
    if (entry == nullptr || record == nullptr) return;
    win32ui::EnsureTooltips(*entry);
    if (entry->tooltips == nullptr) return;
    std::wstring tip = win32::Wide(text);
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = entry->hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(record->hwnd);
    tool.lpszText = tip.data();
    // A second tip for the same control replaces the first.
    SendMessageW(entry->tooltips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(entry->tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string ControlText(int window, int control) {
    win32ui::ControlEntry* record = win32ui::FindControl(window, control);
    if (record == nullptr) return "";
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(record->hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(record->hwnd, text.data(), static_cast<int>(text.size()))));
    return win32::Narrow(text);
}

void SetControlText(int window, int control, const std::string& text) {
    win32ui::ControlEntry* record = win32ui::FindControl(window, control);
    if (record == nullptr) return;
    SetWindowTextW(record->hwnd, win32::Wide(text).c_str());
    if (record->isEdit) SendMessageW(record->hwnd, EM_SETMODIFY, FALSE, 0);
}

void SetControlBackground(int window, int control, Colour colour) {
    win32ui::ControlEntry* record = win32ui::FindControl(window, control);
    if (record == nullptr) return;
    if (record->backgroundBrush != nullptr) DeleteObject(record->backgroundBrush);
    record->hasBackground = true;
    record->background = win32ui::ToColorRef(colour);
    record->backgroundBrush = CreateSolidBrush(record->background);
    InvalidateRect(record->hwnd, nullptr, TRUE);
}

void SetControlTextColour(int window, int control, Colour colour) {
    win32ui::ControlEntry* record = win32ui::FindControl(window, control);
    if (record == nullptr) return;
    record->hasTextColour = true;
    record->textColour = win32ui::ToColorRef(colour);
    InvalidateRect(record->hwnd, nullptr, TRUE);
}

void StartWindowTimer(int number, int milliseconds) {
    WindowEntry* entry = win32ui::FindEntry(number);
    if (entry == nullptr) return;
    // SetTimer with the same id replaces a pending one.
    SetTimer(entry->hwnd, win32ui::kEventTimerId, static_cast<UINT>(std::max(milliseconds, 1)), nullptr);
}

}  // namespace plat

namespace plat::ui {

using win32ui::g_win;

bool PumpEvent() {
    if (!g_ui.events.empty()) return true;
    if (g_win.windows.empty()) return false;
    MSG message;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
        PostQuitMessage(static_cast<int>(message.wParam));  // for whoever pumps next
        return false;
    }
    if (got < 0) return false;
    win32ui::HandleMessage(message);
    return true;
}

bool DesktopPointInClient(int number, int desktopX, int desktopY, int& x, int& y) {
    win32ui::WindowEntry* entry = win32ui::FindEntry(number);
    if (entry == nullptr || !IsWindowVisible(entry->hwnd)) return false;
    POINT point{desktopX, desktopY};
    ScreenToClient(entry->hwnd, &point);
    RECT client;
    GetClientRect(entry->hwnd, &client);
    if (point.x < 0 || point.y < 0 || point.x >= client.right || point.y >= client.bottom) return false;
    x = point.x;
    y = point.y;
    return true;
}

void DestroyWindows() {
    while (!g_win.windows.empty()) CloseWindow(g_win.windows.rbegin()->first);
    if (g_win.textFont != nullptr) DeleteObject(g_win.textFont);
    g_win.textFont = nullptr;
}

}  // namespace plat::ui
