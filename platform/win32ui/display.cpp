// The drawing screen of the Win32 backend: a WGL child window inside a numbered window, sharing
// the platform/gl renderer with the engine; the desktop query and the buffer flip.
#include <epoxy/wgl.h>

#include "platform/display.h"
#include "platform/gl/renderer.h"
#include "platform/win32ui/win32ui_state.h"

namespace plat::win32ui {

namespace {

// Repaints the frame last flipped (the program draws only after events).
void RepaintScreen() {
    if (!MakeScreenCurrent() || !gl::RendererRunning()) return;
    if (!g_win.keptDrawable.Valid()) {
        ClearScreen(Colour{});
        gl::FinishFrame();
    } else {
        Begin3D();
        DrawDrawable(g_win.keptDrawable, 0, 0, 255);
        End3D();
        gl::FinishFrame();
    }
    SwapBuffers(g_win.screenDc);
}

// A pixel format with a double-buffered 8-bit RGBA surface; nothing is depth-tested.
bool SetScreenPixelFormat(HDC dc) {
    PIXELFORMATDESCRIPTOR wanted{};
    wanted.nSize = sizeof wanted;
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = 24;
    wanted.cAlphaBits = 8;
    wanted.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(dc, &wanted);
    return format != 0 && SetPixelFormat(dc, format, &wanted) != FALSE;
}

}  // namespace

LRESULT CALLBACK ScreenProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // GL paints every pixel
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(hwnd, &paint);
            EndPaint(hwnd, &paint);
            if (hwnd == g_win.screen) RepaintScreen();
            return 0;
        }
        case WM_MOUSEACTIVATE:
            // A click on the screen gives it the keyboard, as the main window's own client area.
            SetFocus(hwnd);
            return MA_ACTIVATE;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

bool MakeScreenCurrent() {
    if (g_win.context == nullptr) return false;
    if (wglGetCurrentContext() != g_win.context) wglMakeCurrent(g_win.screenDc, g_win.context);
    return true;
}

void DestroyScreen() {
    if (g_win.screen == nullptr) return;
    if (MakeScreenCurrent()) {
        FreeDrawable(g_win.keptDrawable);
        FreeImage(g_win.keptFrame);
        gl::StopRenderer();
    }
    if (g_win.context != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(g_win.context);
        g_win.context = nullptr;
    }
    for (HWND& edge : g_win.screenEdges) {
        if (edge != nullptr) DestroyWindow(edge);
        edge = nullptr;
    }
    if (g_win.screenDc != nullptr) ReleaseDC(g_win.screen, g_win.screenDc);
    g_win.screenDc = nullptr;
    DestroyWindow(g_win.screen);
    g_win.screen = nullptr;
    g_win.screenWindow = 0;
}

}  // namespace plat::win32ui

namespace plat {

using win32ui::g_win;

DesktopInfo QueryDesktop() {
    DesktopInfo info;
    info.width = GetSystemMetrics(SM_CXSCREEN);
    info.height = GetSystemMetrics(SM_CYSCREEN);
    HDC desktop = GetDC(nullptr);
    info.depth = desktop != nullptr ? GetDeviceCaps(desktop, BITSPIXEL) : 24;
    if (desktop != nullptr) ReleaseDC(nullptr, desktop);
    return info;
}

bool OpenWindowScreen(int number, int x, int y, int width, int height, int rightOffset,
                      int bottomOffset) {
    win32ui::WindowEntry* window = win32ui::FindWindow(number);
    if (window == nullptr || g_win.screen != nullptr || width <= 0 || height <= 0) return false;
    g_win.screen = CreateWindowExW(0, win32ui::kScreenClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y,
                                   width, height, window->hwnd, nullptr, g_win.instance, nullptr);
    if (g_win.screen == nullptr) return false;
    g_win.screenWindow = number;
    g_win.screenDc = GetDC(g_win.screen);
    if (g_win.screenDc == nullptr || !win32ui::SetScreenPixelFormat(g_win.screenDc) ||
        (g_win.context = wglCreateContext(g_win.screenDc)) == nullptr) {
        win32ui::DestroyScreen();
        return false;
    }
    // The offsets stay free at the window's right and bottom edges: two strips in the window's
    // colour lie over the screen there. The screen keeps its size and is not stretched, so
    // drawing and grabs are unchanged; only what lies under the strips is not shown.
    RECT client;
    GetClientRect(window->hwnd, &client);
    const int strips[2][4] = {{client.right - rightOffset, 0, rightOffset, client.bottom},
                              {0, client.bottom - bottomOffset, client.right, bottomOffset}};
    for (int i = 0; i < 2; ++i) {
        if (strips[i][2] <= 0 || strips[i][3] <= 0) continue;
        g_win.screenEdges[i] = CreateWindowExW(0, win32ui::kEdgeClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                               strips[i][0], strips[i][1], strips[i][2], strips[i][3],
                                               window->hwnd, nullptr, g_win.instance, nullptr);
        SetWindowPos(g_win.screenEdges[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (!win32ui::MakeScreenCurrent() || !gl::StartRenderer(width, height)) {
        win32ui::DestroyScreen();
        return false;
    }
    ClearScreen(Colour{});
    return true;
}

bool OpenScreen(int width, int height, int depth, const std::string& title) {
    // The builder's screen always lives in a window (OpenWindowScreen).
    (void)width;
    (void)height;
    (void)depth;
    (void)title;
    return false;
}

void CloseScreen() { win32ui::DestroyScreen(); }

bool ScreenOpen() { return g_win.screen != nullptr && gl::RendererRunning(); }

// The back buffer is kept as a texture before the swap, so an expose can show it again.
void Flip() {
    if (!win32ui::MakeScreenCurrent()) return;
    gl::FinishFrame();
    FreeDrawable(g_win.keptDrawable);
    FreeImage(g_win.keptFrame);
    g_win.keptFrame = GrabScreen(0, 0, ScreenWidth(), ScreenHeight());
    if (g_win.keptFrame.Valid()) g_win.keptDrawable = MakeDrawable(g_win.keptFrame);
    SwapBuffers(g_win.screenDc);
}

}  // namespace plat
